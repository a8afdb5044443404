#!/bin/sh
# Throughput of the community server against nginx serving the same feed
# bytes as a static file, with wrk on loopback (16 connections, bounded in
# time), then 16 connections posting shouts at once (none may be lost or
# doubled). Installs wrk and nginx-light when missing (as root). Prints the
# figures; nothing here is a test.
#
#   scripts/bench-server.sh [BUILD_DIR] [SECONDS]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
seconds=${2:-10}
server=$build/server/lumen-server
[ -x "$server" ] || { echo "bench-server: build lumen-server first" >&2; exit 1; }
for tool in wrk nginx sqlite3; do
  command -v "$tool" >/dev/null || {
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends wrk nginx-light sqlite3 >/dev/null
  }
done
work=$(mktemp -d)
cleanup() {
  [ -n "${spid:-}" ] && kill "$spid" 2>/dev/null && wait "$spid" 2>/dev/null
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$server" init --db "$work/c.db" --sample server/data >/dev/null
fifo=$work/fifo
mkfifo "$fifo"
"$server" serve --db "$work/c.db" --listen 127.0.0.1:0 --shout-interval 0 --log "$work/requests.log" >"$fifo" &
spid=$!
read -r banner <"$fifo"
port=${banner##*:}

# nginx: the same feed bytes as a static file, one worker per core.
mkdir -p "$work/www" "$work/nginx"
curl -s "http://127.0.0.1:$port/lumennews/index.php?op=outmerss" >"$work/www/feed.xml"
cat >"$work/nginx.conf" <<CONF
worker_processes auto;
pid $work/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/nginx; proxy_temp_path $work/nginx; fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx; scgi_temp_path $work/nginx;
  server { listen 127.0.0.1:18089; root $work/www; }
}
CONF
nginx -c "$work/nginx.conf"
sleep 0.5

run() {  # name url
  out=$(wrk -t2 -c16 -d"${seconds}s" --latency -H 'User-Agent: CORVANENEWS' "$2")
  rps=$(echo "$out" | awk '/Requests\/sec/ {print $2}')
  p99=$(echo "$out" | awk '$1 == "99%" {print $2}')
  echo "$1: $rps requests/s, p99 $p99"
  eval "rps_$3=$rps"
}
base=http://127.0.0.1:$port/lumennews/index.php
run "nginx static feed" "http://127.0.0.1:18089/feed.xml" nginx
run "server feed (op=outmerss)" "$base?op=outmerss" feed
run "server shout list (op=outme)" "$base?op=outme" outme
run "server statistics (op=outmestats2)" "$base?op=outmestats2" stats
run "server category (op=outcat)" "$base?op=outcat&cat=Plugins" cat
# These two write to the store on every request (read and download counts).
run "server article page (op=article)" "$base?op=article&sid=101" article
run "server download (counted)" "http://127.0.0.1:$port/lumennews/files/weatherglobe_1.2.tar.gz" download
echo "feed / nginx ratio: $(echo "$rps_feed $rps_nginx" | awk '{printf "%.2f", $1 / $2}')"

# Posts: 16 connections, 50 each, every message different.
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
