#!/bin/sh
# Throughput of the community server against nginx serving the same bytes
# as static files, with wrk on loopback (bounded in time): requests/s and
# p99 for the feed, the shout list and the statistics at 16 and at 1000
# connections, then the other replies at 16, then 16 connections posting
# shouts at once (none may be lost or doubled). Installs wrk and
# nginx-light when missing (as root). Prints the figures; nothing here is
# a test.
#
#   scripts/bench-server.sh [BUILD_DIR] [SECONDS]
#
# LUMEN_SERVER=PATH benchmarks another lumen-server binary (an older build).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
seconds=${2:-10}
server=${LUMEN_SERVER:-$build/server/lumen-server}
crowd=1000
[ -x "$server" ] || { echo "bench-server: build lumen-server first" >&2; exit 1; }
for tool in wrk nginx sqlite3; do
  command -v "$tool" >/dev/null || {
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends wrk nginx-light sqlite3 >/dev/null
  }
done
# wrk, nginx and the server each hold a descriptor per connection.
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true
[ "$(ulimit -n)" = unlimited ] || [ "$(ulimit -n)" -ge $((crowd * 2 + 100)) ] ||
  echo "bench-server: ulimit -n is $(ulimit -n); the $crowd-connection runs may fail" >&2
work=$(mktemp -d)
cleanup() {
  [ -n "${spid:-}" ] && kill "$spid" 2>/dev/null && wait "$spid" 2>/dev/null
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM HUP PIPE

"$server" init --db "$work/c.db" --sample server/data >/dev/null
# The whole crowd comes from 127.0.0.1: lift the per-address cap where the
# server has one.
extra=
"$server" serve --help | grep -q -- --max-per-address && extra="--max-per-address $((crowd * 2))"
fifo=$work/fifo
mkfifo "$fifo"
# shellcheck disable=SC2086
"$server" serve --db "$work/c.db" --listen 127.0.0.1:0 --shout-interval 0 --log "$work/requests.log" $extra >"$fifo" &
spid=$!
read -r banner <"$fifo"
port=${banner##*:}
base=http://127.0.0.1:$port/lumennews/index.php

# nginx: the same bytes as static files, one worker per core.
mkdir -p "$work/www" "$work/nginx"
# nginx's workers may run as another user: they must reach the files.
chmod 755 "$work" "$work/www"
curl -s "$base?op=outmerss" >"$work/www/feed.xml"
curl -s "$base?op=outme" >"$work/www/outme.html"
curl -s "$base?op=outmestats2" >"$work/www/stats.txt"
chmod 644 "$work/www/"*
nginx_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/nginx.conf" <<CONF
worker_processes auto;
worker_rlimit_nofile 8192;
pid $work/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 4096; }
http {
  access_log off;
  client_body_temp_path $work/nginx; proxy_temp_path $work/nginx; fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx; scgi_temp_path $work/nginx;
  server { listen 127.0.0.1:$nginx_port; root $work/www; }
}
CONF
nginx -c "$work/nginx.conf"
sleep 0.5
nginx_base=http://127.0.0.1:$nginx_port

# run LABEL URL CONNECTIONS: one wrk run; sets rps and p99 (ms), prints a line.
run() {
  out=$(wrk -t2 -c"$3" -d"${seconds}s" --timeout 5s --latency -H 'User-Agent: CORVANENEWS' "$2")
  rps=$(echo "$out" | awk '/Requests\/sec/ {print $2}')
  p99=$(echo "$out" | awk '$1 == "99%" {v = $2; if (v ~ /us$/) v = v / 1000; else if (v ~ /ms$/) v = v + 0;
                              else if (v ~ /s$/) v = v * 1000; print v}')
  errors=$(echo "$out" | awk '/Socket errors|Non-2xx/ {sub(/^ +/, ""); printf "%s; ", $0}')
  printf '%-38s %6s conns %10s req/s  p99 %8s ms  %s\n' "$1" "$3" "$rps" "$p99" "${errors:-no errors}"
}

echo "lumen-server against nginx, $(nproc) cores, ${seconds} s a run"
for conns in 16 $crowd; do
  for reply in "feed|op=outmerss|feed.xml" "shout list|op=outme|outme.html" "statistics|op=outmestats2|stats.txt"; do
    name=${reply%%|*}
    rest=${reply#*|}
    run "nginx $name" "$nginx_base/${rest#*|}" "$conns"
    nrps=$rps
    run "server $name" "$base?${rest%%|*}" "$conns"
    echo "  $name: server / nginx = $(echo "$rps $nrps" | awk '{printf "%.2f", $1 / $2}')"
  done
done
run "server category (op=outcat)" "$base?op=outcat&cat=Plugins" 16
# These two write to the store on every request (read and download counts).
run "server article page (op=article)" "$base?op=article&sid=101" 16
run "server download (counted)" "http://127.0.0.1:$port/lumennews/files/weatherglobe_1.2.tar.gz" 16

# Posts: 16 connections, every message different.
cat >"$work/post.lua" <<'LUA'
local threads = 0
setup = function(thread)
  threads = threads + 1
  thread:set("id", threads)
end
local n = 0
request = function()
  n = n + 1
  return wrk.format("GET", "/lumennews/index.php?op=inme&n=bench&p=m-" .. id .. "-" .. n)
end
LUA
before=$("$server" stats --db "$work/c.db" | sed -n 5p)
out=$(wrk -t2 -c16 -d"${seconds}s" -s "$work/post.lua" "$base")
sent=$(echo "$out" | awk '/requests in/ {print $1}')
rate=$(echo "$out" | awk '/Requests\/sec/ {print $2}')
after=$("$server" stats --db "$work/c.db" | sed -n 5p)
unique=$(sqlite3 "$work/c.db" "SELECT COUNT(DISTINCT message) FROM shouts WHERE nick = 'bench'")
echo "posts: $sent answered at $rate/s; shouts $before -> $after, $unique distinct bench messages"
