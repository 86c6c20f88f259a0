#!/usr/bin/env bash
# End to end, as a Windows user meets the program: the zip unzipped into a folder (a USB stick), the
# program started there under Wine on the X display of the caller (Xvfb), its date fixed by faketime,
# and looked at by pixel with the Linux probe. The month window shows the watch colours of the offset in
# Opt.txt; Settings -> Сохранить writes Opt.txt beside the .exe as three bytes; the year window opens
# from the menu, and its PDF is written through the Windows save dialog and
# read back. Qt's plugins and its Russian translation must come from the unzipped folder. Exits 77
# (skipped) when faketime or xdotool is missing.
#   wine_e2e_test.sh ZIP PROBE      (DISPLAY, WINEPREFIX and the rest of Wine's environment set)
set -euo pipefail
zip=$(readlink -f "$1")
probe=$(readlink -f "$2")

source "$(dirname "$0")/on_display.sh"
need xdotool faketime pdfinfo pdftotext

work=$(mktemp -d)
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'echo "FAILED: a step failed at line $LINENO of $0"' ERR
# Unzipped as Windows' Explorer does, the names taken as UTF-8 by the zip's flag (unzip ignores it).
python3 -m zipfile -e "$zip" "$work/stick"
folder=$(find "$work/stick" -mindepth 1 -maxdepth 1 -type d)
[ -f "$folder/Сутограф.exe" ] || fail "no Сутограф.exe in the zip's folder"
printf '1\r\n' >"$folder/Opt.txt"

# Only the clock is faked (see e2e_test.sh). Wine's file and DLL traces tell where Qt took its plugins
# and its translation from.
(cd "$folder" && NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1 WINEDEBUG=trace+file,+loaddll \
    faketime '2015-04-10 12:00:00' wine ./Сутограф.exe) >"$work/app.log" 2>&1 &
app_pid=$!

wid=$(named Сутограф 60) || fail "no window called Сутограф"
sleep 1
read -r cx cy < <("$probe" client "$wid") || fail "cannot find the client area"
read -r wx wy < <(origin "$wid")

step "starts on April 2015, today 10.04.2015 framed, in the colours of the offset in Opt.txt"
look 2015 4 1 10.04.2015

step "Qt's pieces come from the unzipped folder, its Russian translation too"
# Wine's traces write a Windows path with its backslashes doubled.
traced=Z:${folder//\//\\\\}
for piece in Qt6Core.dll Qt6Widgets.dll 'platforms\\qwindows.dll' 'styles\\qwindowsvistastyle.dll'; do
    grep -qF "Loaded L\"$traced\\\\$piece\"" "$work/app.log" || fail "$piece was not loaded from the unzipped folder"
done
translation="$traced\\\\translations\\\\qtbase_ru.qm\"" awk '
    index($0, "CreateFileW L\"") && index($0, ENVIRON["translation"]) { asked = 1; next }
    asked && /CreateFileW returning/ { opened = $NF !~ /^F+$/; asked = 0 }
    END { exit opened ? 0 : 1 }' "$work/app.log" ||
    fail "Qt's Russian translation was not opened from translations\\ beside the program"

step "the third watch saved in the settings, as three bytes beside the .exe"
program_menu 1
save_third_watch "$folder/Opt.txt" 0.5
look 2015 4 2 10.04.2015

step "the year window from the menu"
program_menu 3 # past Настройки and «Какой караул сегодня…»
year_window_opens

step "its PDF written through the Windows save dialog"
xdotool key ctrl+s
named 'Сохранить PDF' 20 >/dev/null || fail "Ctrl+S opens no dialog Сохранить PDF"
sleep 0.5
pdf="$folder/year.pdf"
# The name box holds the offered name; Wine's edit box has no Ctrl+A.
xdotool key Home shift+End
xdotool type --delay 30 "Z:${pdf//\//\\}"
xdotool key Return
for _ in $(seq 100); do [ -s "$pdf" ] && break; sleep 0.1; done
[ -s "$pdf" ] || fail "no PDF at $pdf"
sleep 0.5
[ "$(pdfinfo "$pdf" | grep -cE '^Pages: +1$|842 x 595 pts \(A4\)')" = 2 ] || fail "the PDF is not one A4 landscape page"
pdftotext "$pdf" - | grep -q 'График дежурств на 2015 год — 1 караул' || fail "the PDF lacks its title"
kill -0 "$app_pid" 2>/dev/null || fail "the program is no longer running"
echo "PASSED: unzipped, the program shows the rota, keeps Opt.txt beside itself and writes the year's PDF"
