#!/usr/bin/env bash
# Installs the Debian packages that building, running or testing Sutograf needs, and nothing when
# they are all there already. Usage: scripts/setup.sh run|test|windows
set -euo pipefail

run_packages=(g++ cmake ninja-build qt6-base-dev qt6-translations-l10n fonts-liberation2 libsqlite3-dev)
# Tests add: GoogleTest and Google Benchmark; clang with its fuzzer runtime; a real X server, xdotool and
# faketime for the end-to-end test, and the X11 headers for its screen probe; an independent iCalendar
# parser for the system Python, to read back the calendar export; poppler's pdfinfo and pdftotext to
# read back the printed year; SQLite's own shell, to look at the roster file independently of the store.
test_packages=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xdotool faketime libx11-dev
               python3-icalendar poppler-utils sqlite3)
# The Windows build (scripts/windows.sh) adds: the MinGW-w64 cross compiler; dpkg-dev to unpack Debian's
# qt6-base and sqlite3 sources, and make and tclsh to make SQLite's amalgamation; the host Qt tools (moc,
# rcc, uic) come with qt6-base-dev above, and GoogleTest's sources with libgtest-dev; Wine with its fonts
# to run the tests on the virtual X server.
windows_packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev make tcl wine wine64 fonts-wine
                  python3)

case "${1:-run}" in
    run) wanted=("${run_packages[@]}") ;;
    test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
    windows) wanted=("${run_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}") ;;
    *) echo "usage: $0 run|test|windows" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
else
    sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
