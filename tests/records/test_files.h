#pragma once

// What the records tests share beyond the files of tests/common: SQLite's own shell for looking at a
// file independently of the store, and the days of a watch's duties.

#include <cstdio>
#include <optional>
#include <string>

#include "common/files.h"
#include "date.h"
#include "rota.h"

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
