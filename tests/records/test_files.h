#pragma once

// What the records tests share: a folder of their own, a file's bytes, SQLite's own shell for
// looking at a file independently of the store, and the days of a watch's duties.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>

#include "date.h"
#include "rota.h"

namespace fs = std::filesystem;

class TempFolder {
public:
    // A name no other folder has: made, not merely chosen, so that two tests cannot share it.
    TempFolder() {
        std::random_device random;
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const fs::path p = fs::temp_directory_path() / ("sutograf-records-" + std::to_string(random()));
            std::error_code ec;
            if (fs::create_directory(p, ec)) {
                path_ = p;
            }
        }
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

inline bool put(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

inline bool haveSqliteShell() { return fs::exists("/usr/bin/sqlite3"); }

// What the sqlite3 shell prints for one statement on the file, or nullopt when it fails. Through
// std::system and a file, which every system has.
inline std::optional<std::string> shell(const fs::path& db, const std::string& sql) {
    const fs::path out =
        fs::temp_directory_path() / ("sutograf-shell-" + std::to_string(std::random_device()()));
    const std::string command =
        "/usr/bin/sqlite3 -batch '" + db.string() + "' \"" + sql + "\" >'" + out.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    const auto printed = bytesOf(out);
    std::error_code ec;
    fs::remove(out, ec);
    return status == 0 ? printed : std::nullopt;
}

// The first day on or after `from` on which watch w is on duty (offset 0).
inline sutograf::Date dutyOf(int w, sutograf::Date from) {
    while (sutograf::watchOn(from, 0) != w) {
        ++from.serial;
    }
    return from;
}
