// The program's own files: Opt.txt, sutograf.ini and the user's calendar.csv, where they live, and
// how each survives damage, hostile places and failing disks.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

const QByteArray kOld("1\r\nkept exactly\r\n");
const auto kByName = [](const auto& info) { return std::string(info.param.name); };

// Bytes written as a literal, NULs included.
template <std::size_t N> QByteArray bytes(const char (&text)[N]) { return QByteArray(text, N - 1); }

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
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

void makeWritable(const QString& path) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        BazovyKaraul = 0.0f;
    }
    void TearDown() override { makeWritable(dir.path()); }
    QString path() const { return dir.filePath(kOptFileName); }
    SettingsPlace place() const { return SettingsPlace(dir.path()); }

    QTemporaryDir dir;
};

// Read over an offset of 1, which no row takes from its file: 1 means the file was not taken, so a
// damaged file that reset the offset to the first watch shows.
struct ReadCase {
    const char* name;
    QByteArray content;
    float expected = 1.0f;
};
class OptFileRead : public Files, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(OptFileRead, TakesTheFirstLineOrKeepsTheOffsetHeld) {
    ASSERT_TRUE(put(path(), GetParam().content));
    BazovyKaraul = 1.0f;
    EXPECT_EQ(Nastroyki_Chtenie(place()), GetParam().expected != 1.0f);
    EXPECT_EQ(BazovyKaraul, GetParam().expected);
    EXPECT_EQ(contentOf(path()), GetParam().content) << "reading must never change the file";
}

// A first line of 100 000 characters is never taken: not when its first bytes look like an offset,
// nor when its blanks hide one at the end.
const QByteArray kBlanks(99999, ' ');
INSTANTIATE_TEST_SUITE_P(
    Cases, OptFileRead,
    ::testing::Values(ReadCase{"WrittenByUs", "2\r\n", 2.0f}, ReadCase{"NoLineEnd", "0", 0.0f},
                      ReadCase{"FurtherLinesIgnored", "3\r\nmore lines\r\n7", 3.0f},
                      ReadCase{"BareCR", "2\r9", 2.0f}, ReadCase{"UnixLineEnd", "3\n", 3.0f},
                      ReadCase{"Blanks", " 2 \r\n", 2.0f}, ReadCase{"Empty", ""},
                      ReadCase{"EmptyFirstLine", "\r\n2\r\n"}, ReadCase{"Letters", "abc\r\n"},
                      ReadCase{"OutOfRange", "7\r\n"}, ReadCase{"Negative", "-1\r\n"},
                      ReadCase{"Fraction", "1.5\r\n"}, ReadCase{"Comma", "1,5\r\n"},
                      ReadCase{"Huge", "1e40\r\n"}, ReadCase{"Utf8Bom", "\xEF\xBB\xBF\x32\r\n"},
                      ReadCase{"DigitThenNul", bytes("2\0")}, ReadCase{"VeryLongFirstLine", "2" + kBlanks},
                      ReadCase{"VeryLongFirstLineEndingInADigit", kBlanks + "2"}),
    kByName);

// Whatever stands where Opt.txt should be, or whatever the disk does: reading neither hangs (a FIFO
// blocks an ordinary open until a writer comes) nor takes anything but a regular file, and saving 3
// fails for its own reason, leaving the folder exactly as it was: no temporary file, and what
// stood there the same thing with the same bytes (a link to a device would otherwise replace the
// device node).
enum Place { Folder, Fifo, LinkToFifo, LinkToDevice, ReadOnlyFolder, ReadOnlyFile, DiskFull, WriteFails };
struct Hostile {
    const char* name;
    Place place;
    WriteFailure save;
};
class OptFileHostile : public Files, public ::testing::WithParamInterface<Hostile> {};

TEST_P(OptFileHostile, NeitherHangsNorLosesWhatWasThere) {
    const Place kind = GetParam().place;
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
    BazovyKaraul = 2.0f;
    EXPECT_EQ(unlessHung([this] { return Nastroyki_Chtenie(place()); }, path()), regular)
        << "nullopt: it hung";
    EXPECT_EQ(BazovyKaraul, regular ? 1.0f : 2.0f) << "the old file's 1, else the 2 held before";
    BazovyKaraul = 3.0f;
    {
        const NoRootOverride asOrdinaryUser;
        const auto failing = only<FailingWrites>(kind == WriteFails);
        EXPECT_EQ(Nastroyki_Zapis(place()).failure, GetParam().save);
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
// save runs as an ordinary user who owns the files.
TEST_F(Files, SaveFollowsALinkAndLeavesAFileItsOwnerCanRead) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"real"_s));
    const QString target = dir.filePath(u"real/Opt.txt"_s);
    ASSERT_TRUE(put(target, "1\r\n") && QFile::link(target, path()));
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::WriteOwner | QFileDevice::WriteGroup));
    const uid_t nobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0) {
            for (const QString& p : {dir.path(), dir.filePath(u"real"_s), target, path()}) {
                (void)::lchown(QFile::encodeName(p).constData(), nobody, nobody);
            }
            (void)(::setgid(nobody) + ::setuid(nobody));
        }
        BazovyKaraul = 2.0f;
        ::_exit(Nastroyki_Zapis(place()).ok() && contentOf(target) == "2\r\n" ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), target);
    struct stat saved {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 0777, 0620u);
}

// A write-protected program folder (a USB stick) still gives its setting; saving goes to the user's
// configuration folder, whatever the program is called, which from then on wins. Without a home
// folder there is nowhere to save.
TEST_F(Files, ReadOnlyProgramFolderReadsBesideTheProgramAndSavesToTheUsersFolder) {
    const QString program = dir.filePath(u"stick"_s), home = dir.filePath(u"home"_s);
    ASSERT_TRUE(QDir().mkpath(program) && QDir().mkpath(home) && put(program + u"/Opt.txt"_s, "3\r\n"));
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_CONFIG_HOME");
    QCoreApplication::setApplicationName(u"sutograf-1.0"_s);
    {
        const NoRootOverride asOrdinaryUser;
        const SettingsPlace stick = SettingsPlace::forProgram(program);
        EXPECT_TRUE(Nastroyki_Chtenie(stick) && BazovyKaraul == 3.0f);
        BazovyKaraul = 1.0f;
        EXPECT_TRUE(Nastroyki_Zapis(stick).ok());
        EXPECT_EQ(contentOf(home + u"/.config/sutograf/Opt.txt"_s), QByteArray("1\r\n"));
        EXPECT_EQ(contentOf(program + u"/Opt.txt"_s), QByteArray("3\r\n"));
        EXPECT_TRUE(Nastroyki_Chtenie(stick) && BazovyKaraul == 1.0f);
        qunsetenv("HOME");
        const SettingsPlace homeless = SettingsPlace::forProgram(program);
        EXPECT_EQ(Nastroyki_Zapis(homeless).failure, WriteFailure::NoPlace);
        EXPECT_TRUE(Nastroyki_Chtenie(homeless) && BazovyKaraul == 3.0f);
    }
    qputenv("HOME", savedHome);
    if (!savedXdg.isNull()) {
        qputenv("XDG_CONFIG_HOME", savedXdg);
    }
    makeWritable(program);
}

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
class IniText : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniText, GivesTheValuesOrTheirDefaults) {
    const IniReading reading = parseIni(GetParam().text);
    EXPECT_EQ(reading.choices, GetParam().expected);
    EXPECT_EQ(reading.problems.size(), GetParam().problems) << reading.problems.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniText,
    ::testing::Values(
        IniCase{"WrittenByUs", iniText(choices(450, 1410, true, 3)), choices(450, 1410, true, 3), 0},
        IniCase{"WindowsLineEndsAndBom", "\xEF\xBB\xBF[duty]\r\nstart=00:00\r\n[yearWindow]\r\nwatch=4\r\n",
                choices(0, 1440, false, 4), 0},
        IniCase{"OnlyOneValue", "[duty]\nhours=12\n", choices(480, 720, false, 1), 0},
        IniCase{"KeysOfALaterVersion", "[duty]\ncolour=red\n[yearWindow]\nstart=09:00\n", kDefaults, 0},
        IniCase{"BadValuesEachKeepTheirDefault",
                "[duty]\nstart=25:00\nhours=0:30\nwholeOnStartDay=yes\n[yearWindow]\nwatch=5\n", kDefaults,
                4},
        IniCase{"Junk", bytes("\0\xFFjunk\n[duty\nstart\n"), kDefaults, 3}),
    kByName);

// Opening the window must not rewrite the file; a change writes it, and it reads back. A folder that
// can no longer be written shows whether a write is attempted at all.
TEST_F(Files, SutografIniIsWrittenOnlyWhenAChoiceChanges) {
    SutografIni ini(place());
    EXPECT_EQ(ini.choices(), kDefaults);
    EXPECT_TRUE(ini.store(kDefaults).ok());
    EXPECT_FALSE(QFile::exists(dir.filePath(kIniFileName)));
    const UserChoices changed = choices(540, 1320, true, 2);
    ASSERT_TRUE(ini.store(changed).ok());
    EXPECT_EQ(SutografIni(place()).choices(), changed);
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        const NoRootOverride asOrdinaryUser;
        EXPECT_TRUE(ini.store(changed).ok());
        EXPECT_EQ(ini.store(kDefaults).failure, WriteFailure::NoPermission);
    }
    makeWritable(dir.path());
    EXPECT_EQ(ini.choices(), kDefaults) << "the choice holds for this run";
    EXPECT_EQ(SutografIni(place()).choices(), changed);
}

// A whole year as a decree's file would list it: the general rule's holidays, days off and short days.
QByteArray yearRows(int year) {
    static const char* const kKinds[] = {"", "holiday", "dayoff", "workday", "short"};
    const YearKinds kinds = ProductionCalendar().yearKinds(year);
    QByteArray rows;
    for (int i = 0; i < kinds.length; ++i) {
        const Date d{kinds.jan1.serial + i};
        if (kinds.of(d) != DayKind::Ordinary) {
            const CivilDate c = civilOf(d);
            rows +=
                QString::asprintf("%04d-%02d-%02d,%s,\n", c.year, c.month, c.day, kKinds[int(kinds.of(d))])
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
class UserCalendar : public ::testing::TestWithParam<OverlayCase> {};

// A year taken in part would give a wrong norm without saying so: only a whole, clean year replaces
// the shipped one.
TEST_P(UserCalendar, ReplacesOnlyWholeCleanYears) {
    const LoadedCalendar loaded = calendarWithOverlay("date,kind,note\n" + GetParam().csv);
    EXPECT_EQ(static_cast<int>(loaded.errors.size()), GetParam().errors);
    EXPECT_EQ(loaded.calendar.sourceOf(2027), GetParam().source2027);
    const bool taken = GetParam().source2027 == NormSource::Decree;
    EXPECT_EQ(loaded.calendar.kindOf(*dateOf(2027, 1, 11)), taken ? DayKind::DayOff : DayKind::Ordinary);
    EXPECT_EQ(loaded.calendar.kindOf(*dateOf(2027, 1, 8)), DayKind::Holiday);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserCalendar,
    ::testing::Values(
        OverlayCase{"WholeYear", yearRows(2027) + "2027-01-11,dayoff,перенос\n", NormSource::Decree, 0},
        OverlayCase{"BadLine", yearRows(2027) + "2027-01-11,dayof,опечатка\n", NormSource::Provisional, 1},
        OverlayCase{"BadLineAfterAHundredErrors",
                    QByteArray("2031-02-30,holiday,\n").repeated(101) + yearRows(2027) +
                        "2027-01-11,dayof,x\n",
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
