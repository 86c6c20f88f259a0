// The troubles on Linux: mode bits, mknod, symlinks, a tmpfs, a file size limit, capabilities.
#include <QFile>

#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "common/no_root_override.h"
#include "common/small_disk.h"
#include "system_trouble.h"

namespace trouble {
namespace {

QByteArray name(const QString& path) { return QFile::encodeName(path); }

QString unless(bool done, const char* what) { return done ? QString() : QString::fromUtf8(what); }

} // namespace

QString makeReadOnly(const QString& path) {
    return unless(::chmod(name(path).constData(), 0500) == 0, "chmod failed");
}

QString makeUnreadable(const QString& path) {
    return unless(::chmod(name(path).constData(), 0) == 0, "chmod failed");
}

QString makeFifo(const QString& path) {
    return unless(::mkfifo(name(path).constData(), 0644) == 0, "mkfifo failed");
}

QString makeNullDevice(const QString& path) {
    return unless(::mknod(name(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0,
                  "a device node needs root");
}

QString makeLink(const QString& target, const QString& link) {
    return unless(::symlink(name(target).constData(), name(link).constData()) == 0, "symlink failed");
}

void makeWritable(const QString& path) { ::chmod(name(path).constData(), 0700); }

void releaseFifoReader(const QString& path) {
    ::close(::open(name(path).constData(), O_WRONLY | O_NONBLOCK));
}

std::string identityOf(const QString& path) {
    struct stat s {};
    if (::lstat(name(path).constData(), &s) != 0) {
        return "nothing";
    }
    return std::to_string(s.st_ino) + " mode " + std::to_string(s.st_mode);
}

struct SmallDisk::State {
    ::SmallDisk disk;
};

SmallDisk::SmallDisk(const QString& dir) : state_(new State{::SmallDisk(dir)}) {
    why_ = unless(state_->disk.mounted(), "a small disk needs the right to mount");
}
SmallDisk::~SmallDisk() = default;
bool SmallDisk::fill() { return made() && state_->disk.fill(); }

struct FailingWrites::State {
    ::FailingWrites limit;
};
FailingWrites::FailingWrites() : state_(new State) {}
FailingWrites::~FailingWrites() = default;

struct NoRootOverride::State {
    ::NoRootOverride dropped;
};
NoRootOverride::NoRootOverride() : state_(new State) {}
NoRootOverride::~NoRootOverride() = default;

struct HeldOpen::State {};
HeldOpen::HeldOpen(const QString& /*path*/) {
    why_ = QStringLiteral(
        "POSIX has no mandatory locks: a file another program holds open can still be replaced");
}
HeldOpen::~HeldOpen() = default;

} // namespace trouble
