#!/bin/sh
# The plug-in built as a box builder with a host of their own would: against
# host headers and a signal library outside the checkout (this checkout's
# host/ and the build's libsigc++, copied elsewhere), given with
# LUMEN_HOST_INCLUDE_DIR, LUMEN_SIGNAL_INCLUDE_DIRS and LUMEN_SIGNAL_LIBRARY.
# No header may come from the checkout's host/ or the library's own folders,
# and the stripped object must be the one BUILD_DIR makes.
#   outside-host-test.sh BUILD_DIR SOURCE_DIR STRIP
set -eu
build=$1 src=$2 strip=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "outside-host-test: $*" >&2; exit 1; }
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }

outside="$work/outside"
mkdir -p "$outside/host-sdk" "$outside/signal/lib"
cp -R "$src/host" "$outside/host-sdk/"
signal_includes="" n=0
for dir in $(cache_value SIGCPP_INCLUDE_DIRS | tr ';' ' '); do
  n=$((n + 1))
  cp -R "$dir" "$outside/signal/include$n"
  signal_includes="$signal_includes${signal_includes:+;}$outside/signal/include$n"
done
library="lib$(cache_value SIGCPP_LIBRARIES).so"
cp -L "$(cache_value SIGCPP_LIBRARY_DIRS)/$library" "$outside/signal/lib/"

# The build's own settings, then the outside host interface.
set --
for name in CMAKE_TOOLCHAIN_FILE LUMEN_BOX_CPU LUMEN_BOX_CPU_FLAGS CMAKE_BUILD_TYPE \
            CMAKE_C_COMPILER CMAKE_CXX_COMPILER CMAKE_C_FLAGS CMAKE_CXX_FLAGS LUMEN_BASE_ADDRESS; do
  value=$(cache_value "$name")
  [ -z "$value" ] || set -- "$@" "-D$name=$value"
done
nested="$work/build"
cmake -S "$src" -B "$nested" -G Ninja "$@" -DLUMEN_BUILD_HOST=OFF -DLUMEN_BUILD_SERVER=OFF \
  -DLUMEN_BUILD_TESTS=OFF -DLUMEN_BUILD_BENCHMARKS=OFF -DLUMEN_BOX_UNIT_TESTS=OFF \
  -DLUMEN_HOST_INCLUDE_DIR="$outside/host-sdk" -DLUMEN_SIGNAL_INCLUDE_DIRS="$signal_includes" \
  -DLUMEN_SIGNAL_LIBRARY="$outside/signal/lib/$library" >"$work/configure.log" 2>&1 ||
  fail "configure: $(tail -n 20 "$work/configure.log")"
cmake --build "$nested" --target lumennews -j 2 >"$work/build.log" 2>&1 ||
  fail "build: $(tail -n 20 "$work/build.log")"

# The headers each object was compiled from.
deps=$(ninja -C "$nested" -t deps)
echo "$deps" | grep -q "$outside/host-sdk/host/ewidget.h" || fail "the outside host/ was not used"
echo "$deps" | grep -q "$outside/signal/include1/" || fail "the outside signal library headers were not used"
inside=$(echo "$deps" | grep -E "^ +($src/host/|$(cache_value SIGCPP_INCLUDE_DIRS | sed 's/;/|/g'))" | sort -u | head -n 5)
[ -z "$inside" ] || fail "headers read from the checkout or the library's own folders: $inside"
grep -q "$outside/signal/lib/$library" "$nested/build.ninja" || fail "not linked with the outside library"

"$strip" -o "$work/outside.so" "$nested/plugin/lumennews.so"
"$strip" -o "$work/build.so" "$build/plugin/lumennews.so"
cmp -s "$work/outside.so" "$work/build.so" || fail "the object differs from $build's"
echo "outside-host-test: built against $outside/host-sdk and $library copied outside: the same object"
