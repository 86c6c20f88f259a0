#pragma once

// The header of an SQLite file as its first 100 bytes give it, read by each system's readHeader
// (db_file_unix.cpp, db_file_windows.cpp); defined in db_file.cpp.

#include <array>
#include <cstddef>

#include "db_file.h"

namespace sutograf::dbfile {

// got: how many of the 100 bytes could be read.
Header parseHeader(const std::array<unsigned char, 100>& b, std::size_t got);

} // namespace sutograf::dbfile
