#!/bin/sh
# The web pages: their weights (bytes of HTML per page, and the one
# stylesheet), then the server's requests/s and p99 for the home page and
# the stylesheet against nginx serving the home page's bytes as a static
# file, with wrk on loopback (16 connections, bounded in time), in the
# same run. Installs wrk, nginx-light and curl when missing (as root).
# Prints the figures; nothing here is a test. The shared pieces are in
# scripts/bench-common.sh.
#
#   scripts/bench-web.sh [BUILD_DIR] [SECONDS]
set -eu
cd "$(dirname "$0")/.."
# shellcheck source=scripts/bench-common.sh
. scripts/bench-common.sh
build=${1:-build/default}
bench_begin bench-web "$build/server/lumen-server" "${2:-10}"
bench_need wrk nginx curl

"$bench_server" init --db "$bench_work/c.db" --sample server/data >/dev/null
bench_serve "$bench_work/c.db" --log "$bench_work/requests.log"
base=http://127.0.0.1:$bench_port

echo "page weights (HTML bytes, without the shared stylesheet):"
for page in / /news /news/101 /shouts /files /files/Plugins /file/31 /stats /admin/login /style.css; do
  printf '  %-16s %6s bytes\n' "$page" "$(curl -s "$base$page" | wc -c)"
done

curl -s "$base/" >"$bench_work/www/index.html"
bench_nginx

# run LABEL URL: one wrk run at 16 connections, printed; keeps $bench_rps.
run() {
  bench_wrk 16 "$2"
  echo "$1: $bench_rps requests/s, p99 $bench_p99 ms${bench_errors:+, $bench_errors}"
}
run "nginx, the home page's bytes" "$bench_nginx_url/index.html"
nginx_rps=$bench_rps
run "server, home page (/)" "$base/"
home_rps=$bench_rps
run "server, stylesheet" "$base/style.css"
echo "home / nginx ratio: $(bench_ratio "$home_rps" "$nginx_rps")"
