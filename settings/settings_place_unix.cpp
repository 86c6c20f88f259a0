#include <QDir>
#include <QStandardPaths>

#include "settings_place.h"

namespace sutograf {

QString SettingsPlace::userConfigDir() {
    // Without $HOME, Qt answers the file system root for the home folder; nothing of ours goes there.
    const bool hasHome = QDir::homePath() != QDir::rootPath();
    if (!hasHome && !QDir::isAbsolutePath(qEnvironmentVariable("XDG_CONFIG_HOME"))) {
        return {};
    }
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("sutograf"));
}

} // namespace sutograf
