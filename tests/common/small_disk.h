#pragma once

// Failures of the disk itself, caused for real. SmallDisk mounts a tiny tmpfs and fills it, so the
// next write meets ENOSPC; it needs the right to mount (root, as in CI) and reports when it has
// none, so the test can skip. FailingWrites needs nothing: while it lives, any write that would make
// a file grow fails (a file size limit of 0), as a dying disk's would. Neither can be copied (their
// const members forbid assignment): a copy would undo the change twice.

#include <QFile>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>

class SmallDisk {
public:
    // Mounts over an existing folder, hiding what it holds until the disk goes.
    explicit SmallDisk(const QString& dir)
        : dir_(QFile::encodeName(dir)),
          mounted_(::mount("tmpfs", dir_.constData(), "tmpfs", 0, "size=16k") == 0) {}
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(dir_.constData(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }

    // Takes up every block left, with a file called "filler"; answers whether the disk is now full.
    bool fill() const {
        QFile filler(QFile::decodeName(dir_) + QStringLiteral("/filler"));
        (void)filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered); // else the first write fails
        while (filler.write(QByteArray(4096, 'x')) > 0) {
        }
        return filler.error() == QFileDevice::ResourceError;
    }

private:
    const QByteArray dir_;
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
