#!/usr/bin/env bash
# The Windows build, made on Debian 12 from Debian's packages: cross-builds Qt once into a cache, then
# the program and its tests with MinGW-w64, runs the tests under Wine on a virtual X server, and writes
# dist/sutograf-<version>-windows-x64.zip. Installs what it needs first. Exits non-zero on any failure.
#
# Usage: scripts/windows.sh [qt]      (qt: only make sure the cross-built Qt is in the cache)
#
# Writes build-windows/ (the cross build), build-windows-host/ (the Linux probe that reads the screen
# in the end-to-end test) and dist/.
#
# The cache (SUTOGRAF_WINDOWS_CACHE, default ~/.cache/sutograf-windows) holds Qt built for Windows,
# keyed by the Qt source version, the cross compiler's version, windows/qt-configure.txt and the
# toolchain file: a run with all four unchanged skips the 20-minute Qt build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
cache=${SUTOGRAF_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/sutograf-windows}
toolchain=$root/windows/mingw-w64-x86_64.cmake
started=$SECONDS

step() { echo "== $* ($((SECONDS - started)) s)"; }

if [ "$(id -u)" -ne 0 ]; then sudo=sudo; else sudo=; fi

# Debian's source packages need a deb-src line; added once, beside the binary archive's own.
ensure_deb_src() {
    if apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -x Sources >/dev/null; then
        return
    fi
    echo "Adding Debian's source archive to apt's sources" >&2
    $sudo tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $sudo apt-get update -qq >&2
}

# Unpacks Debian's source package $1 at version $2 (patches applied) under $cache/src; prints its folder.
debian_source() {
    local package=$1 version=$2 upstream
    upstream=${version#*:}
    upstream=${upstream%-*}
    upstream=${upstream%+dfsg*}
    local folder=$cache/src/$package-$version
    if [ ! -f "$folder/.unpacked" ]; then
        ensure_deb_src
        rm -rf "$folder" && mkdir -p "$folder"
        (cd "$folder" && apt-get source -qq "$package=$version" >/dev/null)
        touch "$folder/.unpacked"
    fi
    find "$folder" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1
}

configure_lines() { grep -v -e '^[[:space:]]*#' -e '^[[:space:]]*$' "$root/windows/qt-configure.txt"; }

qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null || true)
compiler_version() {
    dpkg-query -W -f='${Version}' g++-mingw-w64-x86-64-posix
    x86_64-w64-mingw32-g++-posix --version | head -n 1
}

# Qt for Windows in the cache, built when its key is new; sets qt_prefix.
ensure_qt() {
    local key
    key=$({ echo "$qt_version"; compiler_version; configure_lines; cat "$toolchain"; } | sha256sum | cut -c1-16)
    qt_prefix=$cache/qt-$qt_version-$key
    if [ -f "$qt_prefix/.complete" ]; then
        step "Qt $qt_version for Windows from the cache: $qt_prefix"
        return
    fi
    step "Qt $qt_version for Windows: building (about 20 minutes on 2 cores)"
    local source build
    source=$(debian_source qt6-base "$qt_version")
    build=$cache/build-qt-$key
    rm -rf "$build" "$qt_prefix"
    local lines
    mapfile -t lines < <(configure_lines)
    cmake -S "$source" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        "${lines[@]}" >"$cache/qt-configure-$key.log" 2>&1 ||
        { tail -n 40 "$cache/qt-configure-$key.log"; exit 1; }
    # Niced: the machine may be shared, and Qt is a long build.
    nice -n 10 cmake --build "$build" -j "$jobs" >"$cache/qt-build-$key.log" 2>&1 ||
        { tail -n 40 "$cache/qt-build-$key.log"; exit 1; }
    cmake --install "$build" >/dev/null
    touch "$qt_prefix/.complete"
    rm -rf "$build"
    step "Qt built into $qt_prefix"
}

# SQLite's amalgamation, made from Debian's sqlite3 source once per version (it needs the build
# machine's compiler and tclsh); sets sqlite_dir. The same version as the Linux build's library.
ensure_sqlite() {
    local version source build options
    version=$(dpkg-query -W -f='${source:Version}' libsqlite3-0)
    sqlite_dir=$cache/sqlite3-$version
    if [ -f "$sqlite_dir/.complete" ]; then
        return
    fi
    step "SQLite $version: the amalgamation from Debian's source"
    source=$(debian_source sqlite3 "$version")
    build=$cache/build-sqlite3
    rm -rf "$build" "$sqlite_dir" && mkdir -p "$build" "$sqlite_dir"
    # The options Debian builds libsqlite3 with: some shape the generated parser, so they go to
    # configure as well as to the compiler (windows/sqlite3.cmake reads options.txt).
    sed -n '/^export CFLAGS += /,/[^\\]$/p' "$source/debian/rules" |
        grep -o -- '-DSQLITE_[A-Z0-9_]*\(=[0-9]*\)\?' >"$sqlite_dir/options.txt"
    options=$(tr '\n' ' ' <"$sqlite_dir/options.txt")
    (cd "$build" && "$source/configure" CFLAGS="-O2 $options" --disable-tcl >configure.log 2>&1 &&
        make sqlite3.c >make.log 2>&1) || { tail -n 40 "$build"/*.log; exit 1; }
    cp "$build/sqlite3.c" "$build/sqlite3.h" "$sqlite_dir/"
    touch "$sqlite_dir/.complete"
    rm -rf "$build"
}

"$root/scripts/setup.sh" windows
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
mkdir -p "$cache"
ensure_qt
[ "${1:-}" = qt ] && exit 0
qt_source=$(debian_source qt6-base "$qt_version")

# The roster database, where the program has one, is SQLite compiled in.
sqlite_args=()
if [ -d "$root/records" ]; then
    ensure_sqlite
    sqlite_args=(-DSUTOGRAF_SQLITE3_AMALGAMATION="$sqlite_dir")
fi

step "The program and its tests for Windows"
build=$root/build-windows
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$qt_prefix" -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DBUILD_TESTING=ON -DSUTOGRAF_BENCH=OFF -DSUTOGRAF_WERROR=ON "${sqlite_args[@]}" >/dev/null
nice -n 10 cmake --build "$build" -j "$jobs"

step "The zip"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$root/dist/sutograf-$version-windows-x64.zip
"$root/windows/package.sh" "$build" "$qt_prefix" "$qt_source" "$zip"

# The end-to-end test reads the screen with a Linux probe, built against the Linux Qt.
step "The screen probe for the end-to-end test (Linux)"
host=$root/build-windows-host
cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DSUTOGRAF_BENCH=OFF >/dev/null
nice -n 10 cmake --build "$host" -j "$jobs" --target e2e_probe

step "The tests under Wine"
"$root/windows/wine-tests.sh" "$build" "$qt_prefix" "$zip" "$host/tests/e2e_probe" "$cache/wine"
step "Done: $zip"
