#!/bin/sh
# The store's figures, in one run, on SQLite and on PostgreSQL (a throwaway
# cluster on loopback, scripts/pg-cluster.sh), against nginx serving the
# same bytes as static files:
#   - the cached feed and the article page (a counted read), with wrk;
#   - durable posts per second with group commit against one commit per
#     post (--commit-batch 1), at 16 and 64 connections;
#   - two servers on one PostgreSQL behind nginx against one server, on
#     the article page.
# Installs wrk, nginx-light and curl when missing (as root). Prints the
# figures; nothing here is a test. Loopback only, bounded in time. The
# shared pieces are in scripts/bench-common.sh.
#
#   scripts/bench-store.sh [BUILD_DIR] [SECONDS]
set -eu
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
build=${1:-build/default}
seconds=${2:-5}
bench_begin bench-store "$(pwd)/$build/server/lumen-server" "$seconds"
bench_need wrk nginx curl
stop_all() {
  # The servers hold connections to the cluster: they go first.
  bench_stop_servers
  scripts/pg-cluster.sh stop "$bench_work/pg" >/dev/null 2>&1 || true
  bench_cleanup
}
trap stop_all EXIT
pg=$(scripts/pg-cluster.sh start "$bench_work/pg")
pgbase=${pg%/postgres}

# start [OPTIONS...]: a server on $db; sets $base.
start() {
  # Behind nginx every request comes from one address: room for all its connections.
  bench_serve "$db" --files "$bench_work/files" --max-per-address 10000 --log /dev/null "$@"
  base=http://127.0.0.1:$bench_port/lumennews/index.php
}

# figure NAME URL CONNECTIONS [posts]: one wrk run, printed; keeps $bench_rps.
figure() {
  if [ "${4:-}" = posts ]; then bench_posts "$3" "$2"; else bench_wrk "$3" "$2"; fi
  printf '%-58s %10s req/s  p99 %8s ms  %s\n' "$1" "$bench_rps" "$bench_p99" "$bench_errors"
}

# nginx: static files, and a proxy to the servers listed in upstreams.conf
# (none until the two-server part).
echo "" >"$bench_work/upstreams.conf"
upstream="upstream lumen { server 127.0.0.1:1 down; keepalive 8; include $bench_work/upstreams.conf; }"
proxy='location /lumennews/ { proxy_pass http://lumen; proxy_http_version 1.1; proxy_set_header Connection "";
      proxy_next_upstream off; }'

echo "== machine: $(nproc) cores, $(uname -m), $(date -u +%Y-%m-%dT%H:%MZ); wrk -t2, ${seconds} s per figure"
for backend in sqlite postgres; do
  if [ $backend = sqlite ]; then
    db=$bench_work/c.db
  else
    psql -q "$pg" -c "CREATE DATABASE bench" >/dev/null
    db=$pgbase/bench
  fi
  "$bench_server" init --db "$db" --sample server/data --files "$bench_work/files" >/dev/null
  start
  if [ $backend = sqlite ]; then  # the same bytes for nginx, once
    curl -s "$base?op=outmerss" >"$bench_work/www/feed.xml"
    curl -s "$base?op=article&sid=101" >"$bench_work/www/article.html"
    bench_nginx "$upstream" "$proxy"
    echo "== nginx, static files of the same bytes"
    figure "nginx feed.xml (16 conn)" "$bench_nginx_url/feed.xml" 16
    nginx_feed=$bench_rps
    figure "nginx article.html (16 conn)" "$bench_nginx_url/article.html" 16
    nginx_article=$bench_rps
  fi
  echo "== $backend: one server"
  figure "$backend feed, cached (16 conn)" "$base?op=outmerss" 16
  echo "   ratio to nginx: $(bench_ratio "$bench_rps" "$nginx_feed")"
  figure "$backend article page, counted read (16 conn)" "$base?op=article&sid=101" 16
  echo "   ratio to nginx: $(bench_ratio "$bench_rps" "$nginx_article")"
  for c in 16 64; do
    figure "$backend posts, group commit ($c conn)" "$base" "$c" posts
    group=$bench_rps
    bench_stop_last
    start --commit-batch 1
    figure "$backend posts, one commit per post ($c conn)" "$base" "$c" posts
    echo "   group commit / one commit per post: $(bench_ratio "$group" "$bench_rps")"
    bench_stop_last
    start
  done
  if [ $backend = postgres ]; then
    first=$bench_port
    start
    echo "server 127.0.0.1:$first; server 127.0.0.1:$bench_port;" >"$bench_work/upstreams.conf"
    bench_nginx_reload
    echo "== postgres: two servers behind nginx"
    figure "nginx -> 2 servers, article page (64 conn)" "$bench_nginx_url/lumennews/index.php?op=article&sid=101" 64
    two=$bench_rps
    echo "server 127.0.0.1:$first;" >"$bench_work/upstreams.conf"
    bench_nginx_reload
    figure "nginx -> 1 server, article page (64 conn)" "$bench_nginx_url/lumennews/index.php?op=article&sid=101" 64
    echo "   two servers / one server behind nginx: $(bench_ratio "$two" "$bench_rps")"
  fi
  bench_stop_servers
  echo "   posts stored once each: $("$bench_server" shouts --db "$db" | awk -F'\t' '$3 == "bench" {print $4}' | sort | uniq -d | wc -l) doubled (of the newest 1000)"
done
