#!/usr/bin/env bash
# The Windows build, made on Debian 12 from Debian's packages: cross-builds Qt once into a cache, then
# the program and its tests with MinGW-w64, runs the tests under Wine on a virtual X server, and writes
# dist/sutograf-<version>-windows-x64.zip. Installs what it needs first. Exits non-zero on any failure.
#
# Usage: scripts/windows.sh [qt]      (qt: only make sure the cross-built Qt is in the cache)
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
    if apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then
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

"$root/scripts/setup.sh" windows
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
mkdir -p "$cache"
ensure_qt
[ "${1:-}" = qt ] && exit 0
