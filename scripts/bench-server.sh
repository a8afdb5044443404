#!/bin/sh
# Throughput of the community server against nginx serving the same bytes
# as static files, with wrk on loopback (bounded in time): requests/s and
# p99 for the feed, the shout list and the statistics at 16 and at 1000
# connections, then the other replies at 16, then 16 connections posting
# shouts at once (none may be lost or doubled). Installs wrk, nginx-light,
# curl and sqlite3 when missing (as root). Prints the figures; nothing
# here is a test. The shared pieces are in scripts/bench-common.sh.
#
#   scripts/bench-server.sh [BUILD_DIR] [SECONDS]
#
# LUMEN_SERVER=PATH benchmarks another lumen-server binary (an older build).
set -eu
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
build=${1:-build/default}
seconds=${2:-10}
crowd=1000
bench_begin bench-server "${LUMEN_SERVER:-$build/server/lumen-server}" "$seconds"
bench_need wrk nginx curl sqlite3
# wrk, nginx and the server each hold a descriptor per connection.
ulimit -n "$(ulimit -Hn)" 2>/dev/null || true
[ "$(ulimit -n)" = unlimited ] || [ "$(ulimit -n)" -ge $((crowd * 2 + 100)) ] ||
  echo "bench-server: ulimit -n is $(ulimit -n); the $crowd-connection runs may fail" >&2

db=$bench_work/c.db
"$bench_server" init --db "$db" --sample server/data >/dev/null
# The whole crowd comes from 127.0.0.1: lift the per-address cap where the
# server has one.
extra=
"$bench_server" serve --help | grep -q -- --max-per-address && extra="--max-per-address $((crowd * 2))"
# shellcheck disable=SC2086
bench_serve "$db" --log "$bench_work/requests.log" $extra
base=http://127.0.0.1:$bench_port/lumennews/index.php

# nginx: the same bytes as static files.
curl -s "$base?op=outmerss" >"$bench_work/www/feed.xml"
curl -s "$base?op=outme" >"$bench_work/www/outme.html"
curl -s "$base?op=outmestats2" >"$bench_work/www/stats.txt"
bench_nginx

# run LABEL URL CONNECTIONS: one wrk run, printed; keeps $bench_rps.
run() {
  bench_wrk "$3" "$2"
  printf '%-38s %6s conns %10s req/s  p99 %8s ms  %s\n' "$1" "$3" "$bench_rps" "$bench_p99" "${bench_errors:-no errors}"
}

echo "lumen-server against nginx, $(nproc) cores, ${seconds} s a run"
for conns in 16 $crowd; do
  for reply in "feed|op=outmerss|feed.xml" "shout list|op=outme|outme.html" "statistics|op=outmestats2|stats.txt"; do
    name=${reply%%|*}
    rest=${reply#*|}
    run "nginx $name" "$bench_nginx_url/${rest#*|}" "$conns"
    nginx_rps=$bench_rps
    run "server $name" "$base?${rest%%|*}" "$conns"
    echo "  $name: server / nginx = $(bench_ratio "$bench_rps" "$nginx_rps")"
  done
done
run "server category (op=outcat)" "$base?op=outcat&cat=Plugins" 16
# These two write to the store on every request (read and download counts).
run "server article page (op=article)" "$base?op=article&sid=101" 16
run "server download (counted)" "http://127.0.0.1:$bench_port/lumennews/files/weatherglobe_1.2.tar.gz" 16

# Posts: 16 connections, every message different.
before=$("$bench_server" stats --db "$db" | sed -n 5p)
bench_posts 16 "$base"
after=$("$bench_server" stats --db "$db" | sed -n 5p)
unique=$(sqlite3 "$db" "SELECT COUNT(DISTINCT message) FROM shouts WHERE nick = 'bench'")
echo "posts: $bench_sent answered at $bench_rps/s; shouts $before -> $after, $unique distinct bench messages"
