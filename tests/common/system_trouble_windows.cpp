// The troubles on Windows: the read-only attribute, and a file held open by another process (the
// helper program hold_file.exe beside the test program). Windows has no FIFOs or device nodes in
// its file system, no mount of a tiny disk without a driver, no file size limit, and no root.
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <windows.h>

#include "system_trouble.h"

namespace trouble {
namespace {

std::wstring nativeName(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

QString programDir() {
    wchar_t buffer[MAX_PATH * 4] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    return QFileInfo(QString::fromWCharArray(buffer, static_cast<int>(n))).absolutePath();
}

} // namespace

QString makeReadOnly(const QString& path) {
    const std::wstring native = nativeName(path);
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return QStringLiteral("nothing there");
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return QStringLiteral(
            "Windows has no read-only folders: the attribute on a folder does not stop new files");
    }
    return ::SetFileAttributesW(native.c_str(), attributes | FILE_ATTRIBUTE_READONLY)
               ? QString()
               : QStringLiteral("SetFileAttributes failed");
}

QString makeUnreadable(const QString&) {
    return QStringLiteral(
        "Windows keeps who may read a file in its access list, which these tests leave alone");
}

QString makeFifo(const QString&) { return QStringLiteral("Windows has no FIFOs in its file system"); }

QString makeNullDevice(const QString&) {
    return QStringLiteral("Windows has no device nodes in its file system");
}

QString makeLink(const QString&, const QString&) {
    return QStringLiteral("a symbolic link on Windows needs a privilege ordinary users lack");
}

void makeWritable(const QString& path) {
    const std::wstring native = nativeName(path);
    const DWORD attributes = ::GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetFileAttributesW(native.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

void releaseFifoReader(const QString&) {}

// The file index changes when a file is replaced, even by one of the same name and content.
std::string identityOf(const QString& path) {
    const std::wstring native = nativeName(path);
    const HANDLE h =
        ::CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return "nothing";
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    if (!known) {
        return "unknown";
    }
    return std::to_string(info.nFileIndexHigh) + ":" + std::to_string(info.nFileIndexLow) + " attributes " +
           std::to_string(info.dwFileAttributes);
}

struct SmallDisk::State {};
SmallDisk::SmallDisk(const QString&) {
    why_ = QStringLiteral("Windows cannot mount a tiny disk without a driver");
}
SmallDisk::~SmallDisk() = default;
bool SmallDisk::fill() { return false; }

struct FailingWrites::State {};
FailingWrites::FailingWrites() {
    why_ = QStringLiteral("Windows has no file size limit to make writes fail");
}
FailingWrites::~FailingWrites() = default;

// The read-only attribute stops administrators too: there is nothing to drop.
struct NoRootOverride::State {};
NoRootOverride::NoRootOverride() = default;
NoRootOverride::~NoRootOverride() = default;

struct HeldOpen::State {
    QProcess holder;
};

HeldOpen::HeldOpen(const QString& path) : state_(new State) {
    QProcess& p = state_->holder;
    p.start(QDir(programDir()).filePath(QStringLiteral("hold_file.exe")), {QDir::toNativeSeparators(path)});
    if (!p.waitForStarted(10000)) {
        why_ = QStringLiteral("hold_file.exe did not start: ") + p.errorString();
    } else if (!p.waitForReadyRead(10000) || !p.readAllStandardOutput().startsWith("held")) {
        why_ = QStringLiteral("hold_file.exe could not open the file: ") +
               QString::fromLocal8Bit(p.readAllStandardError());
    }
}

// Its standard input closed, the holder lets go and ends.
HeldOpen::~HeldOpen() {
    QProcess& p = state_->holder;
    p.closeWriteChannel();
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished(10000);
    }
}

} // namespace trouble
