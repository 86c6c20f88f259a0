#pragma once

// What the records tests share beyond the files of tests/common: SQLite's own shell for looking at a
// file independently of the store, and the days of a watch's duties.

#include <cstdlib>
#include <random>

#include "common/files.h"
#include "date.h"
#include "rota.h"

// Debian's sqlite3 shell. On Windows the path has no drive, so it names no program there.
inline const fs::path kSqliteShell = "/usr/bin/sqlite3";
inline bool haveSqliteShell() { return kSqliteShell.is_absolute() && fs::exists(kSqliteShell); }

// What the sqlite3 shell prints for one statement on the file, or nullopt when it fails.
inline std::optional<std::string> shell(const fs::path& db, const std::string& sql) {
    const fs::path out =
        fs::temp_directory_path() / ("sutograf-shell-" + std::to_string(std::random_device()()));
    const std::string command =
        kSqliteShell.string() + " -batch '" + db.string() + "' \"" + sql + "\" >'" + out.string() + "' 2>&1";
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
