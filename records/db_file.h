#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace sutograf::dbfile {

// The file system around the store's file: what stands at its path before SQLite may open it, its
// header read without SQLite, whether a place can be written, and the steps that put a whole file in
// place. A link is followed throughout.

enum class Kind {
    Missing, // nothing there (a dangling link too: the file is made at its target)
    Regular,
    Folder,
    Other,      // a FIFO, a device, a socket: never opened
    Unreadable, // the system will not say (no right to look into a folder on the way)
};
Kind kindAt(const std::filesystem::path& path);

// What the first 100 bytes of an SQLite file say, read without SQLite and without blocking.
struct Header {
    bool sqlite = false; // "SQLite format 3" and a whole header
    std::uint32_t userVersion = 0;
    std::uint32_t applicationId = 0;
};
// nullopt when the file cannot be opened or read, or is no longer a regular file once open.
std::optional<Header> readHeader(const std::filesystem::path& path);

// The path as SQLite and the program's messages take it: UTF-8 (path::string() is the ANSI code page
// on Windows).
std::string utf8(const std::filesystem::path& path);

// The folder itself when it exists, else the nearest of its parents that does (where it would be made);
// empty when there is none. Not necessarily a folder: the caller looks.
std::filesystem::path nearestExisting(const std::filesystem::path& folder);

// Whether this process may create and replace files in the folder (the nearest existing one of its
// parents when it does not exist yet, since it would be made), or write the file.
bool canWriteFolder(const std::filesystem::path& folder);
bool canWriteFile(const std::filesystem::path& file);

// Flushes a file's bytes to the disk; false when the system refuses.
bool syncFile(const std::filesystem::path& path);

// Moves a finished file to `to` unless something is there already, and syncs the folder.
enum class Placed { Done, Taken, Failed };
Placed placeNew(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace sutograf::dbfile
