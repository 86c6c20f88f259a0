#include <gtest/gtest.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <functional>
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
#include "settings_place.h"

namespace sutograf {
namespace {

const QByteArray kOld("1\r\nkept exactly\r\n");

QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void makeWritable(const QString& path) {
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

class OptFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        BazovyKaraul = 0.0f;
    }
    QString path() const { return dir.filePath(kOptFileName); }
    SettingsPlace place() const { return SettingsPlace(dir.path()); }

    QTemporaryDir dir;
};

struct ReadCase {
    const char* name;
    QByteArray content;
    float expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
class OptFileRead : public OptFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(OptFileRead, TakesTheFirstLineOrKeepsTheFirstWatch) {
    const auto& c = GetParam();
    ASSERT_TRUE(put(path(), c.content));
    Nastroyki_Chtenie(place());
    EXPECT_EQ(BazovyKaraul, c.expected);
    EXPECT_EQ(contentOf(path()), c.content) << "reading must never change the file";
}

const ReadCase kReadCases[] = {
    {"WrittenByUs", QByteArray("2\r\n"), 2.0f},
    {"NoLineEnd", QByteArray("0"), 0.0f},
    {"FurtherLinesIgnored", QByteArray("1\r\nmore lines\r\n7"), 1.0f},
    {"BareCR", QByteArray("3\r9"), 3.0f},
    {"UnixLineEnd", QByteArray("3\n"), 3.0f},
    {"Blanks", QByteArray(" 2 \r\n"), 2.0f},
    {"Empty", QByteArray(""), 0.0f},
    {"EmptyFirstLine", QByteArray("\r\n2\r\n"), 0.0f},
    {"Letters", QByteArray("abc\r\n"), 0.0f},
    {"OutOfRange", QByteArray("7\r\n"), 0.0f},
    {"Negative", QByteArray("-1\r\n"), 0.0f},
    {"Fraction", QByteArray("1.5\r\n"), 0.0f},
    {"Comma", QByteArray("1,5\r\n"), 0.0f},
    {"Huge", QByteArray("1e40\r\n"), 0.0f},
    {"Utf8Bom",
     QByteArray("\xEF\xBB\xBF"
                "2\r\n"),
     0.0f},
    {"BinaryJunk", QByteArray("\x00\xFF\x13\x37\x02\r\n", 7), 0.0f},
    {"DigitThenNul", QByteArray("2\x00", 2), 0.0f},
    {"VeryLongFirstLine", QByteArray(100000, '1'), 0.0f},
};
INSTANTIATE_TEST_SUITE_P(Cases, OptFileRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Whatever stands where Opt.txt should be, or whatever the disk does: reading neither hangs (a FIFO
// blocks an ordinary open until a writer comes) nor takes anything but a regular file, and saving 3
// fails for its own reason, leaving what was there exactly as it was (a link to a device would
// otherwise replace the device node) and no temporary file behind.
enum class Place {
    Folder,
    Fifo,
    LinkToFifo,
    LinkToDevice,
    ReadOnlyFolder,
    ReadOnlyFile,
    DiskFull,
    FailingWrites
};
struct Hostile {
    const char* name;
    Place place;
    float read; // what reading leaves: the old file's 1, or the 2 that was there before
    WriteFailure save;
};
void PrintTo(const Hostile& c, std::ostream* os) { *os << c.name; }
class OptFileHostile : public OptFile, public ::testing::WithParamInterface<Hostile> {};

TEST_P(OptFileHostile, NeitherHangsNorLosesWhatWasThere) {
    const Place kind = GetParam().place;
    const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
    const QByteArray node = QFile::encodeName(dir.filePath(QStringLiteral("null")));
    std::optional<SmallDisk> disk;
    if (kind == Place::DiskFull && !disk.emplace(dir.path()).mounted()) {
        GTEST_SKIP() << "no right to mount a small disk";
    }
    bool made = kind >= Place::ReadOnlyFolder ? put(path(), kOld) : true;
    switch (kind) {
    case Place::Folder:
        made = QDir().mkdir(path());
        break;
    case Place::Fifo:
        made = ::mkfifo(QFile::encodeName(path()).constData(), 0644) == 0;
        break;
    case Place::LinkToFifo:
        made = ::mkfifo(pipe.constData(), 0644) == 0 && QFile::link(QFile::decodeName(pipe), path());
        break;
    case Place::LinkToDevice: // our own null device, so that a fault cannot take the system's with it
        made = ::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
               QFile::link(QFile::decodeName(node), path());
        break;
    case Place::ReadOnlyFolder:
    case Place::ReadOnlyFile:
        QFile::setPermissions(kind == Place::ReadOnlyFolder ? dir.path() : path(),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        break;
    case Place::DiskFull:
        disk->fill();
        break;
    case Place::FailingWrites:
        break;
    }
    if (!made) {
        GTEST_SKIP() << "cannot make it here (a device node needs root)";
    }
    struct stat before {
    }, after{};
    ASSERT_EQ(::lstat(QFile::encodeName(path()).constData(), &before), 0);
    const auto content = [this] { return QFileInfo(path()).isFile() ? contentOf(path()) : QByteArray(); };
    const QByteArray old = content();
    BazovyKaraul = 2.0f;
    auto reading = std::async(std::launch::async, [this] { return Nastroyki_Chtenie(place()); });
    if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        for (const QByteArray& p : {QFile::encodeName(path()), pipe}) { // a writer releases a stuck reader
            ::close(::open(p.constData(), O_WRONLY | O_NONBLOCK));
        }
        FAIL() << "reading hung";
    }
    reading.get();
    EXPECT_EQ(BazovyKaraul, GetParam().read);
    BazovyKaraul = 3.0f;
    {
        const NoRootOverride asOrdinaryUser;
        std::optional<FailingWrites> failing;
        if (kind == Place::FailingWrites) {
            failing.emplace();
        }
        EXPECT_EQ(Nastroyki_Zapis(place()).failure, GetParam().save);
    }
    makeWritable(dir.path());
    ASSERT_EQ(::lstat(QFile::encodeName(path()).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(content(), old);
    QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    left.removeAll(QStringLiteral("filler"));
    EXPECT_LE(left.size(), 3) << left.join(u' ').toStdString(); // Opt.txt, pipe, null: no temporary file
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptFileHostile,
    ::testing::Values(Hostile{"Folder", Place::Folder, 2.0f, WriteFailure::FolderInTheWay},
                      Hostile{"Fifo", Place::Fifo, 2.0f, WriteFailure::NotAFile},
                      Hostile{"LinkToFifo", Place::LinkToFifo, 2.0f, WriteFailure::NotAFile},
                      Hostile{"LinkToDevice", Place::LinkToDevice, 2.0f, WriteFailure::NotAFile},
                      Hostile{"ReadOnlyFolder", Place::ReadOnlyFolder, 1.0f, WriteFailure::NoPermission},
                      Hostile{"ReadOnlyFile", Place::ReadOnlyFile, 1.0f, WriteFailure::NoPermission},
                      Hostile{"DiskFull", Place::DiskFull, 1.0f, WriteFailure::DiskFull},
                      Hostile{"WriteFailsMidway", Place::FailingWrites, 1.0f, WriteFailure::Other}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptFile, EachChoiceIsWrittenAsExactlyThreeBytesAndReadBack) {
    ASSERT_TRUE(put(path(), "3\r\nsomething much longer that must not survive\r\n"));
    for (int i = 0; i < 4; ++i) {
        BazovyKaraul = static_cast<float>(i);
        ASSERT_TRUE(Nastroyki_Zapis(place()).ok());
        ASSERT_TRUE(Nastroyki_Zapis(place()).ok());
        EXPECT_EQ(contentOf(path()), QByteArray::number(i) + "\r\n");
        BazovyKaraul = 0.0f;
        EXPECT_TRUE(Nastroyki_Chtenie(place()));
        EXPECT_EQ(BazovyKaraul, static_cast<float>(i));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{kOptFileName});
}

// A link to a regular file is followed: the link stays, its target takes the bytes. A file its
// owner could not read is saved readable, its other mode bits kept. Root reads anything, so the
// save runs as an ordinary user who owns the files.
TEST_F(OptFile, SaveFollowsALinkAndLeavesAFileItsOwnerCanRead) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    const QString target = dir.filePath(QStringLiteral("real/Opt.txt"));
    ASSERT_TRUE(put(target, "1\r\n") && QFile::link(target, path()));
    ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::WriteOwner | QFileDevice::WriteGroup));
    const uid_t nobody = 65534;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::getuid() == 0) {
            for (const QString& p : {dir.path(), dir.filePath(QStringLiteral("real")), target, path()}) {
                (void)::lchown(QFile::encodeName(p).constData(), nobody, nobody);
            }
            (void)(::setgid(nobody) + ::setuid(nobody));
        }
        BazovyKaraul = 2.0f;
        ::_exit(Nastroyki_Zapis(place()).ok() ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), target);
    struct stat saved {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 0777, 0620u);
    EXPECT_TRUE(Nastroyki_Chtenie(place()));
    EXPECT_EQ(BazovyKaraul, 2.0f);
}

// A write-protected program folder (a USB stick) still gives its setting; saving goes to the user's
// configuration folder, which from then on wins. Without a home folder there is nowhere to save.
TEST_F(OptFile, ReadOnlyProgramFolderReadsBesideTheProgramAndSavesToTheUsersFolder) {
    const QString program = dir.filePath(QStringLiteral("stick")),
                  home = dir.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(program) && QDir().mkpath(home) &&
                put(program + QStringLiteral("/Opt.txt"), "3\r\n"));
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_CONFIG_HOME");
    QCoreApplication::setApplicationName(QStringLiteral("sutograf-1.0")); // a renamed program
    const QString config = home + QStringLiteral("/.config/sutograf");
    {
        const NoRootOverride asOrdinaryUser;
        const SettingsPlace stick = SettingsPlace::forProgram(program);
        EXPECT_TRUE(Nastroyki_Chtenie(stick));
        EXPECT_EQ(BazovyKaraul, 3.0f);
        BazovyKaraul = 1.0f;
        EXPECT_TRUE(Nastroyki_Zapis(stick).ok());
        EXPECT_EQ(contentOf(config + QStringLiteral("/Opt.txt")), QByteArray("1\r\n"));
        EXPECT_EQ(contentOf(program + QStringLiteral("/Opt.txt")), QByteArray("3\r\n"));
        EXPECT_TRUE(Nastroyki_Chtenie(stick));
        EXPECT_EQ(BazovyKaraul, 1.0f);

        qunsetenv("HOME");
        const SettingsPlace homeless = SettingsPlace::forProgram(program);
        EXPECT_EQ(SettingsPlace::userConfigDir(), QString());
        EXPECT_EQ(Nastroyki_Zapis(homeless).failure, WriteFailure::NoPlace);
        EXPECT_TRUE(Nastroyki_Chtenie(homeless));
        EXPECT_EQ(BazovyKaraul, 3.0f);
    }
    qputenv("HOME", savedHome);
    if (!savedXdg.isNull()) {
        qputenv("XDG_CONFIG_HOME", savedXdg);
    }
    makeWritable(program);
}

} // namespace
} // namespace sutograf
