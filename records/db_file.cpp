#include "db_file.h"

#include <array>
#include <cstring>
#include <system_error>

#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace sutograf::dbfile {

namespace fs = std::filesystem;

std::string utf8(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

Kind kindAt(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec); // follows links
    if (ec && st.type() != fs::file_type::not_found) {
        return Kind::Unreadable;
    }
    switch (st.type()) {
    case fs::file_type::not_found:
        return Kind::Missing;
    case fs::file_type::regular:
        return Kind::Regular;
    case fs::file_type::directory:
        return Kind::Folder;
    default:
        return Kind::Other;
    }
}

namespace {

std::uint32_t bigEndian(const unsigned char* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

Header parse(const std::array<unsigned char, 100>& b, std::size_t got) {
    static constexpr char kMagic[] = "SQLite format 3"; // with its terminating zero: 16 bytes
    Header h;
    h.sqlite = got == b.size() && std::memcmp(b.data(), kMagic, sizeof kMagic) == 0;
    if (h.sqlite) {
        h.userVersion = bigEndian(&b[60]);
        h.applicationId = bigEndian(&b[68]);
    }
    return h;
}

} // namespace

#ifdef _WIN32

std::optional<Header> readHeader(const fs::path& path) {
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        return std::nullopt;
    }
    std::array<unsigned char, 100> b{};
    const int got = ::_read(fd, b.data(), static_cast<unsigned>(b.size()));
    ::_close(fd);
    return got < 0 ? std::nullopt : std::optional(parse(b, static_cast<std::size_t>(got)));
}

bool canWriteFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path p = folder;
    while (!p.empty() && !fs::exists(p, ec)) {
        p = p.parent_path();
    }
    const DWORD attrs = ::GetFileAttributesW(p.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           ::_waccess(p.c_str(), 2) == 0;
}

bool canWriteFile(const fs::path& file) { return ::_waccess(file.c_str(), 2) == 0; }

bool syncFile(const fs::path& path) {
    const int fd = ::_wopen(path.c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::_commit(fd) == 0;
    return ::_close(fd) == 0 && ok;
}

Placed placeNew(const fs::path& from, const fs::path& to) {
    if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0) {
        return Placed::Done;
    }
    return ::GetLastError() == ERROR_ALREADY_EXISTS || ::GetLastError() == ERROR_FILE_EXISTS ? Placed::Taken
                                                                                             : Placed::Failed;
}

#else

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
    return got < 0 ? std::nullopt : std::optional(parse(b, static_cast<std::size_t>(got)));
}

bool canWriteFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path p = folder.empty() ? fs::path() : fs::absolute(folder, ec);
    while (!p.empty() && kindAt(p) == Kind::Missing && p != p.parent_path()) {
        p = p.parent_path();
    }
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

#endif

} // namespace sutograf::dbfile
