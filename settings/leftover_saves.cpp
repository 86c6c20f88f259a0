#include "leftover_saves.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include "opt_file.h"
#include "settings_place.h"
#include "sutograf_ini.h"

namespace sutograf {
namespace {

constexpr qint64 kOldEnoughMs = 60 * 1000;

// QSaveFile's temporary name for target: "target.XXXXXX", the X being ASCII letters or digits.
bool isTemporaryOf(const QString& name, const QString& target) {
    constexpr qsizetype kRandom = 6;
    if (name.size() != target.size() + 1 + kRandom || !name.startsWith(target + QLatin1Char('.'))) {
        return false;
    }
    const QStringView random = QStringView(name).right(kRandom);
    return std::all_of(random.begin(), random.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
    });
}

} // namespace

QStringList removeLeftoverSaves(const SettingsPlace& place, const QDateTime& now) {
    const QString opt = place.writePath(kOptFileName);
    if (opt.isEmpty()) {
        return {};
    }
    // Listed without name patterns, which Qt would match with a compiled regular expression: this
    // runs at every start.
    const QStringList targets{kOptFileName, kIniFileName};
    QStringList removed;
    QDirIterator entries(QFileInfo(opt).absolutePath(),
                         QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    while (entries.hasNext()) {
        entries.next();
        const QFileInfo file = entries.fileInfo();
        const QString name = file.fileName();
        const bool ours = std::any_of(targets.begin(), targets.end(),
                                      [&name](const QString& t) { return isTemporaryOf(name, t); });
        if (ours && file.isFile() && !file.isSymLink() && file.lastModified().msecsTo(now) > kOldEnoughMs &&
            QFile::remove(file.absoluteFilePath())) {
            removed << name;
        }
    }
    return removed;
}

} // namespace sutograf
