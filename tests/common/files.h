#pragma once

// What the tests of files share, on every system: a folder of their own, a file's bytes, everything a
// folder holds, and the hostile things that can stand where a file should be. What only some systems
// can make, common/system_trouble.h makes or says why not.

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "common/system_trouble.h"

namespace fs = std::filesystem;

// In a GoogleTest test: skips it, saying why, unless `why` (what a maker of trouble answered) is empty.
#define SKIP_UNLESS_MADE(why)                                                                                \
    if (const std::string why_ = (why); !why_.empty())                                                       \
    GTEST_SKIP() << "cannot make it here: " << why_

// A folder no other test has (made, not merely named), removed with all it holds, made writable again
// first.
class TempFolder {
public:
    TempFolder() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const fs::path p = fs::temp_directory_path() / ("sutograf-test-" + std::to_string(random()));
            if (std::error_code ec; fs::create_directory(p, ec)) {
                path_ = p;
            }
        }
    }
    ~TempFolder() {
        std::error_code ec;
        trouble::makeWritable(path_);
        for (auto i = fs::recursive_directory_iterator(path_, ec); !ec && i != fs::end(i); i.increment(ec)) {
            trouble::makeWritable(i->path());
        }
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

// Everything in the folder, by name: what stands there (kind, identity, mode), the bytes of a file, the
// target of a link.
inline std::map<std::string, std::string> snapshot(const fs::path& folder) {
    std::map<std::string, std::string> all;
    for (const auto& e : fs::directory_iterator(folder)) {
        std::string what = trouble::identityOf(e.path()) + ' ';
        if (e.is_symlink()) {
            what += fs::read_symlink(e.path()).string();
        } else if (e.is_regular_file()) {
            what += bytesOf(e.path()).value_or("<unreadable>");
        }
        all[e.path().filename().string()] = what;
    }
    return all;
}

// What can stand where a file should be. A link's target goes beside it, its name with ".target".
enum class Thing { Nothing, Folder, Fifo, LinkToFifo, LinkToDevice, ModeZero, LinkLoop, BrokenLink };

// Puts the thing there; answers why it cannot be made here, or nothing when done. The device is our
// own null device, so that a fault cannot take the system's with it.
inline std::string make(Thing t, const fs::path& where) {
    fs::path target = where;
    target += ".target";
    std::string why;
    switch (t) {
    case Thing::Nothing:
        return {};
    case Thing::Folder:
        return fs::create_directory(where) ? "" : "cannot make a folder";
    case Thing::Fifo:
        return trouble::makeFifo(where);
    case Thing::LinkToFifo:
        why = trouble::makeFifo(target);
        return why.empty() ? trouble::makeLink(target, where) : why;
    case Thing::LinkToDevice:
        why = trouble::makeNullDevice(target);
        return why.empty() ? trouble::makeLink(target, where) : why;
    case Thing::ModeZero:
        return put(where, "") ? trouble::makeUnreadable(where) : "cannot write the file";
    case Thing::LinkLoop:
        return trouble::makeLink(where, where);
    case Thing::BrokenLink:
        return trouble::makeLink("gone", where);
    }
    return "no such thing";
}
