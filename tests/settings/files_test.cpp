// The program's own files: Opt.txt, sutograf.ini and the user's calendar.csv, where they live, and
// how each survives damage, hostile places and failing disks.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bazovy_karaul.h"
#include "common/no_root_override.h"
#include "common/small_disk.h"
#include "opt_file.h"
#include "sutograf_ini.h"
#include "user_calendar.h"

namespace sutograf {
namespace {

using namespace Qt::StringLiterals;

const auto kByName = [](const auto& info) { return std::string(std::get<0>(info.param)); };

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>"_ba;
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

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
    ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
    return std::nullopt;
}

bool readOnly(const QString& path) { return ::chmod(QFile::encodeName(path).constData(), 0500) == 0; }

// A folder of its own for each test, made writable again at the end so that it can be removed.
class Files : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { ::chmod(QFile::encodeName(dir.path()).constData(), 0700); }
    QString path() const { return dir.filePath(kOptFileName); }
    SettingsPlace place() const { return SettingsPlace(dir.path()); }

    QTemporaryDir dir;
};

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
// device node).
enum Place { Folder, Fifo, LinkToFifo, LinkToDevice, ReadOnlyFolder, ReadOnlyFile, DiskFull, WriteFails };
using Hostile = std::tuple<const char*, Place, WriteFailure>; // name, what is there, why saving fails
class OptFileHostile : public Files, public ::testing::WithParamInterface<Hostile> {};

TEST_P(OptFileHostile, NeitherHangsNorLosesWhatWasThere) {
    const auto [name, kind, failure] = GetParam();
    const bool regular = kind >= ReadOnlyFolder, linked = kind == LinkToFifo || kind == LinkToDevice;
    const QByteArray opt = QFile::encodeName(path()), other = QFile::encodeName(dir.filePath(u"other"_s));
    const auto disk = only<SmallDisk>(kind == DiskFull, dir.path());
    // The device is our own null device, so that a fault cannot take the system's with it.
    const mode_t node = kind == LinkToDevice ? S_IFCHR | 0666 : S_IFIFO | 0644;
    const bool made =
        regular ? (!disk || disk->mounted()) && put(path(), "1\r\nkept exactly\r\n") &&
                      (!disk || disk->fill()) && (kind != ReadOnlyFolder || readOnly(dir.path())) &&
                      (kind != ReadOnlyFile || readOnly(path()))
        : kind == Folder ? ::mkdir(opt.constData(), 0755) == 0
                         : ::mknod((linked ? other : opt).constData(), node, makedev(1, 3)) == 0 &&
                               (!linked || ::symlink(other.constData(), opt.constData()) == 0);
    if (!made) {
        GTEST_SKIP() << "cannot make it here (a small disk and a device node need root)";
    }
    const auto snapshot = [&] {
        struct stat s {};
        ::lstat(opt.constData(), &s);
        const QStringList names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        return std::tuple(names.join(u' ').toStdString(), s.st_ino, s.st_mode,
                          QFileInfo(path()).isFile() ? contentOf(path()).toStdString() : "");
    };
    const auto before = snapshot();
    RotaOffset rota(place(), 2.0f);
    EXPECT_EQ(unlessHung([&rota] { return rota.Nastroyki_Chtenie(); }, path()), regular)
        << "nullopt: it hung";
    EXPECT_EQ(rota.BazovyKaraul(), regular ? 1.0f : 2.0f) << "the old file's 1, else the 2 held before";
    {
        const NoRootOverride asOrdinaryUser;
        const auto failing = only<FailingWrites>(kind == WriteFails);
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
                                           Hostile{"DiskFull", DiskFull, WriteFailure::DiskFull},
                                           Hostile{"WriteFailsMidway", WriteFails, WriteFailure::Other}),
                         kByName);

// A link to a regular file is followed: the link stays, its target takes the bytes. A file its
// owner could not read is saved readable, its other mode bits kept. Root reads anything, so the
// folder and the file are handed to nobody, who then saves.
TEST_F(Files, SaveFollowsALinkAndLeavesAFileItsOwnerCanRead) {
    const QString target = dir.filePath(u"target.txt"_s);
    const QByteArray folder = QFile::encodeName(dir.path()), file = QFile::encodeName(target);
    ASSERT_TRUE(put(target, "1\r\n") && QFile::link(target, path()) && ::chmod(file.constData(), 0220) == 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const uid_t nobody = 65534;
        if (::getuid() == 0 &&
            (::chown(folder.constData(), nobody, nobody) || ::chown(file.constData(), nobody, nobody) ||
             ::setgid(nobody) || ::setuid(nobody))) {
            ::_exit(2); // could not become nobody
        }
        ::_exit(writeOffsetFile(place(), 2.0f).ok() && contentOf(target) == "2\r\n" ? 0 : 1);
    }
    int status = -1;
    ASSERT_TRUE(::waitpid(child, &status, 0) == child && status == 0) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), target);
    struct stat saved {};
    ASSERT_EQ(::stat(file.constData(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 0777, 0620u);
}

// A write-protected program folder (a USB stick) still gives its setting; saving goes to the user's
// configuration folder, whatever the program is called, which from then on wins. Without a home
// folder there is nowhere to save.
TEST_F(Files, ReadOnlyProgramFolderReadsBesideTheProgramAndSavesToTheUsersFolder) {
    const QString home = dir.filePath(u"home"_s);
    ASSERT_TRUE(QDir().mkdir(home) && put(path(), "3\r\n") && readOnly(dir.path()));
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", ""); // as good as unset
    QCoreApplication::setApplicationName(u"sutograf-1.0"_s);
    const NoRootOverride asOrdinaryUser;
    RotaOffset onStick(SettingsPlace::forProgram(dir.path()));
    EXPECT_TRUE(onStick.Nastroyki_Chtenie() && onStick.BazovyKaraul() == 3.0f);
    EXPECT_TRUE(onStick.choose(1).ok());
    EXPECT_EQ(contentOf(home + u"/.config/sutograf/Opt.txt"_s), "1\r\n"_ba);
    EXPECT_EQ(readOffsetFile(onStick.place()), 1.0f);
    qunsetenv("HOME");
    EXPECT_EQ(writeOffsetFile(SettingsPlace::forProgram(dir.path()), 1.0f).failure, WriteFailure::NoPlace);
    EXPECT_EQ(readOffsetFile(SettingsPlace::forProgram(dir.path())), 3.0f);
    qputenv("HOME", savedHome);
    qputenv("XDG_CONFIG_HOME", savedXdg);
}

const UserChoices kDefaults, kChanged{{450, 1410, true}, 3};

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
        IniCase{"WindowsLineEndsAndBom", "\xEF\xBB\xBF[duty]\r\nstart=00:00\r\n[yearWindow]\r\nwatch=4\r\n",
                UserChoices{{0, 1440, false}, 4}, 0},
        IniCase{"OnlyOneValue", "[duty]\nhours=12\n", UserChoices{{480, 720, false}, 1}, 0},
        IniCase{"KeysOfALaterVersion", "[duty]\ncolour=red\n[yearWindow]\nstart=09:00\n", kDefaults, 0},
        IniCase{"BadValuesEachKeepTheirDefault",
                "[duty]\nstart=25:00\nhours=0:30\nwholeOnStartDay=yes\n[yearWindow]\nwatch=5", kDefaults, 4},
        IniCase{"Junk", "\0\xFFjunk\n[duty\nstart\n"_ba, kDefaults, 3}),
    kByName);

// Opening the window must not rewrite the file; a change writes it, and it reads back. A folder that
// can no longer be written shows whether a write is attempted at all.
TEST_F(Files, SutografIniIsWrittenOnlyWhenAChoiceChanges) {
    SutografIni ini(place());
    EXPECT_EQ(ini.choices(), kDefaults);
    EXPECT_TRUE(ini.store(kDefaults).ok());
    EXPECT_FALSE(QFile::exists(dir.filePath(kIniFileName)));
    ASSERT_TRUE(ini.store(kChanged).ok());
    EXPECT_EQ(SutografIni(place()).choices(), kChanged);
    ASSERT_TRUE(readOnly(dir.path()));
    const NoRootOverride asOrdinaryUser;
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

using OverlayCase = std::tuple<const char*, QByteArray, NormSource, int>; // name, rows, 2027's source, errors
class UserCalendar : public ::testing::TestWithParam<OverlayCase> {};

// A year taken in part would give a wrong norm without saying so: only a whole, clean year replaces
// the shipped one.
TEST_P(UserCalendar, ReplacesOnlyWholeCleanYears) {
    const auto& [name, rows, source, errors] = GetParam();
    const LoadedCalendar loaded = calendarWithOverlay("date,kind,note\n" + rows);
    EXPECT_EQ(static_cast<int>(loaded.errors.size()), errors);
    EXPECT_EQ(loaded.calendar.sourceOf(2027), source);
    EXPECT_EQ(loaded.calendar.kindOf(*dateOf(2027, 1, 11)),
              source == NormSource::Decree ? DayKind::DayOff : DayKind::Ordinary);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserCalendar,
    ::testing::Values(
        OverlayCase{"WholeYear", kHolidays2027 + "2027-01-11,dayoff,перенос\n", NormSource::Decree, 0},
        OverlayCase{"BadLine", kHolidays2027 + "2027-01-11,dayof,опечатка\n", NormSource::Provisional, 1},
        OverlayCase{"BadLineAfterAHundredErrors",
                    "2031-02-30,holiday,\n"_ba.repeated(101) + kHolidays2027 + "2027-01-11,dayof,x\n",
                    NormSource::Provisional, ProductionCalendar::kMaxErrors + 1},
        OverlayCase{"OnlyTheTransfers", "2027-01-11,dayoff,перенос\n", NormSource::Provisional, 1}),
    kByName);

TEST_F(Files, ACalendarThatCannotBeReadIsSaidAndTheShippedTableUsed) {
    EXPECT_TRUE(loadCalendar(place()).errors.empty()) << "no file, no complaint";
    const QString fifo = dir.filePath(kUserCalendarFileName);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const auto loaded = unlessHung([this] { return loadCalendar(place()); }, fifo);
    ASSERT_TRUE(loaded) << "reading hung";
    ASSERT_EQ(loaded->errors.size(), 1u);
    EXPECT_EQ(loaded->errors[0].line, 0);
    EXPECT_EQ(loaded->calendar.sourceOf(2027), NormSource::Provisional);
}

} // namespace
} // namespace sutograf
