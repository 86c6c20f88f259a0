#pragma once

// Failures of the disk itself, caused for real. SmallDisk mounts a tiny tmpfs and fills it, so the
// next write meets ENOSPC; it needs the right to mount (root, as in CI) and reports when it has
// none, so the test can skip. FailingWrites needs nothing: while it lives, any write that would make
// a file grow fails (a file size limit of 0), as a dying disk's would. Neither can be copied (their
// const members forbid assignment): a copy would undo the change twice.

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#ifdef QT_CORE_LIB
#include <QFile>
#include <QString>
#endif

class SmallDisk {
public:
    // Mounts over an existing folder, hiding what it holds until the disk goes. kib: its size.
    explicit SmallDisk(const std::filesystem::path& dir, int kib = 16)
        : dir_(dir.string()), mounted_(::mount("tmpfs", dir_.c_str(), "tmpfs", 0,
                                               ("size=" + std::to_string(kib) + "k").c_str()) == 0) {}
#ifdef QT_CORE_LIB
    explicit SmallDisk(const QString& dir)
        : SmallDisk(std::filesystem::path(QFile::encodeName(dir).toStdString())) {}
#endif
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(dir_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }

    // Takes up every block left, with a file called "filler"; answers whether the disk is now full.
    bool fill() const {
        const int fd = ::open((dir_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) {
            return false;
        }
        const std::string block(4096, 'x');
        ssize_t written = 0;
        while ((written = ::write(fd, block.data(), block.size())) > 0) {
        }
        const bool full = written < 0 && errno == ENOSPC;
        ::close(fd);
        return full;
    }

private:
    const std::string dir_;
    const bool mounted_;
};

class FailingWrites {
public:
    // SIGXFSZ ignored: the write then fails with EFBIG instead of ending the process.
    FailingWrites() : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit none{0, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FailingWrites() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FailingWrites(const FailingWrites&) = delete;

private:
    rlimit saved_{};
    void (*const oldHandler_)(int);
};
