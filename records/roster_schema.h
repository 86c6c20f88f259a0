#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "sqlite_handles.h"

namespace sutograf {

// The roster file's tables and their versions. PRAGMA application_id marks a file as ours ("SUTG");
// PRAGMA user_version is the schema's version, raised only by a migration.
inline constexpr std::uint32_t kRosterApplicationId = 0x53555447;
inline constexpr int kRosterSchemaVersion = 1;

// Sets what every connection to the file needs: foreign keys, a rollback journal that FAT sticks and
// network folders can hold, a commit synced to the disk, and a few seconds' wait for another program's
// lock. False when SQLite refuses any of them.
bool configureConnection(sql::Connection& db);

// The tables of the newest version in an empty database, marked as ours, in one transaction.
int createRosterSchema(sql::Connection& db);

// One step from a version to the next, as SQL.
struct Migration {
    int from;
    const char* sql;
};
// This program's steps, in order; none while version 1 is the only one.
std::span<const Migration> rosterMigrations();

// Where the copy of a file of `version` goes before it is migrated: "sutograf.v1.db" beside it.
std::filesystem::path migrationCopyPath(const std::filesystem::path& file, int version);

// Brings an older file of ours to version `to` by `steps`: under the write lock, the file is first
// copied aside byte for byte (and synced), then every step from its version on runs in the same
// transaction as the new user_version. nullopt when done; otherwise the Russian reason, and the file
// is as it was.
std::optional<std::string> migrateRoster(sql::Connection& db, const std::filesystem::path& file,
                                         std::span<const Migration> steps, int to);

} // namespace sutograf
