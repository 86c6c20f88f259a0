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

bool linksInACircle(const QString& path) {
    struct stat seen {};
    return ::stat(QFile::encodeName(path).constData(), &seen) != 0 && errno == ELOOP;
}

// Asked with the effective rights, as the write itself would be.
WriteFailure refusedRegularFile(const QString& path) {
    if (::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) != 0) {
        return lastFailure(QFileDevice::PermissionsError, path);
    }
    return WriteFailure::None;
}

} // namespace systemfiles

ReadResult readFile(const QString& path, qint64 maxBytes) {
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
    QByteArray bytes = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        return {{}, ReadFailure::Other};
    }
    return {std::move(bytes), ReadFailure::None};
}

} // namespace sutograf
