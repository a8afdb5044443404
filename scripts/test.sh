#!/bin/sh
# Installs what is missing, builds and runs every test: the normal build,
# the sanitizer build (ASan + UBSan), a short run of every fuzz target
# (libFuzzer, clang), then the box builds: the plug-in for the four box
# CPUs with its shipped-object and package checks, the big-endian unit
# tests under qemu, and the unit tests with unsigned char on this machine.
# The whole test set under qemu is scripts/test-box.sh.
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

echo "== box builds"
box_start=$(date +%s)
for cpu in mipsel armhf mips powerpc; do
  case $cpu in
    mips|powerpc)
      sigc=../shared/third_party/libsigc++-3.4.0.tar.gz
      if [ ! -f "$sigc" ]; then
        echo "== $cpu skipped: its sysroot builds libsigc++ from $sigc, not beside this checkout"
        continue
      fi ;;
  esac
  scripts/box-sysroot.sh "$cpu"
  cmake --preset "$cpu" >/dev/null
  case $cpu in
    mips|powerpc)  # no Debian architecture: the unit tests here, under qemu
      cmake --build --preset "$cpu" -j "$jobs"
      ctest --preset "$cpu" -j "$jobs" ;;
    *)  # the plug-in; scripts/test-box.sh runs every test under qemu
      cmake --build --preset "$cpu" -j "$jobs" --target lumennews
      ctest --preset "$cpu" -R '^box_(shipped_plugin|package|outside_host)$' ;;
  esac
done
cmake --preset unsigned-char >/dev/null
cmake --build --preset unsigned-char -j "$jobs"
ctest --preset unsigned-char -j "$jobs"
echo "== box builds took $(($(date +%s) - box_start)) s"
