#!/usr/bin/env bash
# Makes the Windows zip: one folder holding Сутограф.exe and everything it needs beside it (the DLLs
# it loads, found by walking their imports, Qt's plugins, qt.conf, Qt's Russian translation), all
# stripped, with README.txt and the licence texts. Nothing is installed on the user's machine.
#   windows/package.sh BUILD_DIR QT_PREFIX QT_SOURCE ZIP
# BUILD_DIR: the cross build; QT_PREFIX: the Windows Qt it was built against; QT_SOURCE: Debian's
# qt6-base source tree it came from (for the licence texts); ZIP: the file to write.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1 qt=$2 qt_source=$3 zip=$4
triplet=x86_64-w64-mingw32
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
folder=sutograf-$version
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
out=$stage/$folder
mkdir -p "$out"

# The program, and the plugins Qt loads at run time: the platform and the style. No image format
# plugin: the program reads only PNG and XPM, which Qt Gui decodes itself.
cp "$build/ui/Сутограф.exe" "$out/"
mkdir -p "$out/platforms" "$out/styles" "$out/translations"
cp "$qt/plugins/platforms/qwindows.dll" "$out/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$out/styles/"

# Every DLL these import, and theirs in turn: from the Qt build or the MinGW-w64 runtime when it is
# there, else one of Windows' own, known by its import library in the MinGW-w64 sysroot or as an API set
# (api-ms-win-*, part of Windows since 8). A DLL that
# is neither stops the packaging: the program would not start.
runtime_dir() { dirname "$(realpath "$($triplet-g++-posix -print-file-name="$1")")"; }
runtime_dirs=("$qt/bin" "$(runtime_dir libstdc++-6.dll)" "$(runtime_dir libwinpthread-1.dll)")
is_windows_dll() {
    local name=${1,,}
    [[ $name == api-ms-win-* ]] || [ -f "/usr/$triplet/lib/lib${name%.*}.a" ]
}
pending=("$out/Сутограф.exe" "$out/platforms/qwindows.dll" "$out/styles/qwindowsvistastyle.dll")
while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    while read -r dll; do
        [ -e "$out/$dll" ] && continue
        found=
        for dir in "${runtime_dirs[@]}"; do
            [ -f "$dir/$dll" ] && found=$dir/$dll && break
        done
        if [ -z "$found" ]; then
            is_windows_dll "$dll" && continue
            echo "package: $(basename "$file") needs $dll: not in Qt, the MinGW runtime or Windows" >&2
            exit 1
        fi
        cp "$found" "$out/"
        pending+=("$out/$dll")
    done < <($triplet-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
find "$out" -name '*.exe' -o -name '*.dll' | while read -r binary; do
    $triplet-strip --strip-unneeded "$binary"
done

# Qt looks for its plugins and translations where qt.conf says, relative to the program's folder.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$out/qt.conf"
# Qt's own dialogs and buttons in Russian: the same catalogue the Linux build loads.
cp /usr/share/qt6/translations/qtbase_ru.qm "$out/translations/"

# Texts for a Windows user: UTF-8 with a byte order mark and CR LF, which every Notepad reads.
as_windows_text() { printf '\xEF\xBB\xBF' && sed 's/$/\r/' "$1"; }
qt_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
gcc_version=$(dpkg-query -W -f='${source:Version}' gcc-mingw-w64-x86-64-posix-runtime)
gcc_source=$(dpkg-query -W -f='${source:Package}' gcc-mingw-w64-x86-64-posix-runtime)
mingw_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-x86-64-dev)
mingw_source=$(dpkg-query -W -f='${source:Package}' mingw-w64-x86-64-dev)
sed -e "s/@VERSION@/$version/g" -e "s/@FOLDER@/$folder/g" -e "s/@QT_VERSION@/$qt_version/g" \
    -e "s/@GCC_SOURCE@/$gcc_source/g" -e "s/@GCC_VERSION@/$gcc_version/g" \
    -e "s/@MINGW_SOURCE@/$mingw_source/g" -e "s/@MINGW_VERSION@/$mingw_version/g" \
    "$here/README.txt.in" >"$stage/README.txt"
as_windows_text "$stage/README.txt" >"$out/README.txt"

# The licences: Qt's (LGPL 3, which builds on the GPL 3), the notices of the libraries Qt has built
# in, the GCC runtime's (GPL 3 with the GCC Runtime Library Exception) and winpthreads'; and the
# configure line the Qt DLLs were built with, for anyone rebuilding them.
licences=$out/ЛИЦЕНЗИИ
mkdir -p "$licences"
as_windows_text "$qt_source/LICENSES/LGPL-3.0-only.txt" >"$licences/Qt-LGPL-3.0.txt"
as_windows_text "$qt_source/LICENSES/GPL-3.0-only.txt" >"$licences/GPL-3.0.txt"
python3 "$here/qt_attributions.py" "$qt_source" >"$stage/qt-third-party.txt"
as_windows_text "$stage/qt-third-party.txt" >"$licences/Qt-third-party.txt"
as_windows_text "$here/qt-configure.txt" >"$licences/Qt-configure.txt"
as_windows_text /usr/share/doc/gcc-mingw-w64-base/copyright >"$licences/MinGW-GCC-runtime.txt"
as_windows_text /usr/share/doc/mingw-w64-x86-64-dev/copyright >"$licences/MinGW-w64-winpthreads.txt"

mkdir -p "$(dirname "$zip")"
rm -f "$zip"
python3 "$here/zip_folder.py" "$zip" "$out"
echo "$zip: $(du -k "$zip" | cut -f1) KiB, $(find "$out" -type f | wc -l) files"
