#include "safe_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sutograf {
namespace {

// The cause of the failure the last system call reported. Qt keeps only an English text of it, and
// only the number tells a full disk from a read-only one; it is read right after the failing call.
WriteFailure failureOf(int error, QFileDevice::FileError qtError) {
#ifdef Q_OS_UNIX
    switch (error) {
    case EACCES:
    case EPERM:
        return WriteFailure::NoPermission;
    case EROFS:
        return WriteFailure::ReadOnlyDisk;
    case ENOSPC:
    case EDQUOT:
        return WriteFailure::DiskFull;
    case EISDIR:
        return WriteFailure::FolderInTheWay;
    default:
        break;
    }
#else
    Q_UNUSED(error);
#endif
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

// What stands at path, a link followed to its end, if it must not be replaced: a folder, anything
// that is not a regular file (links in a circle included), or a file its owner has made read-only.
// Nothing at all is fine: a new file is made, also through a dangling link.
WriteFailure refusedTarget(const QString& path) {
    const QFileInfo target(path); // follows links
    if (!target.exists()) {
#ifdef Q_OS_UNIX
        // Links in a circle: the save would put a file in place of the link.
        struct stat seen {};
        if (::stat(QFile::encodeName(path).constData(), &seen) != 0 && errno == ELOOP) {
            return WriteFailure::NotAFile;
        }
#endif
        return WriteFailure::None;
    }
    if (target.isDir()) {
        return WriteFailure::FolderInTheWay;
    }
    if (!target.isFile()) {
        return WriteFailure::NotAFile;
    }
#ifdef Q_OS_UNIX
    // The rename would replace a read-only file in a writable folder; asked with the effective
    // rights, as the write itself would be.
    if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) != 0) {
        return failureOf(errno, QFileDevice::PermissionsError);
    }
#endif
    return WriteFailure::None;
}

} // namespace

ReadResult readFile(const QString& path, qint64 maxBytes) {
#ifdef Q_OS_UNIX
    // Judged before opening, so that nothing but a regular file is opened at all; O_NONBLOCK and the
    // second look at the open descriptor cover a file swapped for a FIFO in between.
    const QByteArray name = QFile::encodeName(path);
    struct stat seen {};
    if (::stat(name.constData(), &seen) != 0) {
        switch (errno) {
        case ENOENT:
            return {{},
                    ::lstat(name.constData(), &seen) == 0 ? ReadFailure::BrokenLink : ReadFailure::Missing};
        case ENOTDIR:
            return {{}, ReadFailure::Missing}; // a file stands where a folder of the path should
        case ELOOP:
            return {{}, ReadFailure::LinkLoop};
        case EACCES:
            return {{}, ReadFailure::NoPermission};
        default:
            return {{}, ReadFailure::Other};
        }
    }
    if (S_ISDIR(seen.st_mode)) {
        return {{}, ReadFailure::FolderInTheWay};
    }
    if (!S_ISREG(seen.st_mode)) {
        return {{}, ReadFailure::NotAFile};
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {{}, errno == EACCES || errno == EPERM ? ReadFailure::NoPermission : ReadFailure::Other};
    }
    QFile file;
    if (::fstat(fd, &seen) != 0 || !S_ISREG(seen.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {{}, ReadFailure::NotAFile};
    }
#else
    const QFileInfo info(path);
    if (!info.exists()) {
        return {{}, info.isSymLink() ? ReadFailure::BrokenLink : ReadFailure::Missing};
    }
    if (info.isDir()) {
        return {{}, ReadFailure::FolderInTheWay};
    }
    if (!info.isFile()) {
        return {{}, ReadFailure::NotAFile};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{},
                file.error() == QFileDevice::PermissionsError ? ReadFailure::NoPermission
                                                              : ReadFailure::Other};
    }
#endif
    QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return {{}, ReadFailure::Other};
    }
    return {std::move(bytes), ReadFailure::None};
}

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
    errno = 0;
    if (!QDir().mkpath(folder)) {
        return {failureOf(errno, QFileDevice::OpenError)};
    }
    QSaveFile file(path);
    // Called right after the failing step, while errno still tells its cause. Nothing is renamed
    // over the old file once a step has failed.
    const auto failed = [&file] {
        const WriteResult result{failureOf(errno, file.error())};
        file.cancelWriting();
        return result;
    };
    // Unbuffered, so that a failed write is seen here: a buffered one would fail only inside
    // commit(), and Qt would then rename the empty temporary file over the old one.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return failed();
    }
    errno = 0;
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
    errno = 0;
    if (!file.commit()) {
        return {failureOf(errno, file.error())};
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
    case WriteFailure::Other:
        break;
    }
    return QStringLiteral("ошибка записи на диск");
}

} // namespace sutograf
