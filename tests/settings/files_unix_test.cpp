// The settings files where only POSIX systems can put them: behind a link, with mode bits, under
// $HOME and $XDG_CONFIG_HOME.
#include <QCoreApplication>
#include <QDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bazovy_karaul.h"
#include "settings/files_fixture.h"

namespace sutograf {
namespace {

using namespace Qt::StringLiterals;

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
    ASSERT_TRUE(QDir().mkdir(home) && put(path(), "3\r\n") && trouble::makeReadOnly(dir.path()).isEmpty());
    const QByteArray savedHome = qgetenv("HOME"), savedXdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", ""); // as good as unset
    QCoreApplication::setApplicationName(u"sutograf-1.0"_s);
    const trouble::NoRootOverride asOrdinaryUser;
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

} // namespace
} // namespace sutograf
