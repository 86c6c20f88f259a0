#!/usr/bin/env bash
# Proves that the README's two commands do all the set-up on a fresh Debian 12: builds a minimal
# Debian 12 root with debootstrap, puts a clean clone of this repository in it, and runs, as root in
# a chroot, first the run command (offscreen, stopped after a while) and then the test command.
# Downloads packages, so it is not part of CI. Needs root.
#   scripts/fresh-debian-check.sh [WORK_DIR]        (default /var/tmp/sutograf-fresh)
# The pristine root is kept as WORK_DIR/base.tar; every run starts again from a copy of it.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-/var/tmp/sutograf-fresh}
log="$work/fresh-check.log"
mkdir -p "$work"

# The package archive this machine already uses.
mirror=$( (awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true) | head -n 1)
[ -n "$mirror" ] || mirror=$(awk '/^deb / {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
[ -n "$mirror" ] || { echo "no Debian archive found in the apt configuration" >&2; exit 2; }

if [ ! -f "$work/base.tar" ]; then
    command -v debootstrap >/dev/null || { apt-get update -qq && apt-get install -y -qq debootstrap; }
    rm -rf "$work/base"
    debootstrap --variant=minbase bookworm "$work/base" "$mirror"
    tar -C "$work/base" -cf "$work/base.tar" .
    rm -rf "$work/base"
fi
[ "${2:-}" = "--prepare-only" ] && exit 0

root="$work/root"
cleanup() {
    for m in dev/pts dev proc sys; do umount -l "$root/$m" 2>/dev/null || true; done
}
trap cleanup EXIT
cleanup
rm -rf "$root"
mkdir -p "$root"
tar -C "$root" -xf "$work/base.tar"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
git clone -q "$repo" "$root/root/sutograf"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"

in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        "$@"
}

{
    echo "== $(date -u) fresh Debian $(cat "$root/etc/debian_version") root from $mirror"
    echo "== packages in the fresh root: $(in_root dpkg-query -W | wc -l)"
    echo "== README run command: scripts/run.sh (offscreen, stopped after 20 s of running)"
    set +e
    # run.sh ends by exec'ing the program, so its process becomes the program once the build is done.
    in_root /bin/bash -c 'cd /root/sutograf && export QT_QPA_PLATFORM=offscreen && { scripts/run.sh & pid=$!; }; \
        until [ "$(readlink /proc/$pid/exe 2>/dev/null)" = "$PWD/build-run/ui/sutograf" ]; do \
            kill -0 $pid 2>/dev/null || { echo "run.sh ended before the program started"; exit 1; }; sleep 1; done; \
        sleep 20; kill -0 $pid && echo "the program is running after 20 s" && kill $pid'
    run_rc=$?
    echo "== run command: exit $run_rc"
    echo "== README test command: scripts/test.sh"
    in_root /bin/bash -c 'cd /root/sutograf && scripts/test.sh'
    test_rc=$?
    set -e
    echo "== test command: exit $test_rc"
    [ $run_rc -eq 0 ] && [ $test_rc -eq 0 ] && echo "== both README commands passed on a fresh Debian 12 root"
} 2>&1 | tee "$log"
grep -q '^== both README commands passed' "$log"
