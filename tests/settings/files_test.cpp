// The program's own files: Opt.txt, sutograf.ini and the user's calendar.csv, where they live, and
// how each survives damage, hostile places and failing disks.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>

#include <future>
#include <optional>
#include <set>

#include "bazovy_karaul.h"
#include "common/files.h"
#include "leftover_saves.h"
#include "opt_file.h"
#include "sutograf_ini.h"
#include "user_calendar.h"

namespace sutograf {
namespace {

using namespace Qt::StringLiterals;

const auto kByName = [](const auto& info) { return std::string(std::get<0>(info.param)); };
const auto kByRowName = [](const auto& info) { return std::string(info.param.name); };

QString q(const fs::path& p) { return QDir::toNativeSeparators(QString::fromStdU16String(p.u16string())); }
std::string contentOf(const QString& path) { return bytesOf(path.toStdU16String()).value_or("<unreadable>"); }

// What read() answers, or nullopt when it has not returned within 5 s: a FIFO blocks an ordinary
// open until a writer comes, and one opening `fifo` then releases the reader.
template <class Read>
auto unlessHung(const Read& read, const fs::path& fifo) -> std::optional<decltype(read())> {
    auto reading = std::async(std::launch::async, read);
    if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        return reading.get();
    }
    trouble::releaseFifoReader(fifo);
    return std::nullopt;
}

// A folder of its own for each test.
class Files : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.path().empty()); }
    fs::path file(const QString& name) const { return folder / name.toStdString().c_str(); }
    QString path() const { return q(file(kOptFileName)); }
    SettingsPlace place() const { return SettingsPlace(q(folder.path())); }

    TempFolder folder;
};

// Name, content, the offset taken from it (none: the offset held before stays). Read over an offset
// of 1, which no row takes, so that a damaged file resetting the offset to the first watch shows.
using ReadCase = std::tuple<const char*, std::string, std::optional<float>>;
class OptFileRead : public Files, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(OptFileRead, TakesTheFirstLineOrKeepsTheOffsetHeld) {
    const auto& [name, content, taken] = GetParam();
    ASSERT_TRUE(put(file(kOptFileName), content));
    RotaOffset rota(place(), 1.0f);
    EXPECT_EQ(rota.Nastroyki_Chtenie(), taken.has_value());
    EXPECT_EQ(rota.BazovyKaraul(), taken.value_or(1.0f));
    EXPECT_EQ(contentOf(path()), content) << "reading must never change the file";
}

// A first line of 100 000 characters is never taken: not when its first bytes look like an offset,
// nor when its blanks hide one at the end.
const std::string kBlanks(99999, ' ');
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
                      ReadCase{"DigitThenNul", std::string("2\0", 2), {}},
                      ReadCase{"VeryLongFirstLine", "2" + kBlanks, {}},
                      ReadCase{"VeryLongFirstLineEndingInADigit", kBlanks + "2", {}}),
    kByName);

// Every value away from its default, the unit's name and folders in Cyrillic.
const UserChoices kDefaults,
    kChanged{.duty = {450, 1410, true},
             .yearWatch = 3,
             .yearPerson = 9'000'000'000,
             .reminder = Reminder::EveningBefore,
             .accounting = {AccountingPeriod::HalfYear, NormReduction::ScheduledDuties, false},
             .unitName = u"ПСЧ-12 «Центральная» = 1"_s,
             .yearWindow = {QRect(-20, 30, 1200, 650), true, u"/media/флешка"_s, u"/home/u/Телефон"_s, {}},
             .rosterWindow = {QRect(60, 40, 900, 600), false, {}, {}, u"/home/u/Состав"_s},
             .timesheetWindow = {QRect(0, 0, 1300, 700), true, u"/home/u/Табели"_s, {}, u"/home/u/Excel"_s}};

// Whatever stands where Opt.txt, sutograf.ini and calendar.csv should be, or whatever the disk or another
// program does with regular ones: reading neither hangs (a FIFO blocks an ordinary open until a writer
// comes) nor takes anything but a regular file, each is said with its cause while the offset held, the
// defaults and the shipped calendar count, and saving fails for its own reason, leaving the folder
// exactly as it was: no temporary file, and what stood there the same thing with the same bytes (a link
// to a device would otherwise replace the device node, links in a circle a file). A link to nothing is
// said, and a save makes its target. Where the system has no such trouble, the row says why it skips.
enum class Trouble { None, ReadOnlyFolder, ReadOnlyFile, HeldOpen, DiskFull, WriteFails }; // of regular files
struct HostileCase {
    const char* name;
    Thing thing;
    Trouble trouble;
    ReadFailure read;
    WriteFailure write;
};
class HostileSettings : public Files, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileSettings, AreSaidAndLeftAsTheyWere) {
    const HostileCase& c = GetParam();
    const fs::path opt = file(kOptFileName), ini = file(kIniFileName), csv = file(kUserCalendarFileName);
    const bool regular = c.trouble != Trouble::None;
    std::vector<trouble::Lasting> troubles;
    if (c.trouble == Trouble::DiskFull) {
        troubles.push_back(trouble::smallDisk(folder.path()));
    }
    for (const fs::path& f : {opt, ini}) {
        if (!regular) {
            troubles.emplace_back(make(c.thing, f));
        } else if (troubles.emplace_back(put(f, "1\r\nkept exactly\r\n") ? "" : "cannot write").made()) {
            troubles.push_back(c.trouble == Trouble::ReadOnlyFile ? trouble::Lasting(trouble::makeReadOnly(f))
                               : c.trouble == Trouble::HeldOpen   ? trouble::heldOpen(f)
                                                                  : trouble::Lasting({}));
        }
    }
    troubles.emplace_back(regular ? "" : make(c.thing, csv));
    troubles.emplace_back(c.trouble == Trouble::ReadOnlyFolder ? trouble::makeReadOnly(folder.path())
                          : c.trouble == Trouble::DiskFull && !trouble::fillDisk(folder.path())
                              ? "cannot fill it"
                              : "");
    for (const trouble::Lasting& t : troubles) {
        SKIP_UNLESS_MADE(t.why());
    }
    const auto before = snapshot(folder.path());
    {
        const auto asOrdinaryUser = trouble::noRootOverride();
        RotaOffset rota(place(), 2.0f);
        const auto taken = unlessHung([&rota] { return rota.Nastroyki_Chtenie(); }, opt);
        auto read = unlessHung([this] { return SutografIni(place()); }, ini);
        const auto loaded = unlessHung([this] { return loadCalendar(place()); }, csv);
        ASSERT_TRUE(taken && read && loaded) << "reading hung";
        EXPECT_EQ(*taken, regular);
        EXPECT_EQ(rota.BazovyKaraul(), regular ? 1.0f : 2.0f) << "the old file's 1, else the 2 held before";
        EXPECT_EQ(read->readFailure(), c.read == ReadFailure::Missing ? ReadFailure::None : c.read);
        EXPECT_EQ(read->choices(), kDefaults);
        const QString cause = failureText(c.read);
        EXPECT_EQ(loaded->errors.empty() ? "" : loaded->errors[0].message, cause.toStdString());
        EXPECT_EQ(calendarVerdict(*loaded).isEmpty(), cause.isEmpty());
        EXPECT_EQ(loaded->calendar.sourceOf(2027), NormSource::Provisional);

        const auto failing =
            c.trouble == Trouble::WriteFails ? trouble::failingWrites() : trouble::Lasting({});
        SKIP_UNLESS_MADE(failing.why());
        EXPECT_EQ(rota.choose(3).failure, c.write);
        EXPECT_EQ(read->store(kChanged).failure, c.write);
    }
    if (c.write != WriteFailure::None) {
        trouble::makeWritable(folder.path());
        EXPECT_EQ(snapshot(folder.path()), before);
    }
}

using enum Thing;
using enum Trouble;
INSTANTIATE_TEST_SUITE_P(
    Cases, HostileSettings,
    ::testing::Values(
        HostileCase{"NoFile", Nothing, None, ReadFailure::Missing, WriteFailure::None},
        HostileCase{"ModeZero", ModeZero, None, ReadFailure::NoPermission, WriteFailure::NoPermission},
        HostileCase{"Fifo", Fifo, None, ReadFailure::NotAFile, WriteFailure::NotAFile},
        HostileCase{"LinkToFifo", LinkToFifo, None, ReadFailure::NotAFile, WriteFailure::NotAFile},
        HostileCase{"LinkToDevice", LinkToDevice, None, ReadFailure::NotAFile, WriteFailure::NotAFile},
        HostileCase{"Folder", Folder, None, ReadFailure::FolderInTheWay, WriteFailure::FolderInTheWay},
        HostileCase{"LinkLoop", LinkLoop, None, ReadFailure::LinkLoop, WriteFailure::NotAFile},
        HostileCase{"BrokenLink", BrokenLink, None, ReadFailure::BrokenLink, WriteFailure::None},
        HostileCase{"ReadOnlyFolder", Nothing, ReadOnlyFolder, ReadFailure::None, WriteFailure::NoPermission},
        HostileCase{"ReadOnlyFile", Nothing, ReadOnlyFile, ReadFailure::None, WriteFailure::NoPermission},
        HostileCase{"HeldOpenByAnotherProgram", Nothing, HeldOpen, ReadFailure::None, WriteFailure::InUse},
        HostileCase{"DiskFull", Nothing, DiskFull, ReadFailure::None, WriteFailure::DiskFull},
        HostileCase{"WriteFailsMidway", Nothing, WriteFails, ReadFailure::None, WriteFailure::Other}),
    kByRowName);

// A link to a regular file is followed: the link stays, its target takes the bytes. A file its
// owner could not read is saved readable, its other mode bits kept (root, reading anything, works as
// its owner would).
TEST_F(Files, SaveFollowsALinkAndLeavesAFileItsOwnerCanRead) {
    const fs::path target = folder / "target.txt";
    SKIP_UNLESS_MADE(trouble::makeLink(target, file(kOptFileName)));
    using enum fs::perms;
    ASSERT_TRUE(put(target, "1\r\n"));
    fs::permissions(target, owner_write | group_write);
    const auto asOrdinaryUser = trouble::noRootOverride();
    EXPECT_TRUE(writeOffsetFile(place(), 2.0f).ok());
    EXPECT_EQ(bytesOf(target), "2\r\n");
    EXPECT_EQ(fs::read_symlink(file(kOptFileName)), target);
    EXPECT_EQ(fs::status(target).permissions(), owner_read | owner_write | group_write);
}

// A write-protected program folder (a USB stick) still gives its setting; saving goes to the user's
// configuration folder, whatever the program is called, which from then on wins. Without a home
// folder there is nowhere to save.
TEST_F(Files, ReadOnlyProgramFolderReadsBesideTheProgramAndSavesToTheUsersFolder) {
    const QString home = q(folder / "home"), program = q(folder.path());
    ASSERT_TRUE(QDir().mkdir(home) && put(file(kOptFileName), "3\r\n"));
    SKIP_UNLESS_MADE(trouble::makeReadOnly(folder.path()));
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", ""); // as good as unset
    QCoreApplication::setApplicationName(u"sutograf-1.0"_s);
    const auto asOrdinaryUser = trouble::noRootOverride();
    RotaOffset onStick(SettingsPlace::forProgram(program));
    EXPECT_TRUE(onStick.Nastroyki_Chtenie() && onStick.BazovyKaraul() == 3.0f);
    EXPECT_TRUE(onStick.choose(1).ok());
    EXPECT_EQ(contentOf(home + u"/.config/sutograf/Opt.txt"_s), "1\r\n");
    EXPECT_EQ(readOffsetFile(onStick.place()), 1.0f);
    qunsetenv("HOME");
    EXPECT_EQ(writeOffsetFile(SettingsPlace::forProgram(program), 1.0f).failure, WriteFailure::NoPlace);
    EXPECT_EQ(readOffsetFile(SettingsPlace::forProgram(program)), 3.0f);
    qputenv("HOME", savedHome);
    qputenv("XDG_CONFIG_HOME", savedXdg);
}

// On Windows a program folder that cannot be written (here: one that is gone) saves to
// %APPDATA%\sutograf, the roaming profile that follows the user from PC to PC, not to %LOCALAPPDATA%; a
// writable one keeps the settings beside the program.
TEST_F(Files, UnwritableProgramFolderSavesToTheRoamingProfile) {
    if (QSysInfo::kernelType() != u"winnt"_s) {
        GTEST_SKIP() << "the roaming profile is Windows' own";
    }
    const QString expected =
        QDir::toNativeSeparators(qEnvironmentVariable("APPDATA") + u"/sutograf/Opt.txt"_s);
    const QString saved = SettingsPlace::forProgram(q(folder / "gone")).writePath(kOptFileName);
    EXPECT_EQ(saved.compare(expected, Qt::CaseInsensitive), 0) << saved.toStdString();
    EXPECT_EQ(place().writePath(kOptFileName), path());
}

UserChoices choices(DutyRules duty, int watch = 1, Reminder reminder = Reminder::None,
                    AccountingChoices accounting = {}) {
    UserChoices c;
    c.duty = duty;
    c.yearWatch = watch;
    c.reminder = reminder;
    c.accounting = accounting;
    return c;
}

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
                "[duty]\nstart=25:00\nhours=0:30\nwholeOnStartDay=yes\n[yearWindow]\nwatch=5\nperson=0\n"
                "[calendarExport]\nreminder=tomorrow",
                kDefaults, 6},
        IniCase{"Junk", "\0\xFFjunk\n[duty\nstart\n"_ba, kDefaults, 3}),
    kByName);

// Opening the window must not rewrite the file; a change writes it, and it reads back. A file that
// can no longer be written shows whether a write is attempted at all.
TEST_F(Files, SutografIniIsWrittenOnlyWhenAChoiceChanges) {
    SutografIni ini(place());
    EXPECT_EQ(ini.choices(), kDefaults);
    EXPECT_TRUE(ini.store(kDefaults).ok());
    EXPECT_FALSE(fs::exists(file(kIniFileName)));
    ASSERT_TRUE(ini.store(kChanged).ok());
    EXPECT_EQ(SutografIni(place()).choices(), kChanged);
    ASSERT_EQ(trouble::makeReadOnly(file(kIniFileName)), "");
    const auto asOrdinaryUser = trouble::noRootOverride();
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
// A line whose year cannot be read: no year of the file is taken.
CalendarCase unreadableYear(const char* name, const char* line) {
    return {name, with2026(line), NormSource::Provisional, {2026, 2027}, kNoYearTaken};
}
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
        unreadableYear("DayMonthYear", "09.01.2026,dayoff"),
        unreadableYear("QuotedDate", "\"2026-01-09\",dayoff"),
        unreadableYear("SecondByteOrderMark", "\xEF\xBB\xBF"
                                              "2026-01-09,dayoff")),
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
    const auto setAge = [&](const fs::path& path, int seconds) {
        const auto t = std::chrono::system_clock::from_time_t(now.toSecsSinceEpoch() - seconds);
        std::error_code ec;
        fs::last_write_time(path, std::chrono::file_clock::from_sys(t), ec);
        return !ec;
    };
    std::set<std::string> kept, removed;
    for (const auto& f : files) {
        if (fs::exists(folder / f.name)) {
            continue; // a file system blind to case (Windows) has "opt.txt..." as "Opt.txt..." already
        }
        ASSERT_TRUE(put(folder / f.name, "1\r\n") && setAge(folder / f.name, f.ageSeconds)) << f.name;
        (f.removed ? removed : kept).insert(f.name);
    }
    std::set<std::string> gone, left;
    for (const QString& name : removeLeftoverSaves(place(), now)) {
        gone.insert(name.toStdString());
    }
    for (const auto& [name, what] : snapshot(folder.path())) {
        left.insert(name);
    }
    EXPECT_EQ(gone, removed);
    EXPECT_EQ(left, kept);
}

} // namespace
} // namespace sutograf
