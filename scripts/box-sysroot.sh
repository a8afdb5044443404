#!/bin/sh
# Builds the libraries a box build links against, for one CPU, into
# build/sysroot/CPU (kept between runs: a finished sysroot is not rebuilt).
#
#   scripts/box-sysroot.sh CPU        CPU: mipsel armhf mips powerpc
#
# mipsel, armhf: Debian 12 has these architectures. Their packages are
# downloaded with a private apt set-up (the machine's own apt state and
# architectures are left alone; Multi-Arch installs would need the
# machine's packages at the archive's point release) and unpacked with
# dpkg-deb: everything the plug-in, the emulated host, the servers and the
# tests link against, and the C library that qemu runs them with.
# mips, powerpc: Debian 12 has cross compilers but no such architecture:
# libsigc++ (../shared/third_party beside the checkout), googletest
# (/usr/src/googletest) and expat
# (Debian's source package) are built with the box toolchain file.
set -eu
cpu=${1:?usage: box-sysroot.sh mipsel|armhf|mips|powerpc}
repo=$(cd "$(dirname "$0")/.." && pwd)
top="$repo/build/sysroot"
root="$top/$cpu"
stamp="$root/.complete"
case $cpu in
  mipsel|armhf) kind=debian ;;
  mips|powerpc) kind=source ;;
  *) echo "box-sysroot: unknown CPU $cpu" >&2; exit 2 ;;
esac
# What a finished sysroot was made from: change this and it is made again.
LE_PACKAGES="libc6 libstdc++6 libgcc-s1 libsigc++-3.0-dev libcurl4-openssl-dev libexpat1-dev
  libpng-dev libfreetype-dev libgtest-dev libgmock-dev libcpp-httplib-dev libsqlite3-dev
  libutf8proc-dev libpq-dev libboost1.81-dev libsodium-dev"
recipe="$kind 3 $LE_PACKAGES"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ]; then
  exit 0
fi
start=$(date +%s)
rm -rf "$root"
mkdir -p "$root"

# A private apt: our own lists, cache and an empty dpkg status, for the
# box's architecture only, from the machine's own Debian sources.
private_apt() {
  apt_dir="$top/apt-${2:-$1}"
  rm -rf "$apt_dir/etc"
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/etc"
  : >"$apt_dir/status"
  cp /etc/apt/sources.list.d/*.sources "$apt_dir/etc/" 2>/dev/null || true
  if [ -f /etc/apt/sources.list ]; then cp /etc/apt/sources.list "$apt_dir/etc/sources.list"
  else : >"$apt_dir/etc/sources.list"; fi
  APT="-o APT::Architecture=$1 -o APT::Architectures=$1
    -o Dir::State::Lists=$apt_dir/lists -o Dir::State::status=$apt_dir/status
    -o Dir::Cache=$apt_dir/cache -o Dir::Etc::SourceList=$apt_dir/etc/sources.list
    -o Dir::Etc::SourceParts=$apt_dir/etc -o Debug::NoLocking=1 -o APT::Sandbox::User=root"
  # shellcheck disable=SC2086
  apt-get $APT -q update >/dev/null
}

if [ $kind = debian ]; then
  private_apt "$cpu"
  # Every dependency, less the compilers and C headers: the cross
  # toolchain brings its own, of the same release.
  # shellcheck disable=SC2086
  pkgs=$(apt-cache $APT depends --recurse --no-recommends --no-suggests --no-conflicts \
           --no-breaks --no-replaces --no-enhances $LE_PACKAGES |
         sed -n 's/^\([a-z0-9][a-z0-9.+-]*\)$/\1/p' | sort -u |
         grep -Ev '^(libc6-dev|libc-dev-bin|linux-libc-dev|libcrypt-dev|libnsl-dev|libtirpc-dev|libstdc\+\+-[0-9]+-dev|libgcc-[0-9]+-dev|gcc|gcc-[0-9]+|cpp|cpp-[0-9]+|g\+\+|g\+\+-[0-9]+|binutils.*|perl.*|debconf.*|dpkg|tar|install-info)$')
  debs="$top/debs-$cpu"
  mkdir -p "$debs"
  # shellcheck disable=SC2086
  (cd "$debs" && apt-get $APT -q download $pkgs >/dev/null)
  for deb in "$debs"/*.deb; do dpkg-deb -x "$deb" "$root"; done
  # Absolute links would leave the sysroot when qemu or the linker follows them.
  find "$root" -type l | while read -r link; do
    target=$(readlink "$link")
    case $target in
      /*) rel=$(realpath -m --relative-to="$(dirname "$link")" "$root$target")
          ln -sfn "$rel" "$link" ;;
    esac
  done
  echo "box-sysroot: $cpu: $(ls "$debs" | wc -l) packages"
else
  tc="$repo/cmake/box-toolchain.cmake"
  work="$top/src-$cpu"
  rm -rf "$work"
  mkdir -p "$work"
  # The machine's Debian sources, as source lines.
  private_apt amd64 "src-$cpu"
  sed -i 's/^Types: *deb$/Types: deb-src/' "$apt_dir"/etc/*.sources
  sed -i 's/^deb /deb-src /' "$apt_dir/etc/sources.list"
  # shellcheck disable=SC2086
  apt-get $APT -q update >/dev/null
  # shellcheck disable=SC2086
  (cd "$work" && apt-get $APT -q source expat/bookworm >/dev/null)
  expat_src=$(find "$work" -maxdepth 3 -name CMakeLists.txt -path '*expat*' | head -1)
  # libsigc++ 3.4.0 is in no Debian source archive this machine reaches: it
  # comes from the third-party folder beside the checkout.
  third="$repo/../shared/third_party/libsigc++-3.4.0.tar.gz"
  [ -f "$third" ] || { echo "box-sysroot: $cpu needs $third" >&2; exit 3; }
  tar -xzf "$third" -C "$work"
  sigc_src=$(dirname "$(find "$work" -maxdepth 2 -name CMakeLists.txt -path '*sigc*' | head -1)")
  build_one() {  # source dir, build dir, target, extra cmake arguments
    src=$1; bld=$2; target=$3; shift 3
    cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" -DLUMEN_BOX_CPU="$cpu" \
      -DLUMEN_BOX_NO_SYSROOT=ON -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      "$@" >/dev/null 2>&1
    # Debian's patches test the configuration macros for the value 1.
    [ ! -f "$bld/expat_config.h" ] || sed -i 's/^#define \(XML_[A-Z]*\)$/#define \1 1/' "$bld/expat_config.h"
    cmake --build "$bld" -j 2 --target "$target" >/dev/null
    DESTDIR="$root" cmake --install "$bld" >/dev/null
  }
  # The library alone: its CMake build always adds its examples and tests.
  build_one "$sigc_src" "$work/b-sigc" sigc-3.0
  build_one /usr/src/googletest "$work/b-gtest" all
  build_one "$(dirname "$expat_src")" "$work/b-expat" all -DEXPAT_BUILD_TOOLS=OFF \
    -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF
  rm -rf "$work"
fi
echo "$recipe" >"$stamp"
echo "box-sysroot: $cpu ready in $(($(date +%s) - start)) s"
