#!/bin/sh
# Installs what is missing, builds and runs every test: the normal build,
# then the sanitizer (ASan + UBSan) build.
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
