// The safe writer on POSIX systems: causes from errno, rights asked with access(2), and files read
// only when stat(2) calls them regular.
#include <QFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "safe_file_system.h"

namespace sutograf {

namespace systemfiles {

void clearFailure() { errno = 0; }

// Qt keeps only an English text of the cause, and only errno tells a full disk from a read-only one.
WriteFailure lastFailure(QFileDevice::FileError qtError, const QString& /*path*/) {
    switch (errno) {
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
        return failureOfQtError(qtError);
    }
}

// Asked with the effective rights, as the write itself would be.
WriteFailure refusedRegularFile(const QString& path) {
    if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) != 0) {
        return lastFailure(QFileDevice::PermissionsError, path);
    }
    return WriteFailure::None;
}

} // namespace systemfiles

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes) {
    // Judged before opening, so that nothing but a regular file is opened at all; O_NONBLOCK and the
    // second look at the open descriptor cover a file swapped for a FIFO in between.
    const QByteArray name = QFile::encodeName(path);
    struct stat seen {};
    if (::stat(name.constData(), &seen) != 0 || !S_ISREG(seen.st_mode)) {
        return std::nullopt;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    QFile file;
    if (::fstat(fd, &seen) != 0 || !S_ISREG(seen.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace sutograf
