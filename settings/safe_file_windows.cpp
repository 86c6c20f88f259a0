// The safe writer on Windows: causes from GetLastError() (Windows does not set errno), with a second
// look at the volume and the file where the code alone does not tell; the read-only attribute; files
// read only when the system calls them disk files.
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <string>
#include <windows.h>

#include "safe_file_system.h"

namespace sutograf {
namespace systemfiles {
namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which MinGW-w64's headers lack.
constexpr DWORD kDiskQuotaExceeded = 1295;

std::wstring nativeName(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

WriteFailure failureOfCode(DWORD code) {
    switch (code) {
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return WriteFailure::NoPermission;
    case ERROR_WRITE_PROTECT:
        return WriteFailure::ReadOnlyDisk;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
        return WriteFailure::DiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return WriteFailure::InUse;
    default:
        return WriteFailure::None;
    }
}

// Another program holds the file open without letting others delete it (an editor, a spreadsheet):
// replacing it fails, and Windows reports that as a sharing violation or as plain access denied.
bool heldOpenElsewhere(const QString& path) {
    const HANDLE h = ::CreateFileW(nativeName(path).c_str(), DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return false;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// The volume holding the folder of path, asked directly: a write-protected stick, or no space left.
WriteFailure volumeFailure(const QString& path) {
    const std::wstring folder = nativeName(QFileInfo(path).absolutePath()) + L'\\';
    wchar_t root[MAX_PATH + 1] = {};
    if (!::GetVolumePathNameW(folder.c_str(), root, MAX_PATH)) {
        return WriteFailure::None;
    }
    DWORD flags = 0;
    if (::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
        (flags & FILE_READ_ONLY_VOLUME) != 0) {
        return WriteFailure::ReadOnlyDisk;
    }
    ULARGE_INTEGER freeToUser{};
    if (::GetDiskFreeSpaceExW(root, &freeToUser, nullptr, nullptr) && freeToUser.QuadPart == 0) {
        return WriteFailure::DiskFull;
    }
    return WriteFailure::None;
}

ReadFailure readFailureOfCode(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ReadFailure::Missing;
    case ERROR_ACCESS_DENIED:
        return ReadFailure::NoPermission;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return ReadFailure::InUse;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ReadFailure::LinkLoop;
    default:
        return ReadFailure::Other;
    }
}

} // namespace

// Opening follows links, which asking for attributes does not.
bool linksInACircle(const QString& path) {
    const HANDLE h =
        ::CreateFileW(nativeName(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        ::CloseHandle(h);
        return false;
    }
    return ::GetLastError() == ERROR_CANT_RESOLVE_FILENAME;
}

void clearFailure() { ::SetLastError(ERROR_SUCCESS); }

WriteFailure lastFailure(QFileDevice::FileError qtError, const QString& path) {
    // Read first: the second looks below make calls of their own.
    const WriteFailure byCode = failureOfCode(::GetLastError());
    if (byCode != WriteFailure::None && byCode != WriteFailure::NoPermission) {
        return byCode;
    }
    if (heldOpenElsewhere(path)) {
        return WriteFailure::InUse;
    }
    if (const WriteFailure volume = volumeFailure(path); volume != WriteFailure::None) {
        return volume;
    }
    return byCode != WriteFailure::None ? byCode : failureOfQtError(qtError);
}

WriteFailure refusedRegularFile(const QString& path) {
    const DWORD attributes = ::GetFileAttributesW(nativeName(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return WriteFailure::NoPermission;
    }
    return WriteFailure::None;
}

} // namespace systemfiles

ReadResult readFile(const QString& path, qint64 maxBytes) {
    // Judged before opening: a folder cannot be opened as a file (Windows then says "access denied",
    // which would be the wrong reason). The attributes are those of a link itself, not of its target.
    const std::wstring name = systemfiles::nativeName(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return {{}, systemfiles::readFailureOfCode(::GetLastError())};
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return {{}, ReadFailure::FolderInTheWay};
    }
    // A pipe or a device is opened but then refused by its type before anything is read from it.
    // Others may go on writing and replacing the file meanwhile.
    const HANDLE h =
        ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const ReadFailure failure = systemfiles::readFailureOfCode(::GetLastError());
        // The attributes were the link's own: it leads to nothing.
        const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        return {{}, link && failure == ReadFailure::Missing ? ReadFailure::BrokenLink : failure};
    }
    ReadResult read;
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        read.failure = ReadFailure::NotAFile;
    }
    char chunk[4096];
    DWORD got = 0;
    while (read.ok() && read.bytes.size() < maxBytes) {
        const DWORD wanted = static_cast<DWORD>(std::min<qint64>(sizeof chunk, maxBytes - read.bytes.size()));
        if (!::ReadFile(h, chunk, wanted, &got, nullptr)) {
            read = {{}, ReadFailure::Other};
        } else if (got == 0) {
            break;
        } else {
            read.bytes.append(chunk, got);
        }
    }
    ::CloseHandle(h);
    return read;
}

} // namespace sutograf
