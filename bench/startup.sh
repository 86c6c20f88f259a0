#!/usr/bin/env bash
# Start-up time (process start to the main window mapped), the processor time used by then, and peak
# RSS of the program and of a bare Qt program showing one label, on an Xvfb display, taking turns so
# that both meet the same load: the median and the range of N runs each, and how the two medians
# compare. On a shared, busy machine the processor time is the steadier of the two times.
# Needs xvfb, fontconfig and libx11-dev.
#   bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-21}
probe="$build/bench/startup_probe"
[ -x "$probe" ] || { echo "no $probe: build with libx11-dev installed" >&2; exit 2; }

# A display of our own, numbered by the server: a fixed number could be another run's, whose windows
# would then be taken for ours.
work=$(mktemp -d)
exec 3>"$work/display"
# -noreset: a server resets when its last client leaves, and a probe that connects during the reset
# finds no display.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 2; }
display=":$(head -n 1 "$work/display")"

# A font cache of our own, written before the first run: a system cache that someone else's
# program has just made stale (a font installed, file times faked) would otherwise be rebuilt
# during one of our runs, or during every one where it cannot be written.
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <cachedir>$work/fontconfig</cachedir>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
</fontconfig>
CONF
export FONTCONFIG_FILE="$work/fonts.conf"
fc-cache --force >/dev/null
ls "$work"/fontconfig/*.cache-* >/dev/null 2>&1 || { echo "fc-cache wrote no cache of our own" >&2; exit 2; }

cp "$build/ui/sutograf" "$build/bench/bare_label" "$work/"
printf '0\r\n' >"$work/Opt.txt"
export XDG_RUNTIME_DIR=$work DISPLAY=$display
for program in sutograf bare_label; do
    "$probe" "$work/$program" >/dev/null # warm the file caches once
done
for _ in $(seq "$runs"); do
    for program in sutograf bare_label; do
        result=$("$probe" "$work/$program") || { echo "the probe failed on $program" >&2; exit 2; }
        echo "$program $result"
    done
done >"$work/results"
# The median, lowest and highest value of one column of a program's rows, and their number; the
# columns are the probe's: wall milliseconds, peak RSS in KiB, CPU milliseconds.
stats() {
    awk -v p="$1" -v c="$2" '$1 == p { print $c }' "$work/results" | sort -n |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)], v[1], v[NR], NR }'
}
read -r wall1 wall1_lo wall1_hi n1 <<<"$(stats sutograf 2)"
read -r cpu1 cpu1_lo cpu1_hi _ <<<"$(stats sutograf 4)"
read -r _ _ rss1 _ <<<"$(stats sutograf 3)"
read -r wall0 wall0_lo wall0_hi n0 <<<"$(stats bare_label 2)"
read -r cpu0 cpu0_lo cpu0_hi _ <<<"$(stats bare_label 4)"
read -r _ _ rss0 _ <<<"$(stats bare_label 3)"
awk -v line1="sutograf $wall1 $wall1_lo $wall1_hi $cpu1 $cpu1_lo $cpu1_hi $n1 $rss1" \
    -v line0="bare_label $wall0 $wall0_lo $wall0_hi $cpu0 $cpu0_lo $cpu0_hi $n0 $rss0" 'BEGIN {
    for (i = 1; i >= 0; --i) {
        split(i ? line1 : line0, f, " ")
        printf "%-10s start-up to map: median %.1f ms (%.1f to %.1f), CPU time median %.1f ms (%.1f to %.1f) " \
               "over %d runs; peak RSS at most %.1f MB\n", f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9] / 1024
    }
    split(line1, a, " "); split(line0, b, " ")
    printf "sutograf / bare_label: %.2f times the start-up, %.2f times its CPU time, %+.1f MB of peak RSS\n",
           a[2] / b[2], a[5] / b[5], (a[9] - b[9]) / 1024
}'
# Each round's two runs meet the same load: the median of the rounds' ratios varies less than the
# ratio of the medians when other work comes and goes.
paste <(awk '$1 == "sutograf"' "$work/results") <(awk '$1 == "bare_label"' "$work/results") |
    awk 'function sorted(v,   i, j, t) { # insertion sort of v[1..NR]
             for (i = 2; i <= NR; ++i)
                 for (j = i; j > 1 && v[j - 1] > v[j]; --j) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
         }
         { wall[NR] = $2 / $6; cpu[NR] = $4 / $8 }
         END {
             sorted(wall); sorted(cpu); m = int((NR + 1) / 2)
             printf "round by round, the median ratio: %.2f times the start-up, %.2f times the CPU time\n",
                    wall[m], cpu[m]
         }'
