#!/usr/bin/env bash
# End to end, as a user meets the program: the built program on a real X server (Xvfb), driven by
# xdotool, its date fixed by faketime. Starts it beside an Opt.txt, steps the year with the up arrow,
# types a year, picks a month, saves another watch in the settings, opens the year window, and checks
# the screen, the bytes of Opt.txt and that the program still runs. Exits 77 (skipped) when Xvfb and
# friends cannot be had.
#   e2e_test.sh PROGRAM PROBE
set -euo pipefail
program=$(readlink -f "$1")
probe=$(readlink -f "$2")

for tool in Xvfb xdotool faketime; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed, so there is no real display to test on"
        exit 77
    fi
done

work=$(mktemp -d)
app_pid=
xvfb_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
if [ ! -s "$work/display" ]; then
    echo "SKIPPED: Xvfb did not start: $(cat "$work/xvfb.log")"
    exit 77
fi
export DISPLAY=":$(head -n 1 "$work/display")"
export LC_ALL=C.UTF-8 # xdotool matches window titles in the locale's encoding; ours are Cyrillic
export XDG_RUNTIME_DIR="$work"

fail() {
    echo "FAILED: $*"
    echo "what the program said:"
    cat "$work/app.log"
    exit 1
}
step() { echo "-- $*"; }

cp "$program" "$work/sutograf"
printf '0\r\n' >"$work/Opt.txt"
# Only the clock is faked. File times stay real (NO_FAKE_STAT): with faked ones fontconfig takes its
# system cache for stale and rewrites it, and the next Qt program anywhere on the machine starts
# much slower while it rebuilds it again.
NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1 faketime '2015-04-10 12:00:00' "$work/sutograf" >"$work/app.log" 2>&1 &
app_pid=$!

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Сутограф$' | head -n 1) || fail "no window called Сутограф"
sleep 0.5
read -r cx cy < <("$probe" client "$wid") || fail "cannot find the client area"
look() { # year month offset today
    "$probe" check "$wid" "$1" "$2" "$3" "$4" || fail "the screen is not the grid of $2.$1"
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }

step "starts on April 2015, today 10.04.2015 framed"
look 2015 4 0 10.04.2015

step "the year's up arrow goes to 2016"
click $((cx + 225)) $((cy + 12))
look 2016 4 0 10.04.2015

step "a year typed key by key"
click $((cx + 190)) $((cy + 18))
xdotool key ctrl+a
xdotool type --delay 60 2015
sleep 0.3
look 2015 4 0 10.04.2015

step "a month picked with the keyboard: March, today in a grey cell"
click $((cx + 80)) $((cy + 18))
xdotool key Up
sleep 0.3
look 2015 3 0 10.04.2015

step "the third watch saved in the settings"
read -r wx wy < <(xdotool getwindowgeometry --shell "$wid" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}')
click $((wx + 30)) $(((wy + cy) / 2))
xdotool key Down Return
sid=$(timeout 10 xdotool search --sync --onlyvisible --name '^Настройки$' | head -n 1) || fail "no settings window"
sleep 0.3
read -r sx sy < <(xdotool getwindowgeometry --shell "$sid" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}')
click $((sx + 16 + 128 + 24)) $((sy + 16 + 32 + 8)) # Караул №3
click $((sx + 96 + 32)) $((sy + 120 + 16))          # Сохранить
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Настройки$' >/dev/null || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Настройки$' >/dev/null && fail "the settings stayed open after Save"

bytes=$(od -An -tx1 "$work/Opt.txt" | tr -d ' \n')
[ "$bytes" = "320d0a" ] || fail "Opt.txt holds $bytes, not 32 0d 0a"
look 2015 3 2 10.04.2015

step "the year window from the menu: every duty day of the first watch filled with its colour"
click $((wx + 30)) $(((wy + cy) / 2))
xdotool key Down Down Down Return # past Настройки and «Какой караул сегодня…»
yid=$(timeout 10 xdotool search --sync --onlyvisible --name '^Год и часы$' | head -n 1) || fail "no year window"
sleep 0.5
"$probe" fills "$yid" 2015 1 2 || fail "the year window's duty days are not filled with the first watch's colour"
kill -0 "$app_pid" 2>/dev/null || fail "the program is no longer running"
echo "PASSED: the window, the keyboard, the mouse and Opt.txt behave as a user expects"
