#!/usr/bin/env bash
# Start-up time (process start to the main window mapped) and peak RSS of the program on an Xvfb
# display: the median and the largest of N runs. Needs xvfb and libx11-dev.
#   bench/startup.sh [BUILD_DIR] [RUNS] [PROGRAM]   (PROGRAM defaults to the built sutograf;
#   BUILD_DIR/bench/bare_label gives the yardstick of a bare Qt program)
set -euo pipefail
build=${1:-build}
runs=${2:-21}
probe="$build/bench/startup_probe"
program=${3:-$build/ui/sutograf}
[ -x "$probe" ] || { echo "no $probe: build with libx11-dev installed" >&2; exit 2; }

display=:97
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

work=$(mktemp -d)
cp "$program" "$work/"
printf '0\r\n' >"$work/Opt.txt"
export XDG_RUNTIME_DIR=$work
run="$work/$(basename "$program")"
DISPLAY=$display "$probe" "$run" >/dev/null # warm the caches once
for _ in $(seq "$runs"); do DISPLAY=$display "$probe" "$run"; done | sort -n | awk '
    { ms[NR] = $1; if ($2 > rss) rss = $2 }
    END { printf "start-up to map: median %.1f ms over %d runs; peak RSS at most %.1f MB\n", ms[int((NR + 1) / 2)], NR, rss / 1024 }'
rm -rf "$work"
