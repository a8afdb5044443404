#!/bin/sh
# The package of this build: its entries, modes and control file, then the
# tarball unpacked over a fresh box root and the plug-in run from there by
# lumenhost (when LUMENHOST is given: a build for this machine).
#   package-test.sh BUILD_DIR PACKAGE_SCRIPT [LUMENHOST]
set -eu
build=$1 package=$2 lumenhost=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package-test: $*" >&2; exit 1; }
# Built under the strictest umask, and again under the usual one: the same
# bytes, whatever the builder's umask.
(umask 077 && "$package" "$build" "$work/out" >/dev/null)
(umask 022 && "$package" "$build" "$work/out022" >/dev/null)
ipk=$(ls "$work"/out/*.ipk) tarball=$(ls "$work"/out/*.tar.gz)
for f in "$ipk" "$tarball"; do
  cmp -s "$f" "$work/out022/$(basename "$f")" || fail "$(basename "$f") differs with the umask"
done

[ "$(ar t "$ipk" | tr '\n' ' ')" = "debian-binary control.tar.gz data.tar.gz " ] || fail "ipk members: $(ar t "$ipk")"
[ "$(ar p "$ipk" debian-binary)" = "2.0" ] || fail "debian-binary"
control=$(ar p "$ipk" control.tar.gz | tar -xzOf - ./control)
for field in "Package: lumennews" "Version: [0-9.]+" "Architecture: [a-z0-9_-]+" \
             "Depends: libsigc\+\+" "Description: .+"; do
  echo "$control" | grep -Eq "^$field" || fail "control lacks $field: $control"
done
# Mode, owner and name of every entry: no / or /var, folders rwxr-xr-x.
expected="drwxr-xr-x 0/0 ./var/tuxbox/
drwxr-xr-x 0/0 ./var/tuxbox/plugins/
-rw-r--r-- 0/0 ./var/tuxbox/plugins/LumenNews.png
-rw-r--r-- 0/0 ./var/tuxbox/plugins/LumenNews2.png
-rw-r--r-- 0/0 ./var/tuxbox/plugins/lumennews.so"
entries() { tar -tvzf - | awk '{print $1, $2, $6}'; }
[ "$(entries <"$tarball")" = "$expected" ] || fail "tarball holds: $(entries <"$tarball")"
ar p "$ipk" data.tar.gz | cmp -s - "$tarball" || fail "ipk data differs from the tarball"
dpkg-deb -c "$ipk" | grep -q ' ./var/tuxbox/plugins/lumennews.so$' || fail "dpkg-deb -c: $(dpkg-deb -c "$ipk")"

# Unpacked as the README says over a box root whose /var is a symbolic link
# (to a flash partition, say): the link, and the modes of / and of the
# folder it names, stay as they were.
box="$work/box"
mkdir -p "$box/media/var/tmp" "$box/media/var/keys"
chmod 755 "$box" "$box/media/var"
ln -s media/var "$box/var"
tar -xzf "$tarball" -C "$box"
[ -L "$box/var" ] || fail "unpacking replaced the symbolic link at /var"
[ "$(stat -c %a "$box") $(stat -c %a "$box/media/var")" = "755 755" ] ||
  fail "unpacking changed the modes of / and /var: $(stat -c %a "$box") $(stat -c %a "$box/media/var")"
[ -f "$box/media/var/tuxbox/plugins/lumennews.so" ] || fail "the plug-in did not land under /var"

if [ -z "$lumenhost" ]; then
  echo "package-test: $(basename "$ipk") and $(basename "$tarball") hold the box's files and unpack over it"
  exit 0
fi

# The plug-in run from that box root, which has /var/tmp and /var/keys.
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
