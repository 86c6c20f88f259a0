#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "common/no_root_override.h"
#include "sutograf_ini.h"
#include "user_calendar.h"

namespace sutograf {
namespace {

UserChoices choices(int start, int counted, bool whole, int watch) {
    return {{start, counted, whole}, watch};
}
const UserChoices kDefaults;

struct IniCase {
    const char* name;
    QByteArray text;
    UserChoices expected;
    int problems;
};
void PrintTo(const IniCase& c, std::ostream* os) { *os << c.name; }
class IniText : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniText, GivesTheValuesOrTheirDefaults) {
    const IniReading reading = parseIni(GetParam().text);
    EXPECT_EQ(reading.choices, GetParam().expected);
    EXPECT_EQ(reading.problems.size(), GetParam().problems)
        << reading.problems.join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniText,
    ::testing::Values(
        IniCase{"WrittenByUs", iniText(choices(7 * 60 + 30, 23 * 60 + 30, true, 3)),
                choices(7 * 60 + 30, 23 * 60 + 30, true, 3), 0},
        IniCase{"WindowsLineEndsAndBom", "\xEF\xBB\xBF[duty]\r\nstart=00:00\r\n[yearWindow]\r\nwatch=4\r\n",
                choices(0, 1440, false, 4), 0},
        IniCase{"OnlyOneValue", "[duty]\nhours=12\n", choices(480, 720, false, 1), 0},
        IniCase{"UnknownKeysOfALaterVersion", "[duty]\ncolour=red\n[other]\nx=1\n", kDefaults, 0},
        IniCase{"BadValuesEachKeepTheirDefault",
                "[duty]\nstart=25:00\nhours=0:30\nwholeOnStartDay=yes\n[yearWindow]\nwatch=5\n", kDefaults,
                4},
        IniCase{"HoursAboveADay", "[duty]\nhours=24:01\n", kDefaults, 1},
        IniCase{"Junk", QByteArray(1, '\0') + "\xFFjunk\n[duty\nstart\n", kDefaults, 3},
        IniCase{"ValueInTheWrongSection", "[yearWindow]\nstart=09:00\n", kDefaults, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Opening the window must not rewrite the file; a change writes it, and it reads back.
TEST(SutografIni, IsWrittenOnlyWhenAChoiceChanges) {
    QTemporaryDir dir;
    const SettingsPlace place(dir.path());
    const QString path = dir.filePath(kIniFileName);
    SutografIni ini(place);
    EXPECT_EQ(ini.choices(), kDefaults);
    EXPECT_TRUE(ini.store(kDefaults).ok());
    EXPECT_FALSE(QFile::exists(path));

    const UserChoices changed = choices(9 * 60, 22 * 60, true, 2);
    ASSERT_TRUE(ini.store(changed).ok());
    EXPECT_EQ(SutografIni(place).choices(), changed);

    // A folder that can no longer be written shows whether a write is attempted at all.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    WriteResult same, other;
    {
        const NoRootOverride asOrdinaryUser;
        same = ini.store(changed);
        other = ini.store(kDefaults);
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(same.ok());
    EXPECT_EQ(other.failure, WriteFailure::NoPermission);
    EXPECT_EQ(ini.choices(), kDefaults) << "the choice holds for this run";
    EXPECT_EQ(SutografIni(place).choices(), changed);
}

Date ymd(int y, int m, int d) { return *dateOf(y, m, d); }

// A whole year as a decree's file would list it: the general rule's holidays, days off and short days.
QByteArray yearRows(int year) {
    static const char* const kKinds[] = {"", "holiday", "dayoff", "workday", "short"};
    const YearKinds kinds = ProductionCalendar().yearKinds(year);
    QByteArray rows;
    for (int i = 0; i < kinds.length; ++i) {
        const Date d{kinds.jan1.serial + i};
        if (kinds.of(d) != DayKind::Ordinary) {
            const CivilDate c = civilOf(d);
            rows += QString::asprintf("%04d-%02d-%02d,%s,\n", c.year, c.month, c.day,
                                      kKinds[static_cast<int>(kinds.of(d))])
                        .toUtf8();
        }
    }
    return rows;
}

struct OverlayCase {
    const char* name;
    QByteArray csv; // after the header
    NormSource source2027;
    int errors;
};
void PrintTo(const OverlayCase& c, std::ostream* os) { *os << c.name; }
class UserCalendar : public ::testing::TestWithParam<OverlayCase> {};

// A year taken in part would give a wrong norm without saying so: only a whole, clean year replaces
// the shipped one.
TEST_P(UserCalendar, ReplacesOnlyWholeCleanYears) {
    const LoadedCalendar loaded = calendarWithOverlay("date,kind,note\n" + GetParam().csv);
    EXPECT_EQ(static_cast<int>(loaded.errors.size()), GetParam().errors);
    EXPECT_EQ(loaded.calendar.sourceOf(2027), GetParam().source2027);
    const bool taken = GetParam().source2027 == NormSource::Decree;
    EXPECT_EQ(loaded.calendar.kindOf(ymd(2027, 1, 11)), taken ? DayKind::DayOff : DayKind::Ordinary);
    EXPECT_EQ(loaded.calendar.kindOf(ymd(2027, 1, 8)), DayKind::Holiday);
}

QByteArray junk2031(int lines) {
    QByteArray rows;
    for (int i = 0; i < lines; ++i) {
        rows += "2031-02-30,holiday,\n";
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserCalendar,
    ::testing::Values(
        OverlayCase{"WholeYear", yearRows(2027) + "2027-01-11,dayoff,перенос\n", NormSource::Decree, 0},
        OverlayCase{"BadLine", yearRows(2027) + "2027-01-11,dayof,опечатка\n", NormSource::Provisional, 1},
        OverlayCase{"BadLineAfterAHundredErrors", junk2031(101) + yearRows(2027) + "2027-01-11,dayof,x\n",
                    NormSource::Provisional, ProductionCalendar::kMaxErrors + 1},
        OverlayCase{"OnlyTheTransfers", "2027-01-11,dayoff,перенос\n", NormSource::Provisional, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UserCalendar, AFileThatCannotBeReadIsSaidAndTheShippedTableUsed) {
    QTemporaryDir dir;
    const SettingsPlace place(dir.path());
    EXPECT_TRUE(loadCalendar(place).errors.empty()) << "no file, no complaint";
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(kUserCalendarFileName)).constData(), 0644), 0);
    const LoadedCalendar loaded = loadCalendar(place);
    ASSERT_EQ(loaded.errors.size(), 1u);
    EXPECT_EQ(loaded.errors[0].line, 0);
    EXPECT_EQ(loaded.path, dir.filePath(kUserCalendarFileName));
    EXPECT_EQ(loaded.calendar.sourceOf(2027), NormSource::Provisional);
}

} // namespace
} // namespace sutograf
