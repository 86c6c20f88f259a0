#!/usr/bin/env bash
# End to end, as a user meets the program: the built program on a real X server (Xvfb), driven by
# xdotool, its date fixed by faketime. Starts it beside an Opt.txt, steps the year with the up arrow,
# types a year, picks a month, saves another watch in the settings, opens the year window, and checks
# the screen, the bytes of Opt.txt and that the program still runs. Then adds two people in «Личный
# состав», marks a leave and two swaps in «Табель» with the keyboard, chooses one in the year window and
# reads their .ics, exported twice. Exits 77 (skipped) when Xvfb and friends cannot be had.
#   e2e_test.sh PROGRAM PROBE
set -euo pipefail
program=$(readlink -f "$1")
probe=$(readlink -f "$2")

source "$(dirname "$0")/on_display.sh"
need Xvfb xdotool faketime

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
export QT_QPA_PLATFORM=xcb # a real X server, whatever the caller set for its headless tests
export LC_ALL=C.UTF-8 # xdotool matches window titles in the locale's encoding; ours are Cyrillic
export XDG_RUNTIME_DIR="$work"

cp "$program" "$work/sutograf"
printf '0\r\n' >"$work/Opt.txt"
# Only the clock is faked. File times stay real (NO_FAKE_STAT): with faked ones fontconfig takes its
# system cache for stale and rewrites it, and the next Qt program anywhere on the machine starts
# much slower while it rebuilds it again.
NO_FAKE_STAT=1 FAKETIME_DONT_FAKE_MONOTONIC=1 faketime '2015-04-10 12:00:00' "$work/sutograf" >"$work/app.log" 2>&1 &
app_pid=$!

# Every step waits for what it needs to see, never a fixed time.
until_true() { # seconds, what failed, command...: the command again and again until it succeeds
    local tenths=$(($1 * 10)) what=$2
    shift 2
    for _ in $(seq "$tenths"); do
        "$@" >"$work/last" 2>&1 && return 0
        sleep 0.1
    done
    fail "$what: $(head -c 2000 "$work/last")"
}
to_front() { xdotool windowraise "$1" windowfocus --sync "$1"; }
keys() { xdotool key --delay 40 "$@"; }

wid=$(named 'Сутограф' 10) || fail "no window called Сутограф"
until_true 10 "cannot find the client area" "$probe" client "$wid"
read -r cx cy < <("$probe" client "$wid")

step "starts on April 2015, today 10.04.2015 framed"
look 2015 4 0 10.04.2015

step "the year's up arrow goes to 2016"
click $((cx + 225)) $((cy + 12))
look 2016 4 0 10.04.2015

step "a year typed key by key"
click $((cx + 190)) $((cy + 18))
keys ctrl+a
xdotool type --delay 60 2015
look 2015 4 0 10.04.2015

step "a month picked with the keyboard: March, today in a grey cell"
click $((cx + 80)) $((cy + 18))
keys Up
look 2015 3 0 10.04.2015

step "the third watch saved in the settings"
read -r wx wy < <(origin "$wid")
program_menu 1
save_third_watch "$work/Opt.txt"
look 2015 3 2 10.04.2015

step "the year window from the menu"
program_menu 3 # past Настройки and «Какой караул сегодня…»
yid=$(named 'Год и часы' 10) || fail "no year window"

roster_is() { [ "$("$probe" roster "$work/sutograf.db")" = "$1" ]; }
uids() { grep -a '^UID:' "$1" | sort; }

step "«Личный состав» from the menu: two people added with the keyboard, the first watch and the second"
program_menu 7 # past the year window's four entries
rid=$(named 'Личный состав' 10) || fail "no roster window"
to_front "$rid"
keys ctrl+n
xdotool type --delay 40 'Ivanov'
keys Tab && xdotool type --delay 40 '101' && keys Return
until_true 10 "the first person was not saved" roster_is "people=1 absences=0 swaps=0"
keys ctrl+n
xdotool type --delay 40 'Petrov'
keys Tab && xdotool type --delay 40 '102' && keys Tab Down shift+Tab Return
until_true 10 "the second person was not saved" roster_is "people=2 absences=0 swaps=0"

# With the third watch on 01.01.2011, April 2015's first watch is on duty on the 12th, 16th, 20th, 24th
# and 28th, the second on the 13th, 17th, 21st, 25th and 29th. Both joined on 10.04.2015, today.
step "«Табель» of the first watch for April: Ivanov's leave 20-24.04 typed as ОТ on the keys J N"
program_menu 8
tid=$(named 'Табель — 1 караул, Апрель 2015' 10) || fail "no timesheet window"
to_front "$tid" # the days have the focus as the window opens
keys ctrl+Home $(printf 'Right %.0s' $(seq 19)) $(printf 'shift+Right %.0s' $(seq 4)) j n Return
until_true 10 "the leave was not saved" roster_is "people=2 absences=1 swaps=0"

step "Ctrl+D: Ivanov's duty of 16.04 to Petrov; Petrov's of 17.04, on his row below, to Ivanov"
keys ctrl+Home $(printf 'Right %.0s' $(seq 15)) ctrl+d
named 'Подмена' 10 >/dev/null || fail "no swap dialog"
keys space Return # the list's only name, current as it takes the focus, selected
until_true 10 "the swap of 16.04 was not saved" roster_is "people=2 absences=1 swaps=1"
to_front "$tid" # the closed dialog took the keyboard's focus with it: there is no window manager
keys ctrl+Home Down $(printf 'Right %.0s' $(seq 16)) ctrl+d
named 'Подмена' 10 >/dev/null || fail "no second swap dialog"
keys space Return
until_true 10 "the swap of 17.04 was not saved" roster_is "people=2 absences=1 swaps=2"

# Their years' days as drawn are windows_tests' (personsYearIsTheCores); here, a person chosen with keys.
step "the year window: Petrov chosen in its list by a name's letters, then Ivanov by the arrows"
to_front "$yid"
keys Tab Tab # past the year and the watches, to the list of people
xdotool type --delay 40 'Petr'
keys Up # over the heading of the second watch, to the first's Ivanov

step "Ivanov's .ics, exported twice with Ctrl+E"
for name in first second; do
    keys ctrl+e
    named 'Экспорт в календарь' 10 >/dev/null || fail "no file dialog for the calendar"
    keys ctrl+a && xdotool type --delay 20 "$work/$name.ics" && keys Return
    until_true 10 "the $name .ics was not written" test -s "$work/$name.ics"
    to_front "$yid"
done
# The calendar's parse is ics_check.py's: here, that the window exported this person's year.
ics_has() { tr -d '\r' <"$work/first.ics" | grep -qx "$1"; }
for day in 12 17 28; do ics_has "DTSTART:201504${day}T080000" || fail "no duty of $day.04 in Ivanov's calendar"; done
for day in 16 20 24; do ! ics_has "DTSTART:201504${day}T080000" || fail "a duty of $day.04 in Ivanov's calendar"; done
ics_has 'DTSTART;VALUE=DATE:20150420' && ics_has 'DTEND;VALUE=DATE:20150425' && ics_has 'SUMMARY:Отпуск (ОТ)' ||
    fail "Ivanov's leave is not in his calendar"
[ "$(uids "$work/first.ics")" = "$(uids "$work/second.ics")" ] || fail "a second export changed the UIDs"
[ "$(uids "$work/first.ics" | wc -l)" -gt 40 ] || fail "the calendar has too few events"

kill -0 "$app_pid" 2>/dev/null || fail "the program is no longer running"
echo "PASSED: the windows, the keyboard, the mouse, Opt.txt, the roster and a person's year behave as a user expects"
