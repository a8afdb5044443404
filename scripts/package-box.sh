#!/bin/sh
# Packs what a build installs for the box (the plug-in, stripped, and its two
# logos under var/tuxbox/plugins/) as an opkg package and a plain tarball:
#   scripts/package-box.sh BUILD_DIR [OUT_DIR]
# gives OUT_DIR/lumennews_VERSION_ARCH.ipk and .tar.gz (OUT_DIR defaults
# to BUILD_DIR/package). ARCH is the build's LUMEN_OPKG_ARCH (the box feed's
# name for its CPU), or the machine's.
set -eu
build=$(cd "${1:?usage: package-box.sh BUILD_DIR [OUT_DIR]}" && pwd)
out=${2:-$build/package}
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
version=$(cache_value CMAKE_PROJECT_VERSION)
arch=$(cache_value LUMEN_OPKG_ARCH)
[ -n "$arch" ] || arch=$(uname -m | tr _ -)
depends=$(cache_value LUMEN_OPKG_DEPENDS)
name="lumennews_${version}_$arch"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data" "$work/control" "$out"
cmake --install "$build" --prefix "$work/data" --component box --strip >/dev/null
# Owned by root, modes and times fixed (rwxr-xr-x folders, rw-r--r-- files
# unless executable), whatever the builder's umask: the same tree gives the
# same bytes. pack DIR ARCHIVE MEMBER...
pack() {
  dir=$1 archive=$2; shift 2
  tar --owner=0 --group=0 --numeric-owner --mode=u=rwX,go=rX --mtime=@0 --sort=name \
    -C "$dir" -cf - "$@" | gzip -n9 >"$archive"
}
size=$(du -sk "$work/data" | cut -f1)
cat >"$work/control/control" <<EOF
Package: lumennews
Version: $version
Architecture: $arch
Maintainer: Lumen News developers
Depends: $depends
Section: extra
Priority: optional
Installed-Size: $size
Description: News and community plug-in for the box's GUI host
 Reads news feeds, the community shoutbox, statistics and download area,
 in English, French and Italian.
EOF
echo "2.0" >"$work/debian-binary"
pack "$work/control" "$work/control.tar.gz" .
# No entry for the box's / or its top folders (/var): unpacking would reset
# their modes, and turn a symbolic link at /var into a folder.
pack "$work/data" "$work/data.tar.gz" $(cd "$work/data" && find . -mindepth 2 -maxdepth 2 | sort)
rm -f "$out/$name.ipk"
# opkg reads the members in this order.
(cd "$work" && ar rcD "$out/$name.ipk" debian-binary control.tar.gz data.tar.gz)
cp "$work/data.tar.gz" "$out/$name.tar.gz"
echo "$out/$name.ipk"
echo "$out/$name.tar.gz"
