# What the end-to-end tests of the Linux and the Windows builds do with the program's windows on the X
# display. Expects $work (the test's folder, the program's output in $work/app.log), $probe, and $wid
# once the main window is found.

# Exits 77 (skipped) when one of the tools named is not installed.
need() { for t in "$@"; do command -v "$t" >/dev/null || { echo "SKIPPED: $t is not installed" && exit 77; }; done; }
fail() {
    echo "FAILED: $*"
    echo "what the program said (last lines):"
    grep -av ':trace:' "$work/app.log" | tail -n 20
    exit 1
}
step() { echo "-- $*"; }
# The main window shows the grid of: year month offset today, within 10 seconds.
look() {
    for _ in $(seq 100); do "$probe" check "$wid" "$@" >"$work/last" 2>&1 && return; sleep 0.1; done
    fail "the screen is not the grid of $2.$1 with offset $3: $(head -c 2000 "$work/last")"
}
click() { xdotool mousemove "$1" "$2" click 1; }
# The first visible window of title $1 within $2 seconds; asked again when a window gone while xdotool
# lists them makes it fail.
named() { for _ in $(seq $(($2 * 10))); do xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep . && return; sleep 0.1; done; return 1; }
visible() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
origin() { xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'; }

# The Settings dialog, opened: the third watch chosen and saved; the dialog closes and Opt.txt at $1
# holds exactly "2\r\n". $2: seconds the dialog is given to settle before each click (Wine draws late).
save_third_watch() {
    local sid sx sy pace=${2:-0} bytes
    sid=$(named Настройки 20) || fail "no settings window"
    sleep "$pace"
    read -r sx sy < <(origin "$sid")
    click $((sx + 16 + 128 + 24)) $((sy + 16 + 32 + 8)) && sleep "$pace" # Караул №3
    click $((sx + 96 + 32)) $((sy + 120 + 16))                            # Сохранить
    for _ in $(seq 50); do xdotool search --onlyvisible --name '^Настройки$' >/dev/null || break; sleep 0.1; done
    xdotool search --onlyvisible --name '^Настройки$' >/dev/null && fail "the settings stayed open after Save"
    bytes=$(od -An -tx1 "$1" | tr -d ' \n')
    [ "$bytes" = "320d0a" ] || fail "$1 holds $bytes, not 32 0d 0a"
}

# The year window, opened from the menu (what it draws is checked offscreen, by the window tests).
# Sets yid.
year_window_opens() { yid=$(named 'Год и часы' 20) || fail "no year window"; }

# The main window's menu «Программа» opened, and once its popup is up (a loaded machine may take
# seconds), its entry N (from 1, past separators) chosen. Expects $wx $wy (the window's origin) and $cy
# (its client area's top).
program_menu() {
    local before popup=
    before=$(visible)
    timeout 5 xdotool windowraise "$wid" windowfocus --sync "$wid" 2>/dev/null || true
    click $((wx + 30)) $(((wy + cy) / 2))
    for _ in $(seq 50); do
        popup=$(comm -13 <(echo "$before") <(visible) | head -n 1)
        [ -n "$popup" ] && break
        sleep 0.1
    done
    [ -n "$popup" ] || fail "the menu Программа did not open"
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
}
