#!/usr/bin/env bash
# Builds and runs every test: once optimised (with the end-to-end test on a real X server), once
# under AddressSanitizer and UndefinedBehaviorSanitizer, and then the fuzzer for a few seconds.
# Installs what it needs on Debian first. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh" test

echo "== Release build"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DSUTOGRAF_BENCH=ON -DSUTOGRAF_WERROR=ON >/dev/null
cmake --build "$root/build" -j "$jobs"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
      -DSUTOGRAF_SANITIZE=ON -DSUTOGRAF_WERROR=ON >/dev/null
cmake --build "$root/build-asan" -j "$jobs"
# The whole-range sweep checks values, which the optimised run has done; its code runs here in the
# other tests too, and swept under the sanitizers it would take half a minute.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" --exclude-regex "Sweep[.]"

echo "== libFuzzer target, ${SUTOGRAF_FUZZ_SECONDS:-10} s"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DSUTOGRAF_FUZZ=ON -DSUTOGRAF_WERROR=ON -DSUTOGRAF_FUZZ_SECONDS="${SUTOGRAF_FUZZ_SECONDS:-10}" >/dev/null
cmake --build "$root/build-fuzz" -j "$jobs"
ctest --test-dir "$root/build-fuzz" --output-on-failure -j "$jobs"
