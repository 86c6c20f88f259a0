// The settings files where only Windows puts them.
#include <QDir>

#include "settings/files_fixture.h"

namespace sutograf {
namespace {

using namespace Qt::StringLiterals;

// A program folder that cannot be written (here: one that is gone) saves to %APPDATA%\sutograf, the
// roaming profile that follows the user from PC to PC, not to %LOCALAPPDATA%; a writable one keeps
// the settings beside the program.
TEST_F(Files, UnwritableProgramFolderSavesToTheRoamingProfile) {
    const QString appData = qEnvironmentVariable("APPDATA");
    ASSERT_FALSE(appData.isEmpty());
    const QString expected = QDir::toNativeSeparators(QDir(appData).filePath(u"sutograf/Opt.txt"_s));
    const QString saved = SettingsPlace::forProgram(dir.filePath(u"gone"_s)).writePath(kOptFileName);
    EXPECT_EQ(saved.compare(expected, Qt::CaseInsensitive), 0) << saved.toStdString();
    EXPECT_EQ(SettingsPlace::forProgram(dir.path()).writePath(kOptFileName),
              QDir::toNativeSeparators(path()));
}

} // namespace
} // namespace sutograf
