// The store's file on Windows: the wide names of the C runtime, and a move that never replaces what
// stands at the target.
#include <array>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "db_file.h"
#include "db_file_header.h"

namespace sutograf::dbfile {

namespace fs = std::filesystem;

std::optional<Header> readHeader(const fs::path& path) {
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        return std::nullopt;
    }
    std::array<unsigned char, 100> b{};
    const int got = ::_read(fd, b.data(), static_cast<unsigned>(b.size()));
    ::_close(fd);
    return got < 0 ? std::nullopt : std::optional(parseHeader(b, static_cast<std::size_t>(got)));
}

// Trying is the only sure answer on Windows: a folder's read-only attribute stops nothing, and its
// access list (C:\Program Files) is not what _waccess asks. A probe file that deletes itself on close.
bool canWriteFolder(const fs::path& folder) {
    const fs::path p = nearestExisting(folder);
    if (p.empty() || kindAt(p) != Kind::Folder) {
        return false;
    }
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const fs::path probe = p / (L".sutograf-probe-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(attempt));
        const HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    return false;
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

} // namespace sutograf::dbfile
