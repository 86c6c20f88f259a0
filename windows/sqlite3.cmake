# SQLite compiled into the Windows program, in place of the system library the Linux build finds.
# SUTOGRAF_SQLITE3_AMALGAMATION names a folder holding sqlite3.c and sqlite3.h, the amalgamation that
# scripts/windows.sh makes from Debian's sqlite3 source package, and options.txt, the compile-time
# options Debian builds its libsqlite3 with (one -D a line), so that SQL behaves the same on both.
#
# It gives what find_package(SQLite3) would: the target SQLite::SQLite3 and the variables of CMake's
# FindSQLite3, preset so that a later find_package(SQLite3) takes them as found.
enable_language(C)
set(amalgamation ${SUTOGRAF_SQLITE3_AMALGAMATION})
if(NOT EXISTS ${amalgamation}/sqlite3.c OR NOT EXISTS ${amalgamation}/options.txt)
    message(FATAL_ERROR "SUTOGRAF_SQLITE3_AMALGAMATION: no sqlite3.c and options.txt in ${amalgamation}")
endif()
file(STRINGS ${amalgamation}/options.txt sqlite_options REGEX "^-D")
list(TRANSFORM sqlite_options REPLACE "^-D" "")

# Built only when something links it.
add_library(sutograf_sqlite3 STATIC EXCLUDE_FROM_ALL ${amalgamation}/sqlite3.c)
target_include_directories(sutograf_sqlite3 SYSTEM PUBLIC ${amalgamation})
target_compile_definitions(sutograf_sqlite3 PRIVATE ${sqlite_options})
# SQLite's own code, not ours to hold to our warnings.
target_compile_options(sutograf_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS sutograf_sqlite3)

set(SQLite3_INCLUDE_DIR ${amalgamation} CACHE PATH "sqlite3.h for the Windows build" FORCE)
set(SQLite3_LIBRARY sutograf_sqlite3 CACHE STRING "SQLite compiled into the Windows build" FORCE)
