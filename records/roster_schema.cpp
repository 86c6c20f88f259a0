#include "roster_schema.h"

#include "db_file.h"

#include <sqlite3.h>

#include <string>
#include <system_error>

namespace sutograf {

namespace {

// A date column: ISO text that SQLite itself reads as the same day, within the years 100-9999.
#define SUTOGRAF_DAY(c) "TEXT NOT NULL CHECK (date(" c ") IS " c " AND " c " >= '0100-01-01')"

// Dates are ISO text and absences carry the timesheet's letters (T-13), so that the file reads well in
// any SQLite tool; the checks keep such a tool from writing what this program would refuse.
constexpr const char* kSchema = R"sql(
CREATE TABLE people (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL CHECK (trim(name) <> ''),
    personnel_number TEXT NOT NULL DEFAULT '',
    weekly_hours INTEGER NOT NULL DEFAULT 40 CHECK (weekly_hours IN (40, 36))
);
CREATE TABLE watch_spells (
    person INTEGER NOT NULL REFERENCES people (id) ON DELETE CASCADE,
    from_day )sql" SUTOGRAF_DAY("from_day") R"sql(,
    watch INTEGER NOT NULL CHECK (watch BETWEEN 0 AND 4),
    PRIMARY KEY (person, from_day)
) WITHOUT ROWID;
CREATE TABLE absences (
    id INTEGER PRIMARY KEY,
    person INTEGER NOT NULL REFERENCES people (id) ON DELETE CASCADE,
    first_day )sql" SUTOGRAF_DAY("first_day") R"sql(,
    last_day )sql" SUTOGRAF_DAY("last_day") R"sql(,
    code TEXT NOT NULL CHECK (code IN ('ОТ', 'ОД', 'У', 'ДО', 'Б', 'К', 'ПК', 'Г', 'НН')),
    note TEXT NOT NULL DEFAULT '',
    CHECK (first_day <= last_day)
);
CREATE INDEX absences_by_person ON absences (person, first_day);
CREATE TABLE swaps (
    id INTEGER PRIMARY KEY,
    day )sql" SUTOGRAF_DAY("day") R"sql(,
    gives INTEGER REFERENCES people (id) ON DELETE CASCADE,
    takes INTEGER REFERENCES people (id) ON DELETE CASCADE,
    outsider TEXT NOT NULL DEFAULT '',
    CHECK (gives IS NOT NULL OR takes IS NOT NULL),
    CHECK (gives IS NOT takes)
);
CREATE INDEX swaps_by_day ON swaps (day);
CREATE INDEX swaps_given ON swaps (gives);
CREATE INDEX swaps_taken ON swaps (takes);
-- Removing a person keeps the swaps they made with someone on the roster, for that person's sake:
-- the removed side becomes an outsider under their name. A swap whose other side was an outsider
-- already goes with them (ON DELETE CASCADE).
CREATE TRIGGER person_removed_from_swaps BEFORE DELETE ON people BEGIN
    UPDATE swaps SET gives = NULL, outsider = OLD.name WHERE gives = OLD.id AND takes IS NOT NULL;
    UPDATE swaps SET takes = NULL, outsider = OLD.name WHERE takes = OLD.id AND gives IS NOT NULL;
END;
)sql";

#undef SUTOGRAF_DAY

} // namespace

bool configureConnection(sql::Connection& db) {
    return db.exec("PRAGMA foreign_keys = ON") == SQLITE_OK &&
           db.exec("PRAGMA synchronous = FULL") == SQLITE_OK &&
           sqlite3_busy_timeout(db.get(), 5000) == SQLITE_OK &&
           db.text("PRAGMA journal_mode = DELETE") == "delete";
}

int createRosterSchema(sql::Connection& db) {
    sql::Transaction tx(db);
    if (tx.began() != SQLITE_OK) {
        return tx.began();
    }
    const std::string marks = "PRAGMA application_id = " + std::to_string(kRosterApplicationId) +
                              "; PRAGMA user_version = " + std::to_string(kRosterSchemaVersion) + ";";
    if (const int rc = db.exec(kSchema); rc != SQLITE_OK) {
        return rc;
    }
    if (const int rc = db.exec(marks.c_str()); rc != SQLITE_OK) {
        return rc;
    }
    return tx.commit();
}

std::span<const Migration> rosterMigrations() { return {}; }

std::filesystem::path migrationCopyPath(const std::filesystem::path& file, int version) {
    std::filesystem::path copy = file;
    copy.replace_filename(
        file.stem().concat(".v" + std::to_string(version)).concat(file.extension().native()));
    return copy;
}

std::optional<std::string> migrateRoster(sql::Connection& db, const std::filesystem::path& file,
                                         std::span<const Migration> steps, int to) {
    const std::string name = dbfile::utf8(file);
    sql::Transaction tx(db);
    if (tx.began() != SQLITE_OK) {
        return "Файл " + name + " занят другой программой: обновить его устройство не удалось";
    }
    const auto version = db.integer("PRAGMA user_version");
    if (!version) {
        return "Файл " + name + " не читается";
    }
    if (*version >= to) {
        return std::nullopt; // another program has done it meanwhile
    }
    // Under the write lock nobody else changes the file, and this connection has not written yet: the
    // bytes on the disk are the whole of the old version.
    const auto copy = migrationCopyPath(file, static_cast<int>(*version));
    std::error_code ec;
    // A copy left by an earlier attempt goes first: MinGW's copy_file refuses to replace a file, whatever
    // its options say.
    std::filesystem::remove(copy, ec);
    if (!std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing, ec) ||
        !dbfile::syncFile(copy)) {
        return "Не удалось сохранить копию " + dbfile::utf8(copy) + " перед обновлением файла " + name +
               ": файл оставлен как был";
    }
    for (int v = static_cast<int>(*version); v < to; ++v) {
        const Migration* step = nullptr;
        for (const Migration& m : steps) {
            if (m.from == v) {
                step = &m;
            }
        }
        if (step == nullptr || db.exec(step->sql) != SQLITE_OK) {
            return "Не удалось обновить файл " + name + " с версии " + std::to_string(v) +
                   ": файл оставлен как был, копия — " + dbfile::utf8(copy);
        }
    }
    const std::string mark = "PRAGMA user_version = " + std::to_string(to);
    if (db.exec(mark.c_str()) != SQLITE_OK || tx.commit() != SQLITE_OK) {
        return "Не удалось записать обновлённый файл " + name + ": файл оставлен как был, копия — " +
               dbfile::utf8(copy);
    }
    return std::nullopt;
}

} // namespace sutograf
