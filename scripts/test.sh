#!/bin/sh
# Installs what is missing, builds and runs every test: the normal build,
# the sanitizer build (ASan + UBSan), then a short run of every fuzz target
# (libFuzzer, clang).
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
echo "== fuzz smoke runs"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs" --target fuzz_all
ctest --preset fuzz -j "$jobs"
