#!/bin/sh
# The server's Debian package: built by scripts/package-server.sh, unpacked
# into a temporary root, its unit checked (systemd-analyze verify, the
# sandbox settings), then the server started exactly as the unit's
# ExecStartPre= and ExecStart= lines say, with the packaged settings file,
# against a fresh database in the temporary root.
#
#   package-test.sh SOURCE_DIR BUILD_DIR
set -eu
src=$1
build=$2
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
fail() { echo "package-test: $*" >&2; exit 1; }

deb=$("$src/scripts/package-server.sh" "$build" "$work")
root=$work/root
dpkg-deb -x "$deb" "$root"
unit=$root/lib/systemd/system/lumen-server.service
for f in usr/bin/lumen-server lib/systemd/system/lumen-server.service etc/default/lumen-server; do
  [ -f "$root/$f" ] || fail "$f missing from the package"
done
dpkg-deb -f "$deb" Depends | grep -q libpq5 || fail "no dependency on libpq5"
for setting in DynamicUser=yes StateDirectory=lumen-server ProtectSystem=strict NoNewPrivileges=yes \
  Restart=on-failure 'ExecReload=/bin/kill -HUP $MAINPID'; do
  grep -qxF "$setting" "$unit" || fail "the unit lacks $setting"
done

# The binary is not installed on this machine: verify a copy pointing at
# the unpacked one; anything systemd-analyze says is a failure.
if command -v systemd-analyze >/dev/null; then
  mkdir -p "$work/verify"
  sed "s|/usr/bin/lumen-server|$root/usr/bin/lumen-server|g" "$unit" >"$work/verify/lumen-server.service"
  said=$(systemd-analyze verify "$work/verify/lumen-server.service" 2>&1) || fail "systemd-analyze verify: $said"
  [ -z "$said" ] || fail "systemd-analyze verify: $said"
fi

# The service's settings, with its state and log folders inside the root.
set -a
. "$root/etc/default/lumen-server"
set +a
state=$root/var/lib/lumen-server
mkdir -p "$state" "$root/var/log/lumen-server"
LUMEN_DB=$state/community.db
LUMEN_FILES=$state/files
LUMEN_LISTEN=127.0.0.1:0
line() {  # KEY: the command of that line of the unit, run from the root
  sed -n "s/^$1=//p" "$unit" | sed "s|/usr/bin/lumen-server|$root/usr/bin/lumen-server|g; s|/var/log/|$root/var/log/|g"
}
eval "$(line ExecStartPre)" || fail "ExecStartPre failed"
[ -f "$LUMEN_DB" ] || fail "ExecStartPre made no database"
fifo=$work/fifo
mkfifo "$fifo"
eval "exec $(line ExecStart)" >"$fifo" &
pid=$!
read -r banner <"$fifo" || fail "the server did not start"
port=${banner##*:}
stats=$(curl -sf -A CORVANENEWS "http://127.0.0.1:$port/lumennews/index.php?op=outmestats2") || fail "no statistics"
[ "$(echo "$stats" | wc -l)" = 9 ] || fail "statistics: $stats"
sleep 1.5  # the request log is written once a second
grep -q "op=outmestats2" "$root/var/log/lumen-server/requests.log" || fail "no request log"
kill -TERM "$pid"
wait "$pid" || fail "the server did not stop cleanly"
pid=
# A second start keeps the database made by the first.
eval "$(line ExecStartPre)" || fail "ExecStartPre failed on an existing database"
echo "package-test: $(basename "$deb") installs, verifies and serves"
