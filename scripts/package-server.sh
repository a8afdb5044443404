#!/bin/sh
# Builds the Debian package of the community server from a build folder:
# the stripped binary, the systemd unit and its commented settings file.
#
#   scripts/package-server.sh [BUILD_DIR] [OUT_DIR]
# Prints the path of the .deb made.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
out=${2:-$build}
binary=$build/server/lumen-server
[ -x "$binary" ] || { echo "package-server: build lumen-server first" >&2; exit 1; }
version=$(sed -n 's/^project([^)]*VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt | head -n 1)
version=${version:-0.1.0}
arch=$(dpkg --print-architecture)
stage=$(mktemp -d)
chmod 0755 "$stage"
trap 'rm -rf "$stage"' EXIT INT TERM

install -D -m 0755 "$binary" "$stage/usr/bin/lumen-server"
strip --strip-unneeded "$stage/usr/bin/lumen-server"
install -D -m 0644 packaging/lumen-server.service "$stage/lib/systemd/system/lumen-server.service"
install -D -m 0644 packaging/lumen-server.default "$stage/etc/default/lumen-server"
install -D -m 0644 packaging/lumen-server.logrotate "$stage/etc/logrotate.d/lumen-server"
mkdir -p "$stage/DEBIAN"
echo /etc/default/lumen-server >"$stage/DEBIAN/conffiles"
echo /etc/logrotate.d/lumen-server >>"$stage/DEBIAN/conffiles"
size=$(du -sk "$stage" | cut -f1)
cat >"$stage/DEBIAN/control" <<CONTROL
Package: lumen-server
Version: $version
Architecture: $arch
Maintainer: Lumen News <lumen@corvane.example>
Installed-Size: $size
Depends: libc6, libstdc++6, libgcc-s1, libsqlite3-0, libpq5
Suggests: postgresql, nginx
Section: net
Priority: optional
Description: community server of the Lumen News plug-in
 Serves news, the shoutbox, the download area and the statistics to the
 Lumen News plug-in, from SQLite on one machine or PostgreSQL for several
 servers behind a load balancer.
CONTROL
# The unit is started and reloaded by the usual Debian means.
cat >"$stage/DEBIAN/postinst" <<'POSTINST'
#!/bin/sh
set -e
if [ "$1" = configure ] && [ -d /run/systemd/system ]; then
  systemctl daemon-reload
  systemctl enable lumen-server.service >/dev/null
  systemctl restart lumen-server.service
fi
POSTINST
cat >"$stage/DEBIAN/prerm" <<'PRERM'
#!/bin/sh
set -e
if [ -d /run/systemd/system ]; then systemctl stop lumen-server.service || true; fi
PRERM
chmod 0755 "$stage/DEBIAN/postinst" "$stage/DEBIAN/prerm"
mkdir -p "$out"
deb=$out/lumen-server_${version}_${arch}.deb
dpkg-deb --root-owner-group --build "$stage" "$deb" >/dev/null
echo "$deb"
