#include "settings_place.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace sutograf {

SettingsPlace::SettingsPlace(QString dir) : programDir_(dir), writeDir_(std::move(dir)) {}

SettingsPlace::SettingsPlace(QString programDir, QString writeDir)
    : programDir_(std::move(programDir)), writeDir_(std::move(writeDir)) {}

SettingsPlace SettingsPlace::forProgram(const QString& programDir) {
    // Trying is the only sure answer: permission bits, ACLs and read-only mounts all have their say.
    QTemporaryFile probe(QDir(programDir).filePath(QStringLiteral(".sutograf-XXXXXX")));
    if (probe.open()) {
        return SettingsPlace(programDir);
    }
    return SettingsPlace(programDir, userConfigDir());
}

QString SettingsPlace::readPath(const QString& fileName) const {
    if (!writeDir_.isEmpty() && writeDir_ != programDir_) {
        const QString written = QDir(writeDir_).filePath(fileName);
        if (QFileInfo::exists(written)) {
            return QDir::toNativeSeparators(written);
        }
    }
    return QDir::toNativeSeparators(QDir(programDir_).filePath(fileName));
}

QString SettingsPlace::writePath(const QString& fileName) const {
    return writeDir_.isEmpty() ? QString() : QDir::toNativeSeparators(QDir(writeDir_).filePath(fileName));
}

} // namespace sutograf
