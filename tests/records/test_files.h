#pragma once

// What the records tests share: a folder of their own, a file's bytes, SQLite's own shell for
// looking at a file independently of the store, and the days of a watch's duties.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "date.h"
#include "rota.h"

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        std::string name = (fs::temp_directory_path() / "sutograf-records-XXXXXX").string();
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

inline bool put(const fs::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

inline bool haveSqliteShell() { return fs::exists("/usr/bin/sqlite3"); }

// What the sqlite3 shell prints for one statement on the file, or nullopt when it fails.
inline std::optional<std::string> shell(const fs::path& db, const std::string& sql) {
    const std::string command = "/usr/bin/sqlite3 -batch '" + db.string() + "' \"" + sql + "\" 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return std::nullopt;
    }
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) {
        out.append(buf, n);
    }
    return ::pclose(pipe) == 0 ? std::optional(out) : std::nullopt;
}

// The first day on or after `from` on which watch w is on duty (offset 0).
inline sutograf::Date dutyOf(int w, sutograf::Date from) {
    while (sutograf::watchOn(from, 0) != w) {
        ++from.serial;
    }
    return from;
}
