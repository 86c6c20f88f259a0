#!/usr/bin/env bash
# Builds Sutograf (installing what it needs on Debian) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" run
cmake -S "$root" -B "$root/build-run" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DSUTOGRAF_BENCH=OFF -DSUTOGRAF_WERROR=OFF >/dev/null
cmake --build "$root/build-run" --target sutograf
exec "$root/build-run/ui/sutograf" "$@"
