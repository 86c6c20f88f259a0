#!/usr/bin/env bash
# Start-up time (process start to the main window mapped) and peak RSS of the program and of a bare
# Qt program showing one label, on an Xvfb display, taking turns so that both meet the same load:
# the median and the range of N runs each, and how the two medians compare. Needs xvfb, fontconfig
# and libx11-dev.
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
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
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
done | sort -k1,1 -k2n | awk '
    { n[$1]++; ms[$1, n[$1]] = $2; if ($3 > rss[$1]) rss[$1] = $3 }
    END {
        split("sutograf bare_label", order, " ")
        for (i = 1; i <= 2; ++i) {
            p = order[i]
            median[p] = ms[p, int((n[p] + 1) / 2)]
            printf "%-10s start-up to map: median %.1f ms (%.1f to %.1f) over %d runs; peak RSS at most %.1f MB\n",
                   p, median[p], ms[p, 1], ms[p, n[p]], n[p], rss[p] / 1024
        }
        printf "sutograf / bare_label: %.2f times the start-up, %+.1f MB of peak RSS\n",
               median["sutograf"] / median["bare_label"], (rss["sutograf"] - rss["bare_label"]) / 1024
    }'
