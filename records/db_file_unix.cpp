// The store's file on POSIX systems: open(2) without blocking, access(2) with the effective rights,
// fsync(2), and a hard link that never replaces what stands at the target.
#include <array>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "db_file.h"
#include "db_file_header.h"

namespace sutograf::dbfile {

namespace fs = std::filesystem;

std::optional<Header> readHeader(const fs::path& path) {
    // O_NONBLOCK and the look at the open descriptor: a file swapped for a FIFO after the caller's
    // check must not hang the program.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat st {};
    std::array<unsigned char, 100> b{};
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        got = ::pread(fd, b.data(), b.size(), 0);
    }
    ::close(fd);
    return got < 0 ? std::nullopt : std::optional(parseHeader(b, static_cast<std::size_t>(got)));
}

bool canWriteFolder(const fs::path& folder) {
    const fs::path p = nearestExisting(folder);
    // Asked with the effective rights, as the writes themselves will be; a read-only disk answers EROFS.
    return !p.empty() && kindAt(p) == Kind::Folder &&
           ::faccessat(AT_FDCWD, p.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool canWriteFile(const fs::path& file) { return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0; }

namespace {

bool syncPath(const fs::path& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace

bool syncFile(const fs::path& path) { return syncPath(path, O_RDONLY); }

Placed placeNew(const fs::path& from, const fs::path& to) {
    // A hard link is made only where nothing stands, so two programs making the file at once cannot
    // replace each other's (a rename would). Disks without hard links (FAT) take a rename after a look.
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) {
            return Placed::Taken;
        }
        if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP && errno != EMLINK) {
            return Placed::Failed;
        }
        if (kindAt(to) != Kind::Missing) {
            return Placed::Taken;
        }
        if (::rename(from.c_str(), to.c_str()) != 0) {
            return Placed::Failed;
        }
    } else {
        ::unlink(from.c_str());
    }
    syncPath(to.parent_path().empty() ? fs::path(".") : to.parent_path(), O_RDONLY | O_DIRECTORY);
    return Placed::Done;
}

} // namespace sutograf::dbfile
