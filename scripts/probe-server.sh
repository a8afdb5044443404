#!/bin/sh
# Hostile load on the community server, on loopback, bounded in count and
# time; prints figures, is not a test.
#   1. Crowd: 10 000 idle connections and 1 000 that drip a head one byte a
#      second, spread over many 127.x.y.z addresses (each address under the
#      per-address cap), reconnecting when closed, while an ordinary client
#      from 127.0.0.1 asks for the statistics every 50 ms: its p99 and the
#      server's peak resident set.
#   2. Request shapes on a fresh server, 8 clients at a time: 2 700 ranges,
#      a million header fields, 100 KB URLs, 50 000 unknown file ids; the
#      peak resident set after each.
#   3. Log growth: 5 s of wrk with 8 000-byte URLs; bytes per logged line.
#
#   scripts/probe-server.sh [BUILD_DIR] [SECONDS]
#
# LUMEN_SERVER=PATH probes another lumen-server binary (an older build).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
seconds=${2:-30}
server=${LUMEN_SERVER:-$build/server/lumen-server}
[ -x "$server" ] || { echo "probe-server: build lumen-server first" >&2; exit 1; }
# The probe holds 11 000 sockets, the server as many.
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true
work=$(mktemp -d)
spid=
stop_server() {
  if [ -n "$spid" ]; then kill "$spid" 2>/dev/null; wait "$spid" 2>/dev/null || true; fi
  spid=
  # What the server said on standard error (failures, sanitizer reports).
  if [ -s "$work/err" ]; then head -5 "$work/err" | sed 's/^/  server: /'; : >"$work/err"; fi
}
trap 'stop_server; rm -rf "$work"' EXIT INT TERM HUP PIPE

start_server() {  # LOG
  rm -f "$work/fifo"
  mkfifo "$work/fifo"
  "$server" serve --db "$work/c.db" --listen 127.0.0.1:0 --shout-interval 0 --log "$1" >"$work/fifo" 2>"$work/err" &
  spid=$!
  read -r banner <"$work/fifo"
  port=${banner##*:}
}

"$server" init --db "$work/c.db" --sample server/data >/dev/null
echo "lumen-server probe, $(nproc) cores, $(ulimit -n) descriptors"
start_server /dev/null
python3 scripts/probe/crowd.py "$port" "$spid" "$seconds"
stop_server

start_server "$work/requests.log"
python3 scripts/probe/shapes.py "$port" "$spid"
stop_server

start_server "$work/requests.log"
: >"$work/requests.log"
if command -v wrk >/dev/null; then
  wrk -t2 -c16 -d5s "http://127.0.0.1:$port/lumennews/index.php?op=outme&pad=$(head -c 8000 /dev/zero | tr '\0' u)" \
    >"$work/wrk.txt" 2>&1 || true
  lines=$(wc -l <"$work/requests.log")
  bytes=$(wc -c <"$work/requests.log")
  longest=$(awk '{ if (length($0) > m) m = length($0) } END { print m + 0 }' "$work/requests.log")
  echo "log: $lines lines, $bytes bytes in 5 s of 8000-byte URLs; longest line $longest bytes"
fi
stop_server
