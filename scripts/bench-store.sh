#!/bin/sh
# The store's figures, in one run, on SQLite and on PostgreSQL (a throwaway
# cluster on loopback, scripts/pg-cluster.sh), against nginx serving the
# same bytes as static files:
#   - the cached feed and the article page (a counted read), with wrk;
#   - durable posts per second with group commit against one commit per
#     post (--commit-batch 1), at 16 and 64 connections;
#   - two servers on one PostgreSQL behind nginx against one server, on
#     the article page.
# Prints the figures; nothing here is a test. Loopback only, bounded in time.
#
#   scripts/bench-store.sh [BUILD_DIR] [SECONDS]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
seconds=${2:-5}
server=$(pwd)/$build/server/lumen-server
[ -x "$server" ] || { echo "bench-store: build lumen-server first" >&2; exit 1; }
work=$(mktemp -d)
chmod 0755 "$work"  # the cluster's folder is the postgres user's
pids=""
cleanup() {
  for p in $pids; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null
  scripts/pg-cluster.sh stop "$work/pg" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT INT TERM
pg=$(scripts/pg-cluster.sh start "$work/pg")
pgbase=${pg%/postgres}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# start DB [OPTIONS...]: serves DB; sets $port, adds to $pids.
start() {
  db=$1
  shift
  fifo=$work/fifo.$$.$(date +%s%N)
  mkfifo "$fifo"
  # Behind nginx every request comes from one address: room for all its connections.
  "$server" serve --db "$db" --files "$work/files" --listen 127.0.0.1:0 --shout-interval 0 \
    --max-per-address 10000 --log /dev/null "$@" >"$fifo" &
  last=$!
  pids="$pids $last"
  read -r banner <"$fifo"
  port=${banner##*:}
}
stop_last() {
  kill "$last"
  wait "$last" 2>/dev/null || true
}

# wrk_rps NAME URL CONNECTIONS [SCRIPT]: prints and keeps $rps.
wrk_rps() {
  script=${4:+-s $4}
  RUN=r$(date +%s%N)  # every post of every run a message of its own
  export RUN
  # shellcheck disable=SC2086
  out=$(wrk -t2 -c"$3" -d"${seconds}s" --latency -H 'User-Agent: CORVANENEWS' $script "$2")
  rps=$(echo "$out" | awk '/Requests\/sec/ {print $2}')
  p99=$(echo "$out" | awk '$1 == "99%" {print $2}')
  errors=$(echo "$out" | awk '/Non-2xx|Socket errors/ {print}' | tr '\n' ' ')
  printf '%-58s %10s req/s  p99 %-8s %s\n' "$1" "$rps" "$p99" "$errors"
}
ratio() { echo "$1 $2" | awk '{printf "%.2f", $1 / $2}'; }

cat >"$work/post.lua" <<'LUA'
local threads = 0
setup = function(thread)
  threads = threads + 1
  thread:set("id", threads)
end
local n = 0
request = function()
  n = n + 1
  return wrk.format("GET", "/lumennews/index.php?op=inme&n=bench&p=" .. os.getenv("RUN") .. "-" .. id .. "-" .. n)
end
LUA

nginx_port=$(free_port)
mkdir -p "$work/www" "$work/nginx"
cat >"$work/nginx.conf" <<CONF
worker_processes auto;
pid $work/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 4096; }
http {
  access_log off;
  client_body_temp_path $work/nginx; proxy_temp_path $work/nginx; fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx; scgi_temp_path $work/nginx;
  upstream lumen { server 127.0.0.1:1 down; keepalive 8; include $work/upstreams.conf; }
  server { listen 127.0.0.1:$nginx_port; root $work/www;
    location /lumennews/ { proxy_pass http://lumen; proxy_http_version 1.1; proxy_set_header Connection "";
      proxy_next_upstream off; } }
}
CONF
echo "" >"$work/upstreams.conf"

echo "== machine: $(nproc) cores, $(uname -m), $(date -u +%Y-%m-%dT%H:%MZ); wrk -t2, ${seconds} s per figure"
for backend in sqlite postgres; do
  if [ $backend = sqlite ]; then
    db=$work/c.db
  else
    psql -q "$pg" -c "CREATE DATABASE bench" >/dev/null
    db=$pgbase/bench
  fi
  "$server" init --db "$db" --sample server/data --files "$work/files" >/dev/null
  start "$db"
  base=http://127.0.0.1:$port/lumennews/index.php
  if [ $backend = sqlite ]; then  # the same bytes for nginx, once
    curl -s "$base?op=outmerss" >"$work/www/feed.xml"
    curl -s "$base?op=article&sid=101" >"$work/www/article.html"
    nginx -c "$work/nginx.conf"
    sleep 0.5
    echo "== nginx, static files of the same bytes"
    wrk_rps "nginx feed.xml (16 conn)" "http://127.0.0.1:$nginx_port/feed.xml" 16
    nginx_feed=$rps
    wrk_rps "nginx article.html (16 conn)" "http://127.0.0.1:$nginx_port/article.html" 16
    nginx_article=$rps
  fi
  echo "== $backend: one server"
  wrk_rps "$backend feed, cached (16 conn)" "$base?op=outmerss" 16
  echo "   ratio to nginx: $(ratio "$rps" "$nginx_feed")"
  wrk_rps "$backend article page, counted read (16 conn)" "$base?op=article&sid=101" 16
  echo "   ratio to nginx: $(ratio "$rps" "$nginx_article")"
  one_article=$rps
  for c in 16 64; do
    wrk_rps "$backend posts, group commit ($c conn)" "$base" "$c" "$work/post.lua"
    group=$rps
    stop_last
    start "$db" --commit-batch 1
    base=http://127.0.0.1:$port/lumennews/index.php
    wrk_rps "$backend posts, one commit per post ($c conn)" "$base" "$c" "$work/post.lua"
    echo "   group commit / one commit per post: $(ratio "$group" "$rps")"
    stop_last
    start "$db"
    base=http://127.0.0.1:$port/lumennews/index.php
  done
  if [ $backend = postgres ]; then
    first=$port
    start "$db"
    echo "server 127.0.0.1:$first; server 127.0.0.1:$port;" >"$work/upstreams.conf"
    kill -HUP "$(cat "$work/nginx.pid")"
    sleep 1
    echo "== postgres: two servers behind nginx"
    wrk_rps "nginx -> 2 servers, article page (64 conn)" "http://127.0.0.1:$nginx_port/lumennews/index.php?op=article&sid=101" 64
    two=$rps
    echo "server 127.0.0.1:$first;" >"$work/upstreams.conf"
    kill -HUP "$(cat "$work/nginx.pid")"
    sleep 1
    wrk_rps "nginx -> 1 server, article page (64 conn)" "http://127.0.0.1:$nginx_port/lumennews/index.php?op=article&sid=101" 64
    echo "   two servers / one server behind nginx: $(ratio "$two" "$rps")"
  fi
  for p in $pids; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  pids=""
  echo "   posts stored once each: $("$server" shouts --db "$db" | awk -F'\t' '$3 == "bench" {print $4}' | sort | uniq -d | wc -l) doubled (of the newest 1000)"
done
