#!/usr/bin/env bash
# Runs the Windows build's tests under Wine on a virtual X server and counts their results: every
# test program (GoogleTest and QtTest), the calendar export read back by Python's icalendar, and the
# end-to-end test of the program as unzipped from ZIP. Prints the counts and every skip with its
# reason; exits non-zero on any failure.
#   windows/wine-tests.sh BUILD_DIR QT_PREFIX ZIP PROBE WINEPREFIX
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1 qt=$2 zip=$3 probe=$4
export WINEPREFIX=$5 WINEARCH=win64 WINEDEBUG=-all
# No Mono and no Gecko: Wine would offer to fetch them, in a dialog nobody answers.
export WINEDLLOVERRIDES="mscoree,mshtml="
# The test programs find the Qt DLLs and the MinGW-w64 runtime through the path; the zip carries its own.
windows_path() { echo "Z:${1//\//\\}"; }
runtime_dir() { dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name="$1")")"; }
export WINEPATH
WINEPATH="$(windows_path "$qt/bin");$(windows_path "$(runtime_dir libstdc++-6.dll)");$(windows_path "$(runtime_dir libwinpthread-1.dll)")"

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# A Windows PC has Arial, Times New Roman and Microsoft Sans Serif, which the windows ask for; Wine
# has none of them, and falls back to faces of other widths or to bitmap fonts Qt draws nothing with.
# The prefix gets the metric-compatible Liberation faces under those names, as a Linux desktop does.
if [ ! -f "$WINEPREFIX/.sutograf-ready-2" ]; then
    echo "-- a Wine prefix in $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    wine wineboot --init >/dev/null 2>&1
    for face in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" "Microsoft Sans Serif=Liberation Sans"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${face%%=*}" /t REG_SZ /d "${face#*=}" /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.sutograf-ready-2"
fi

failed=0
results=()
skips=()
record() { # name passed failed skipped
    results+=("$(printf '%-34s %6s %6s %7s' "$1" "$2" "$3" "$4")")
    [ "$3" = 0 ] || failed=1
}

# Each program from its own folder, so that relative paths and Z: both lead into the build. The window
# tests run on Qt's windows platform, on the X display, as the program does: the offscreen one of a
# Windows Qt has no fonts. (Wine drops every environment variable named QT_*; one would have to be set
# inside Wine: wine cmd /c "set QT_...=...&& program".)
for exe in "$build"/tests/*_tests.exe; do
    name=$(basename "$exe" .exe)
    log=$work/$name.log
    echo "-- $name"
    # A QtTest program's report reaches no console under Wine: it goes to a file.
    report=
    if x86_64-w64-mingw32-objdump -p "$exe" | grep 'DLL Name: Qt6Test.dll' >/dev/null; then
        report=$work/$name.txt
    fi
    set +e
    (cd "$(dirname "$exe")" &&
        timeout 900 wine "$name.exe" ${report:+-o "$(windows_path "$report"),txt"}) >"$log" 2>&1
    status=$?
    set -e
    [ -z "$report" ] || cat "$report" >>"$log" 2>/dev/null
    if grep -aq '^\[==========\] .* ran\.' "$log"; then # GoogleTest
        passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log")
        failures=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:.*/\1/p' "$log")
        skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below:.*/\1/p' "$log")
        while IFS= read -r line; do skips+=("$name: $line"); done < <(
            awk '{ sub(/\r$/, "") }
                 /: Skipped$/ { skipping = 1; next }
                 skipping { reason = $0; skipping = 0 }
                 /^\[  SKIPPED \] [^0-9]/ && reason != "" { print $4 ": " reason; reason = "" }' "$log")
    elif grep -aq '^Totals: ' "$log"; then # QtTest
        read -r passed failures skipped < <(sed -n 's/^Totals: \([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped.*/\1 \2 \3/p' "$log")
        while IFS= read -r line; do skips+=("$name: $line"); done < <(sed -n 's/^SKIP   : [A-Za-z]*::\(.*\)/\1/p' "$log" | tr -d '\r')
    else
        passed=0 failures="no result (exit $status)" skipped=0
    fi
    passed=${passed:-0} failures=${failures:-0} skipped=${skipped:-0}
    [ "$status" = 0 ] || [ "$failures" != 0 ] || failures="exit $status"
    record "$name" "$passed" "$failures" "$skipped"
    [ "$failures" = 0 ] || { echo "   its output:"; tail -n 60 "$log" | sed 's/^/   /'; }
done

echo "-- the calendar export read back by python3-icalendar"
if /usr/bin/python3 "$root/tests/core/ics_check.py" wine "$build/tests/ics_writer.exe" >"$work/ics.log" 2>&1; then
    record "ics_writer read by python3-icalendar" 1 0 0
else
    record "ics_writer read by python3-icalendar" 0 1 0
    sed 's/^/   /' "$work/ics.log"
fi

echo "-- end to end: the unzipped program on the X display"
set +e
"$root/tests/e2e/wine_e2e_test.sh" "$zip" "$probe" | tee "$work/e2e.log"
status=${PIPESTATUS[0]}
set -e
case $status in
    0) record "end to end, unzipped, under Wine" 1 0 0 ;;
    77) record "end to end, unzipped, under Wine" 0 0 1 && skips+=("end to end: $(tail -n 1 "$work/e2e.log")") ;;
    *) record "end to end, unzipped, under Wine" 0 1 0 ;;
esac

echo
echo "Tests of the Windows build under Wine $(wine --version 2>/dev/null):"
printf '%-34s %6s %6s %7s\n' "" passed failed skipped
printf '%s\n' "${results[@]}"
if [ ${#skips[@]} -gt 0 ]; then
    echo "Skipped under Wine, and why:"
    printf '  %s\n' "${skips[@]}"
fi
exit "$failed"
