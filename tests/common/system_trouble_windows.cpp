// The troubles on Windows: the read-only attribute, and a file held open. Windows has no FIFOs or
// device nodes in its file system, no mount of a tiny disk without a driver, no file size limit, no
// root, and no copy of a running process.
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "common/system_trouble.h"

namespace trouble {
namespace {

DWORD attributesOf(const Path& p) { return ::GetFileAttributesW(p.c_str()); }

} // namespace

std::string makeReadOnly(const Path& p) {
    const DWORD attributes = attributesOf(p);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return "nothing there";
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return "Windows has no read-only folders: the attribute on a folder does not stop new files";
    }
    return ::SetFileAttributesW(p.c_str(), attributes | FILE_ATTRIBUTE_READONLY) ? ""
                                                                                 : "SetFileAttributes failed";
}

std::string makeUnreadable(const Path&) {
    return "Windows keeps who may read a file in its access list, which these tests leave alone";
}

std::string makeFifo(const Path&) { return "Windows has no FIFOs in its file system"; }

std::string makeNullDevice(const Path&) { return "Windows has no device nodes in its file system"; }

std::string makeLink(const Path&, const Path&) {
    return "a symbolic link on Windows needs a privilege ordinary users lack";
}

void makeWritable(const Path& p) {
    const DWORD attributes = attributesOf(p);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetFileAttributesW(p.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

void releaseFifoReader(const Path&) {}

// The file index changes when a file is replaced, even by one of the same name and content.
std::string identityOf(const Path& p) {
    const HANDLE h =
        ::CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return "nothing";
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    return !known ? "unknown"
                  : std::to_string(info.nFileIndexHigh) + ":" + std::to_string(info.nFileIndexLow) +
                        " attributes " + std::to_string(info.dwFileAttributes);
}

void makeStdoutBinary() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

Lasting smallDisk(const Path&, int) { return Lasting("Windows cannot mount a tiny disk without a driver"); }

bool fillDisk(const Path&) { return false; }

Lasting failingWrites() { return Lasting("Windows has no file size limit to make writes fail"); }

// The read-only attribute stops administrators too: there is nothing to drop.
Lasting noRootOverride() { return Lasting({}); }

// Windows checks the sharing of a file against every handle open on it, whichever process holds it: a
// handle of this process that lets others only read stands for the other program.
Lasting heldOpen(const Path& file) {
    const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return Lasting("cannot open the file to hold it: error " + std::to_string(::GetLastError()));
    }
    return Lasting({}, [h] { ::CloseHandle(h); });
}

Child::Child(const std::function<void(const Report&)>&)
    : why_("Windows cannot run a copy of a running process (it has no fork)") {}
Child::~Child() = default;
std::pair<std::vector<std::int64_t>, std::string> Child::wait(std::size_t) { return {{}, "never started"}; }

} // namespace trouble
