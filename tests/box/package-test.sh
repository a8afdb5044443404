#!/bin/sh
# The package of this build: its layout and control file, then the tarball
# installed into a fresh box root and the plug-in run from there by lumenhost
# (when LUMENHOST is given: a build for this machine).
#   package-test.sh BUILD_DIR PACKAGE_SCRIPT [LUMENHOST]
set -eu
build=$1 package=$2 lumenhost=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package-test: $*" >&2; exit 1; }
"$package" "$build" "$work/out" >/dev/null
ipk=$(ls "$work"/out/*.ipk) tarball=$(ls "$work"/out/*.tar.gz)

[ "$(ar t "$ipk" | tr '\n' ' ')" = "debian-binary control.tar.gz data.tar.gz " ] || fail "ipk members: $(ar t "$ipk")"
[ "$(ar p "$ipk" debian-binary)" = "2.0" ] || fail "debian-binary"
control=$(ar p "$ipk" control.tar.gz | tar -xzOf - ./control)
for field in "Package: lumennews" "Version: [0-9.]+" "Architecture: [a-z0-9_-]+" \
             "Depends: libsigc\+\+" "Description: .+"; do
  echo "$control" | grep -Eq "^$field" || fail "control lacks $field: $control"
done
expected="./var/tuxbox/plugins/LumenNews.png ./var/tuxbox/plugins/LumenNews2.png ./var/tuxbox/plugins/lumennews.so "
files() { tar -tzf "$1" | grep -v '/$' | sort | tr '\n' ' '; }
[ "$(files "$tarball")" = "$expected" ] || fail "tarball holds: $(files "$tarball")"
[ "$(ar p "$ipk" data.tar.gz | tar -tzf - | grep -v '/$' | sort | tr '\n' ' ')" = "$expected" ] || fail "ipk data differs"
dpkg-deb -c "$ipk" | grep -q ' ./var/tuxbox/plugins/lumennews.so$' || fail "dpkg-deb -c: $(dpkg-deb -c "$ipk")"

if [ -z "$lumenhost" ]; then
  echo "package-test: $(basename "$ipk") and $(basename "$tarball") hold the box's files"
  exit 0
fi

# Installed as a box would: unpacked over its root, which has /var/tmp and /var/keys.
box="$work/box"
mkdir -p "$box/var/tmp" "$box/var/keys"
tar -xzf "$tarball" -C "$box"
out=$(timeout 60 "$lumenhost" --root "$box" --plugin "$box/var/tuxbox/plugins/lumennews.so" \
      --keys 'dump 7 dump' --dump -) || fail "lumenhost failed: $out"
# The main menu with its seven entries and its logo, then the about window
# with its own logo: both images come from the box's plug-in folder.
echo "$out" | grep -q 'shortcut="7"' || fail "no main menu: $out"
echo "$out" | grep -q '^window .*title="About' || fail "no about window: $out"
# Each window shown (menu, about) has its logo; a missing one adds an error box instead.
[ "$(echo "$out" | grep -c ' pixmap=')" -eq "$(echo "$out" | grep -c '^window ')" ] || fail "a logo is missing: $out"
echo "$out" | grep -q 'Error loading logo' && fail "a logo was not loaded: $out"
echo "package-test: $(basename "$ipk") and $(basename "$tarball") install and run"
