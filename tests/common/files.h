#pragma once

// What the tests of files share: a folder of their own, a file's bytes, everything a folder holds, and
// the hostile things that can stand where a file should be.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Removed with all it holds, made writable again first.
class TempFolder {
public:
    TempFolder() {
        std::string name = (fs::temp_directory_path() / "sutograf-test-XXXXXX").string();
        path_ = ::mkdtemp(name.data()) != nullptr ? fs::path(name) : fs::path();
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const char* name) const { return path_ / name; }

private:
    fs::path path_;
};

inline std::optional<std::string> bytesOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool put(const fs::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

// Everything in the folder, by name: kind, mode and inode, the bytes of a file, the target of a link.
inline std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::directory_iterator(folder)) {
        struct stat s {};
        ::lstat(e.path().c_str(), &s);
        std::string what = std::to_string(s.st_mode) + ' ' + std::to_string(s.st_ino) + ' ';
        if (S_ISREG(s.st_mode)) {
            what += bytesOf(e.path()).value_or("<unreadable>");
        } else if (S_ISLNK(s.st_mode)) {
            what += fs::read_symlink(e.path()).string();
        }
        all[e.path().filename().string()] = what;
    }
    return all;
}

// What can stand where a file should be. A link's target goes beside it, its name with ".target".
enum class Thing { Nothing, Folder, Fifo, LinkToFifo, LinkToDevice, ModeZero, LinkLoop, BrokenLink };

// False when it cannot be made here: a device node needs root. The device is our own null device, so
// that a fault cannot take the system's with it.
inline bool make(Thing t, const fs::path& where) {
    const std::string at = where.string(), target = at + ".target";
    switch (t) {
    case Thing::Nothing:
        return true;
    case Thing::Folder:
        return ::mkdir(at.c_str(), 0755) == 0;
    case Thing::Fifo:
        return ::mkfifo(at.c_str(), 0644) == 0;
    case Thing::LinkToFifo:
        return ::mkfifo(target.c_str(), 0644) == 0 && ::symlink(target.c_str(), at.c_str()) == 0;
    case Thing::LinkToDevice:
        return ::mknod(target.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
               ::symlink(target.c_str(), at.c_str()) == 0;
    case Thing::ModeZero:
        return put(where, "") && ::chmod(at.c_str(), 0) == 0;
    case Thing::LinkLoop:
        return ::symlink(at.c_str(), at.c_str()) == 0;
    case Thing::BrokenLink:
        return ::symlink("gone", at.c_str()) == 0;
    }
    return false;
}
