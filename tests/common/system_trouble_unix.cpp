// The troubles on Linux: mode bits, mknod, symlinks, a tmpfs, a file size limit, capabilities, fork(2).
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/system_trouble.h"

namespace trouble {
namespace {

std::string unless(bool done, const char* what) { return done ? std::string() : std::string(what); }

} // namespace

std::string makeReadOnly(const Path& p) { return unless(::chmod(p.c_str(), 0500) == 0, "chmod failed"); }

std::string makeUnreadable(const Path& p) { return unless(::chmod(p.c_str(), 0) == 0, "chmod failed"); }

std::string makeFifo(const Path& p) { return unless(::mkfifo(p.c_str(), 0644) == 0, "mkfifo failed"); }

std::string makeNullDevice(const Path& p) {
    return unless(::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0, "a device node needs root");
}

std::string makeLink(const Path& target, const Path& link) {
    return unless(::symlink(target.c_str(), link.c_str()) == 0, "symlink failed");
}

void makeWritable(const Path& p) { ::chmod(p.c_str(), 0700); }

void releaseFifoReader(const Path& p) { ::close(::open(p.c_str(), O_WRONLY | O_NONBLOCK)); }

std::string identityOf(const Path& p) {
    struct stat s {};
    if (::lstat(p.c_str(), &s) != 0) {
        return "nothing";
    }
    return std::to_string(s.st_ino) + " mode " + std::to_string(s.st_mode);
}

void makeStdoutBinary() {} // POSIX streams are binary already

Lasting smallDisk(const Path& dir, int kib) {
    const bool mounted =
        ::mount("tmpfs", dir.c_str(), "tmpfs", 0, ("size=" + std::to_string(kib) + "k").c_str()) == 0;
    if (!mounted) {
        return Lasting("a small disk needs the right to mount");
    }
    return Lasting({}, [dir] { ::umount2(dir.c_str(), MNT_DETACH); });
}

bool fillDisk(const Path& dir) {
    const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
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

// A file size limit of 0, with SIGXFSZ ignored: the write then fails with EFBIG instead of ending the
// process.
Lasting failingWrites() {
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit none{0, saved.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &none);
    return Lasting({}, [saved, oldHandler] {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
    });
}

// Root's CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH and CAP_FOWNER dropped from the effective set, and given
// back at the end.
Lasting noRootOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    std::array<__user_cap_data_struct, 2> saved{};
    if (syscall(SYS_capget, &header, saved.data()) != 0) {
        return Lasting({});
    }
    auto reduced = saved;
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
    if (syscall(SYS_capset, &header, reduced.data()) != 0) {
        return Lasting({});
    }
    return Lasting({}, [header, saved]() mutable { syscall(SYS_capset, &header, saved.data()); });
}

Lasting heldOpen(const Path&) {
    return Lasting("POSIX has no mandatory locks: a file another program holds open can still be replaced");
}

// The child writes each number to a pipe, and _exit()s at the end of its work: a copy of the test must
// neither run its other tests nor its exit handlers.
Child::Child(const std::function<void(const Report&)>& work) {
    int fds[2];
    if (::pipe(fds) != 0 || (pid_ = ::fork()) < 0) {
        why_ = "no pipe or no fork";
        return;
    }
    if (pid_ == 0) {
        ::close(fds[0]);
        work([out = fds[1]](std::int64_t n) {
            if (::write(out, &n, sizeof n) != sizeof n) {
                ::_exit(3);
            }
        });
        ::_exit(0);
    }
    ::close(fds[1]);
    in_ = fds[0];
}

Child::~Child() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
}

std::pair<std::vector<std::int64_t>, std::string> Child::wait(std::size_t killAfter) {
    std::vector<std::int64_t> reported;
    for (std::int64_t n = 0; ::read(in_, &n, sizeof n) == sizeof n;) {
        reported.push_back(n);
        if (reported.size() == killAfter) {
            ::kill(pid_, SIGKILL);
        }
    }
    ::close(std::exchange(in_, -1));
    int status = 0;
    ::waitpid(std::exchange(pid_, -1), &status, 0);
    return {reported, WIFSIGNALED(status) ? "killed" : "exit " + std::to_string(WEXITSTATUS(status))};
}

} // namespace trouble
