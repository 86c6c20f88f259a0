#include "safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "safe_file_system.h"

namespace sutograf {

namespace systemfiles {

WriteFailure failureOfQtError(QFileDevice::FileError qtError) {
    switch (qtError) {
    case QFileDevice::ResourceError:
        return WriteFailure::DiskFull;
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return WriteFailure::NoPermission;
    default:
        return WriteFailure::Other;
    }
}

} // namespace systemfiles

namespace {

using systemfiles::clearFailure;
using systemfiles::lastFailure;

// What stands at path, a link followed to its end, if it must not be replaced: a folder, anything
// that is not a regular file (links in a circle included), or a file its owner has made read-only.
// Nothing at all is fine: a new file is made, also through a dangling link.
WriteFailure refusedTarget(const QString& path) {
    const QFileInfo target(path); // follows links
    if (!target.exists()) {
        // Links in a circle: the save would put a file in place of the link.
        return systemfiles::linksInACircle(path) ? WriteFailure::NotAFile : WriteFailure::None;
    }
    if (target.isDir()) {
        return WriteFailure::FolderInTheWay;
    }
    if (!target.isFile()) {
        return WriteFailure::NotAFile;
    }
    // The rename would replace a read-only file in a writable folder.
    return systemfiles::refusedRegularFile(path);
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    ReadResult read = readFile(path, maxBytes);
    return read.ok() ? std::optional<QByteArray>(std::move(read.bytes)) : std::nullopt;
}

QString failureText(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::None:
    case ReadFailure::Missing:
        return {};
    case ReadFailure::NoPermission:
        return QStringLiteral("нет права чтения этого файла или его папки");
    case ReadFailure::FolderInTheWay:
        return QStringLiteral("на месте файла стоит папка с тем же именем");
    case ReadFailure::NotAFile:
        return QStringLiteral("на месте файла стоит не обычный файл (устройство или канал)");
    case ReadFailure::BrokenLink:
        return QStringLiteral("это ссылка на файл, которого нет");
    case ReadFailure::LinkLoop:
        return QStringLiteral("ссылки на этот файл замкнуты в круг");
    case ReadFailure::InUse:
        return QStringLiteral("файл открыт в другой программе, которая не даёт его читать");
    case ReadFailure::Other:
        break;
    }
    return QStringLiteral("ошибка чтения с диска");
}

WriteResult writeFileSafely(const QString& path, const QByteArray& bytes, MissingFolders folders) {
    if (const WriteFailure refused = refusedTarget(path); refused != WriteFailure::None) {
        return {refused};
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (folders == MissingFolders::Refuse && !QFileInfo(folder).isDir()) {
        return {WriteFailure::NoFolder};
    }
    clearFailure();
    if (!QDir().mkpath(folder)) {
        return {lastFailure(QFileDevice::OpenError, path)};
    }
    QSaveFile file(path);
    // Called right after the failing step, while the system still tells its cause. Nothing is
    // renamed over the old file once a step has failed.
    const auto failed = [&file, &path] {
        const WriteResult result{lastFailure(file.error(), path)};
        file.cancelWriting();
        return result;
    };
    // Unbuffered, so that a failed write is seen here: a buffered one would fail only inside
    // commit(), and Qt would then rename the empty temporary file over the old one.
    clearFailure();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failed();
    }
    clearFailure();
    if (file.write(bytes) != bytes.size()) {
        return failed();
    }
    // The temporary file took the old file's mode; one its owner cannot read would lose the setting
    // at the next start.
    const auto mode = file.permissions();
    const auto ownerMayReadAndWrite = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if ((mode & ownerMayReadAndWrite) != ownerMayReadAndWrite &&
        !file.setPermissions(mode | ownerMayReadAndWrite)) {
        return failed();
    }
    clearFailure();
    if (!file.commit()) {
        return {lastFailure(file.error(), path)};
    }
    return {};
}

QString failureText(WriteFailure failure) {
    switch (failure) {
    case WriteFailure::None:
        return {};
    case WriteFailure::NoPlace:
        return QStringLiteral("папка программы защищена от записи, а домашней папки, где хранить настройки, "
                              "нет");
    case WriteFailure::NoFolder:
        return QStringLiteral("такой папки нет");
    case WriteFailure::NoPermission:
        return QStringLiteral("нет права записи в эту папку или в этот файл");
    case WriteFailure::ReadOnlyDisk:
        return QStringLiteral("диск защищён от записи");
    case WriteFailure::FolderInTheWay:
        return QStringLiteral("на месте файла стоит папка с тем же именем");
    case WriteFailure::NotAFile:
        return QStringLiteral("на месте файла стоит не обычный файл (устройство, канал или ссылка на них)");
    case WriteFailure::DiskFull:
        return QStringLiteral("на диске нет места");
    case WriteFailure::InUse:
        return QStringLiteral("файл открыт в другой программе; закройте его там и сохраните снова");
    case WriteFailure::Other:
        break;
    }
    return QStringLiteral("ошибка записи на диск");
}

} // namespace sutograf
