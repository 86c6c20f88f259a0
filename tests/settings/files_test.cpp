// The program's own files: Opt.txt, sutograf.ini and the user's calendar.csv, where they live, and
// how each survives damage, hostile places and failing disks.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>

#include <future>
#include <optional>

#include "bazovy_karaul.h"
#include "common/system_trouble.h"
#include "leftover_saves.h"
#include "opt_file.h"
#include "settings/files_fixture.h"
#include "sutograf_ini.h"
#include "user_calendar.h"

namespace sutograf {
namespace {

using namespace Qt::StringLiterals;

// A T made only when `when`: the trouble of one row of a table.
template <class T, class... Args> std::optional<T> only(bool when, const Args&... args) {
    return when ? std::optional<T>(std::in_place, args...) : std::nullopt;
}

// What read() answers, or nullopt when it has not returned within 5 s: a FIFO blocks an ordinary
// open until a writer comes, and one opening `fifo` then releases the reader.
template <class Read>
auto unlessHung(const Read& read, const QString& fifo) -> std::optional<decltype(read())> {
    auto reading = std::async(std::launch::async, read);
    if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        return reading.get();
    }
    trouble::releaseFifoReader(fifo);
    return std::nullopt;
}

// Name, content, the offset taken from it (none: the offset held before stays). Read over an offset
// of 1, which no row takes, so that a damaged file resetting the offset to the first watch shows.
using ReadCase = std::tuple<const char*, QByteArray, std::optional<float>>;
class OptFileRead : public Files, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(OptFileRead, TakesTheFirstLineOrKeepsTheOffsetHeld) {
    const auto& [name, content, taken] = GetParam();
    ASSERT_TRUE(put(path(), content));
    RotaOffset rota(place(), 1.0f);
    EXPECT_EQ(rota.Nastroyki_Chtenie(), taken.has_value());
    EXPECT_EQ(rota.BazovyKaraul(), taken.value_or(1.0f));
    EXPECT_EQ(contentOf(path()), content) << "reading must never change the file";
}

// A first line of 100 000 characters is never taken: not when its first bytes look like an offset,
// nor when its blanks hide one at the end.
const QByteArray kBlanks(99999, ' ');
INSTANTIATE_TEST_SUITE_P(
    Cases, OptFileRead,
    ::testing::Values(ReadCase{"WrittenByUs", "2\r\n", 2.0f}, ReadCase{"NoLineEnd", "0", 0.0f},
                      ReadCase{"FurtherLinesIgnored", "3\r\nmore lines\r\n7", 3.0f},
                      ReadCase{"BareCR", "2\r9", 2.0f}, ReadCase{"UnixLineEnd", "3\n", 3.0f},
                      ReadCase{"Blanks", " 2 \r\n", 2.0f}, ReadCase{"Empty", "", {}},
                      ReadCase{"EmptyFirstLine", "\r\n2\r\n", {}}, ReadCase{"Letters", "abc\r\n", {}},
                      ReadCase{"OutOfRange", "7\r\n", {}}, ReadCase{"Negative", "-1\r\n", {}},
                      ReadCase{"Fraction", "1.5\r\n", {}}, ReadCase{"Comma", "1,5\r\n", {}},
                      ReadCase{"Huge", "1e40\r\n", {}}, ReadCase{"Utf8Bom", "\xEF\xBB\xBF\x32\r\n", {}},
                      ReadCase{"DigitThenNul", "2\0"_ba, {}},
                      ReadCase{"VeryLongFirstLine", "2" + kBlanks, {}},
                      ReadCase{"VeryLongFirstLineEndingInADigit", kBlanks + "2", {}}),
    kByName);

// Whatever stands where Opt.txt should be, or whatever the disk does: reading neither hangs (a FIFO
// blocks an ordinary open until a writer comes) nor takes anything but a regular file, and saving 3
// fails for its own reason, leaving the folder exactly as it was: no temporary file, and what
// stood there the same thing with the same bytes (a link to a device would otherwise replace the
// device node). Where the system has no such trouble, the row says why it skips.
enum Place {
    Folder,
    Fifo,
    LinkToFifo,
    LinkToDevice,
    ReadOnlyFolder,
    ReadOnlyFile,
    HeldOpen,
    DiskFull,
    WriteFails
};
using Hostile = std::tuple<const char*, Place, WriteFailure>; // name, what is there, why saving fails
class OptFileHostile : public Files, public ::testing::WithParamInterface<Hostile> {};

TEST_P(OptFileHostile, NeitherHangsNorLosesWhatWasThere) {
    const auto [name, kind, failure] = GetParam();
    const bool regular = kind >= ReadOnlyFolder, linked = kind == LinkToFifo || kind == LinkToDevice;
    const QString other = dir.filePath(u"other"_s);
    auto disk = only<trouble::SmallDisk>(kind == DiskFull, dir.path());
    std::optional<trouble::HeldOpen> held;
    // Why the row cannot be made here; empty when it is in place.
    const QString why = [&]() -> QString {
        if (disk && !disk->made()) {
            return disk->why();
        }
        if (kind == Folder) {
            return QDir(dir.path()).mkdir(kOptFileName) ? QString() : u"mkdir failed"_s;
        }
        if (!regular) {
            // The device is our own null device, so that a fault cannot take the system's with it.
            const QString node = linked ? other : path();
            const QString made =
                kind == LinkToDevice ? trouble::makeNullDevice(node) : trouble::makeFifo(node);
            return !made.isEmpty() || !linked ? made : trouble::makeLink(other, path());
        }
        if (!put(path(), "1\r\nkept exactly\r\n") || (disk && !disk->fill())) {
            return u"cannot write the old file"_s;
        }
        if (kind == HeldOpen) {
            return held.emplace(path()).why();
        }
        return kind == ReadOnlyFolder ? trouble::makeReadOnly(dir.path())
               : kind == ReadOnlyFile ? trouble::makeReadOnly(path())
                                      : QString();
    }();
    if (!why.isEmpty()) {
        GTEST_SKIP() << "cannot make it here: " << why.toStdString();
    }
    const auto snapshot = [&] {
        const QStringList names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        return std::tuple(names.join(u' ').toStdString(), trouble::identityOf(path()),
                          QFileInfo(path()).isFile() ? contentOf(path()).toStdString() : "");
    };
    const auto before = snapshot();
    RotaOffset rota(place(), 2.0f);
    EXPECT_EQ(unlessHung([&rota] { return rota.Nastroyki_Chtenie(); }, path()), regular)
        << "nullopt: it hung";
    EXPECT_EQ(rota.BazovyKaraul(), regular ? 1.0f : 2.0f) << "the old file's 1, else the 2 held before";
    {
        const trouble::NoRootOverride asOrdinaryUser;
        const auto failing = only<trouble::FailingWrites>(kind == WriteFails);
        if (failing && !failing->made()) {
            GTEST_SKIP() << "cannot make it here: " << failing->why().toStdString();
        }
        EXPECT_EQ(rota.choose(3).failure, failure);
    }
    EXPECT_EQ(snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptFileHostile,
                         ::testing::Values(Hostile{"Folder", Folder, WriteFailure::FolderInTheWay},
                                           Hostile{"Fifo", Fifo, WriteFailure::NotAFile},
                                           Hostile{"LinkToFifo", LinkToFifo, WriteFailure::NotAFile},
                                           Hostile{"LinkToDevice", LinkToDevice, WriteFailure::NotAFile},
                                           Hostile{"ReadOnlyFolder", ReadOnlyFolder,
                                                   WriteFailure::NoPermission},
                                           Hostile{"ReadOnlyFile", ReadOnlyFile, WriteFailure::NoPermission},
                                           Hostile{"HeldOpenByAnotherProgram", HeldOpen, WriteFailure::InUse},
                                           Hostile{"DiskFull", DiskFull, WriteFailure::DiskFull},
                                           Hostile{"WriteFailsMidway", WriteFails, WriteFailure::Other}),
                         kByName);

UserChoices choices(DutyRules duty, int watch = 1, Reminder reminder = Reminder::None,
                    AccountingChoices accounting = {}) {
    UserChoices c;
    c.duty = duty;
    c.yearWatch = watch;
    c.reminder = reminder;
    c.accounting = accounting;
    return c;
}

// Every value away from its default, the unit's name and folders in Cyrillic.
const UserChoices kDefaults,
    kChanged{.duty = {450, 1410, true},
             .yearWatch = 3,
             .reminder = Reminder::EveningBefore,
             .accounting = {AccountingPeriod::HalfYear, NormReduction::ScheduledDuties, false},
             .unitName = u"ПСЧ-12 «Центральная» = 1"_s,
             .yearWindow = {QRect(-20, 30, 1200, 650), true, u"/media/флешка"_s, u"/home/u/Телефон"_s}};

using IniCase = std::tuple<const char*, QByteArray, UserChoices, int>; // name, text, choices, problems
class IniText : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniText, GivesTheValuesOrTheirDefaults) {
    const auto& [name, text, choices, problems] = GetParam();
    const IniReading reading = parseIni(text);
    EXPECT_EQ(reading.choices, choices);
    EXPECT_EQ(reading.problems.size(), problems) << reading.problems.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniText,
    ::testing::Values(
        IniCase{"WindowsLineEndsAndBom",
                "\xEF\xBB\xBF[duty]\r\nstart=00:00\r\n[yearWindow]\r\nwatch=4\r\n[calendarExport]\r\n"
                "reminder=hourBefore\r\n",
                choices({0, 1440, false}, 4, Reminder::HourBefore), 0},
        IniCase{"OnlyOneValue", "[duty]\nhours=12\n", choices({480, 720, false}), 0},
        IniCase{
            "AccountingByQuarterWithHolidaysInOvertime",
            "[accounting]\nperiod=quarter\nholidayPaidDoubleNotOvertime=false\n",
            choices({}, 1, Reminder::None, {AccountingPeriod::Quarter, NormReduction::WorkingDays, false}),
            0},
        IniCase{"BadAccountingAndAWindowTooSmallKeepTheirDefaults",
                "[accounting]\nperiod=week\nreduction=\n[yearWindow]\ngeometry=0,0,50,50\nmaximized=2\n",
                kDefaults, 4},
        IniCase{"KeysOfALaterVersion", "[duty]\ncolour=red\n[yearWindow]\nstart=09:00\n", kDefaults, 0},
        IniCase{"BadValuesEachKeepTheirDefault",
                "[duty]\nstart=25:00\nhours=0:30\nwholeOnStartDay=yes\n[yearWindow]\nwatch=5\n"
                "[calendarExport]\nreminder=tomorrow",
                kDefaults, 5},
        IniCase{"Junk", "\0\xFFjunk\n[duty\nstart\n"_ba, kDefaults, 3}),
    kByName);

// Opening the window must not rewrite the file; a change writes it, and it reads back. A file that
// can no longer be written shows whether a write is attempted at all.
TEST_F(Files, SutografIniIsWrittenOnlyWhenAChoiceChanges) {
    SutografIni ini(place());
    EXPECT_EQ(ini.choices(), kDefaults);
    EXPECT_TRUE(ini.store(kDefaults).ok());
    EXPECT_FALSE(QFile::exists(dir.filePath(kIniFileName)));
    ASSERT_TRUE(ini.store(kChanged).ok());
    EXPECT_EQ(SutografIni(place()).choices(), kChanged);
    ASSERT_EQ(trouble::makeReadOnly(dir.filePath(kIniFileName)), QString());
    const trouble::NoRootOverride asOrdinaryUser;
    EXPECT_TRUE(ini.store(kChanged).ok());
    EXPECT_EQ(ini.store(kDefaults).failure, WriteFailure::NoPermission);
    EXPECT_EQ(ini.choices(), kDefaults) << "the choice holds for this run";
    EXPECT_EQ(SutografIni(place()).choices(), kChanged);
}

// The Labour Code's holidays of 2027, as a decree's file lists them.
const QByteArray kHolidays2027 =
    "2027-01-01,holiday\n2027-01-02,holiday\n2027-01-03,holiday\n2027-01-04,holiday\n2027-01-05,holiday\n"
    "2027-01-06,holiday\n2027-01-07,holiday\n2027-01-08,holiday\n2027-02-23,holiday\n2027-03-08,holiday\n"
    "2027-05-01,holiday\n2027-05-09,holiday\n2027-06-12,holiday\n2027-11-04,holiday\n";

// 2026 as its decree has it, but for 09.01.2026, a day off moved from Saturday 03.01: its norm is 1972
// hours, and 1980 without that day.
const QByteArray kYear2026WithoutJanuary9 =
    "2026-01-01,holiday\n2026-01-02,holiday\n2026-01-03,holiday\n2026-01-04,holiday\n2026-01-05,holiday\n"
    "2026-01-06,holiday\n2026-01-07,holiday\n2026-01-08,holiday\n2026-02-23,holiday\n2026-03-08,holiday\n"
    "2026-03-09,dayoff\n2026-04-30,short\n2026-05-01,holiday\n2026-05-08,short\n2026-05-09,holiday\n"
    "2026-05-11,dayoff\n2026-06-11,short\n2026-06-12,holiday\n2026-11-03,short\n2026-11-04,holiday\n"
    "2026-12-31,dayoff\n";
// 2027 from a decree moving 11.01.2027, as 2026 with the line of 09.01 as `line` has it.
QByteArray with2026(const QByteArray& line) {
    return kYear2026WithoutJanuary9 + line + "\n" + kHolidays2027 + "2027-01-11,dayoff,перенос\n";
}

// A row's name is what gets printed of it.
const auto kByRowName = [](const auto& info) { return std::string(info.param.name); };

// The rows after the header, 2027's source, the years taken from the program instead of the file,
// and what the window says after the errors.
struct CalendarCase {
    const char* name;
    QByteArray rows;
    NormSource source;
    std::vector<int> notTaken;
    QString verdict;
    friend void PrintTo(const CalendarCase& c, std::ostream* os) { *os << c.name; }
};
class UserCalendar : public ::testing::TestWithParam<CalendarCase> {};

// A year taken in part would give a wrong norm without saying so: only a whole, clean year replaces
// the shipped one, none when a bad line's year cannot be read, and the message says what was taken.
// 2026's norm stays 1972 hours whatever the damage.
TEST_P(UserCalendar, ReplacesOnlyWholeCleanYearsAndSaysWhich) {
    const CalendarCase& c = GetParam();
    const LoadedCalendar loaded = calendarWithOverlay("\xEF\xBB\xBF"
                                                      "date,kind,note\n" +
                                                      c.rows);
    EXPECT_EQ(loaded.calendar.normMinutes(*dateOf(2026, 1, 1), *dateOf(2026, 12, 31)) / 60, 1972);
    EXPECT_EQ(loaded.calendar.sourceOf(2027), c.source);
    EXPECT_EQ(loaded.yearsNotTaken, c.notTaken);
    EXPECT_EQ(calendarVerdict(loaded).toStdString(), c.verdict.toStdString());
}

const QString kNoYearTaken = u"Год строки с ошибкой не прочитан, а она может относиться к любому году файла, "
                             "поэтому файл не взят: за 2026 и 2027 годы взят календарь программы."_s;
const QString k2027Not = u"За 2027 год взят календарь программы."_s;
INSTANTIATE_TEST_SUITE_P(
    Cases, UserCalendar,
    ::testing::Values(
        CalendarCase{"WholeYears", with2026("2026-01-09,dayoff"), NormSource::Decree, {}, {}},
        CalendarCase{"BadLine",
                     kHolidays2027 + "2027-01-11,dayof,опечатка\n",
                     NormSource::Provisional,
                     {2027},
                     k2027Not},
        CalendarCase{"BadLineAfterAHundredErrors",
                     "2031-02-30,holiday,\n"_ba.repeated(101) + kHolidays2027 + "2027-01-11,dayof,x\n",
                     NormSource::Provisional,
                     {2027, 2031},
                     u"За 2027 и 2031 годы взят календарь программы."_s},
        CalendarCase{
            "OnlyTheTransfers", "2027-01-11,dayoff,перенос\n", NormSource::Provisional, {2027}, k2027Not},
        CalendarCase{"DayMonthYear",
                     with2026("09.01.2026,dayoff"),
                     NormSource::Provisional,
                     {2026, 2027},
                     kNoYearTaken},
        CalendarCase{"QuotedDate",
                     with2026("\"2026-01-09\",dayoff"),
                     NormSource::Provisional,
                     {2026, 2027},
                     kNoYearTaken},
        CalendarCase{"SecondByteOrderMark",
                     with2026("\xEF\xBB\xBF"
                              "2026-01-09,dayoff"),
                     NormSource::Provisional,
                     {2026, 2027},
                     kNoYearTaken}),
    kByRowName);

// Whatever stands where sutograf.ini and calendar.csv should be: reading neither hangs nor takes it,
// each is said with its cause while the defaults and the shipped calendar count, and saving the
// choices fails for its own reason, leaving what stands there as it was (links in a circle are not
// replaced by a file). A link to nothing is said, and a save makes its target.
enum class Thing { Nothing, ModeZero, Fifo, Folder, LinkLoop, BrokenLink };
struct HostileCase {
    const char* name;
    Thing thing;
    ReadFailure read;
    WriteFailure write;
    friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};
class HostileSettings : public Files, public ::testing::WithParamInterface<HostileCase> {};

// Puts the thing at path; answers why it cannot, where the system has no such thing.
QString make(Thing thing, const QString& path) {
    switch (thing) {
    case Thing::Nothing:
        return {};
    case Thing::ModeZero:
        return put(path, "") ? trouble::makeUnreadable(path) : u"cannot write the file"_s;
    case Thing::Fifo:
        return trouble::makeFifo(path);
    case Thing::Folder:
        return QDir().mkdir(path) ? QString() : u"mkdir failed"_s;
    case Thing::LinkLoop:
        return trouble::makeLink(path, path);
    case Thing::BrokenLink:
        return trouble::makeLink(u"gone"_s, path);
    }
    return {};
}

TEST_P(HostileSettings, AreSaidAndLeftAsTheyWere) {
    const HostileCase& c = GetParam();
    const QString ini = dir.filePath(kIniFileName), csv = dir.filePath(kUserCalendarFileName);
    for (const QString& file : {ini, csv}) {
        if (const QString why = make(c.thing, file); !why.isEmpty()) {
            GTEST_SKIP() << "cannot make it here: " << why.toStdString();
        }
    }
    const trouble::NoRootOverride asOrdinaryUser;
    auto read = unlessHung([this] { return SutografIni(place()); }, ini);
    const auto loaded = unlessHung([this] { return loadCalendar(place()); }, csv);
    ASSERT_TRUE(read && loaded) << "reading hung";
    EXPECT_EQ(read->readFailure(), c.read == ReadFailure::Missing ? ReadFailure::None : c.read);
    EXPECT_EQ(read->choices(), kDefaults);
    EXPECT_EQ(loaded->errors.empty() ? "" : loaded->errors[0].message, failureText(c.read).toStdString());
    EXPECT_EQ(calendarVerdict(*loaded).isEmpty(), c.read == ReadFailure::Missing);
    EXPECT_EQ(loaded->calendar.sourceOf(2027), NormSource::Provisional);

    const std::string before = trouble::identityOf(ini);
    EXPECT_EQ(read->store(kChanged).failure, c.write);
    if (c.write != WriteFailure::None) {
        EXPECT_EQ(trouble::identityOf(ini), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostileSettings,
    ::testing::Values(
        HostileCase{"NoFile", Thing::Nothing, ReadFailure::Missing, WriteFailure::None},
        HostileCase{"ModeZero", Thing::ModeZero, ReadFailure::NoPermission, WriteFailure::NoPermission},
        HostileCase{"Fifo", Thing::Fifo, ReadFailure::NotAFile, WriteFailure::NotAFile},
        HostileCase{"Folder", Thing::Folder, ReadFailure::FolderInTheWay, WriteFailure::FolderInTheWay},
        HostileCase{"LinkLoop", Thing::LinkLoop, ReadFailure::LinkLoop, WriteFailure::NotAFile},
        HostileCase{"BrokenLink", Thing::BrokenLink, ReadFailure::BrokenLink, WriteFailure::None}),
    kByRowName);

// What a killed save left: QSaveFile's "name.XXXXXX" beside Opt.txt and sutograf.ini, removed when last
// written more than a minute ago. Everything else in the folder stays as it was.
TEST_F(Files, LeftoverSavesOlderThanAMinuteAreRemovedAndNothingElse) {
    const QDateTime now(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
    const struct {
        const char* name;
        int ageSeconds;
        bool removed;
    } files[] = {
        {"Opt.txt.AZSIbb", 61, true},
        {"sutograf.ini.k3Xq9Z", 3600, true},
        {"Opt.txt.a1B2c3", 59, false},        // another copy's save under way
        {"sutograf.ini.Q1w2E3", -600, false}, // a clock set back
        {"Opt.txt", 3600, false},
        {"Opt.txt.bak", 3600, false},
        {"Opt.txt.abcdefg", 3600, false},
        {"Opt.txt.ab-def", 3600, false},
        {"calendar.csv.AZSIbb", 3600, false},
        {"opt.txt.AZSIbb", 3600, false},
        {".sutograf-AZSIbb", 3600, false},
    };
    const auto putAged = [&](const QString& path, int seconds) {
        QFile file(path);
        // Written out first: a write still buffered would date the file anew when it is closed.
        return file.open(QIODevice::WriteOnly) && file.write("1\r\n") == 3 && file.flush() &&
               file.setFileTime(now.addSecs(-seconds), QFileDevice::FileModificationTime);
    };
    QStringList kept, removed;
    for (const auto& f : files) {
        const QString path = dir.filePath(QString::fromLatin1(f.name));
        if (QFileInfo::exists(path)) {
            continue; // a file system blind to case (Windows) has "opt.txt..." as "Opt.txt..." already
        }
        ASSERT_TRUE(putAged(path, f.ageSeconds)) << f.name;
        (f.removed ? removed : kept) << QString::fromLatin1(f.name);
    }
    const auto sorted = [](QStringList names) {
        names.sort();
        return names.join(u' ').toStdString();
    };
    EXPECT_EQ(sorted(removeLeftoverSaves(place(), now)), sorted(removed));
    EXPECT_EQ(sorted(QDir(dir.path())
                         .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)),
              sorted(kept));
}

} // namespace
} // namespace sutograf
