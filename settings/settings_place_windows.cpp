#include <QDir>

#include <shlobj.h>
#include <windows.h>

#include "settings_place.h"

namespace sutograf {

// %APPDATA%\sutograf. Qt's standard locations give the local, not the roaming, application data for
// configuration, and append the application's name as the program has set it; the known folder is
// asked for directly instead, the way Qt itself asks.
QString SettingsPlace::userConfigDir() {
    PWSTR roaming = nullptr;
    QString base;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DONT_VERIFY, nullptr, &roaming))) {
        base = QDir::fromNativeSeparators(QString::fromWCharArray(roaming));
    }
    ::CoTaskMemFree(roaming);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("sutograf"));
}

} // namespace sutograf
