#!/usr/bin/env bash
# Builds and runs every test: engines (GoogleTest) and windows (Qt Test,
# offscreen), first optimised, then under AddressSanitizer and
# UndefinedBehaviorSanitizer; then the fuzz targets for a short time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh

echo "== build and test (optimised, benchmarks built too)"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVEN_BUILD_BENCH=ON
cmake --build build/test -j"$jobs"
ctest --test-dir build/test --output-on-failure -j"$jobs"

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTARVEN_SANITIZE=address,undefined
cmake --build build/asan -j"$jobs"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt keeps process-lifetime allocations (fonts, plugins): leak checking is for
# the engines only.
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/asan --output-on-failure -j"$jobs" -L unit
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build/asan --output-on-failure -j"$jobs" -L ui

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzz targets"
  scripts/fuzz.sh
fi
echo "All tests passed."
