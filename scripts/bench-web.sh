#!/bin/sh
# The web pages: their weights (bytes of HTML per page, and the one
# stylesheet), then the server's requests/s for the home page against
# nginx serving the same bytes as a static file, with wrk on loopback
# (16 connections, bounded in time), in the same run. Installs wrk and
# nginx-light when missing (as root). Prints the figures; nothing here is
# a test.
#
#   scripts/bench-web.sh [BUILD_DIR] [SECONDS]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
seconds=${2:-10}
server=$build/server/lumen-server
[ -x "$server" ] || { echo "bench-web: build lumen-server first" >&2; exit 1; }
for tool in wrk nginx curl; do
  command -v "$tool" >/dev/null || {
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends wrk nginx-light curl >/dev/null
  }
done
work=$(mktemp -d)
nginx_port=18090
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
base=http://127.0.0.1:$port

echo "page weights (HTML bytes, without the shared stylesheet):"
for page in / /news /news/101 /shouts /files /files/Plugins /file/31 /stats /admin/login /style.css; do
  printf '  %-16s %6s bytes\n' "$page" "$(curl -s "$base$page" | wc -c)"
done

# nginx: the home page's bytes as a static file, one worker per core.
mkdir -p "$work/www" "$work/nginx"
curl -s "$base/" >"$work/www/index.html"
cat >"$work/nginx.conf" <<CONF
worker_processes auto;
pid $work/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $work/nginx; proxy_temp_path $work/nginx; fastcgi_temp_path $work/nginx;
  uwsgi_temp_path $work/nginx; scgi_temp_path $work/nginx;
  server { listen 127.0.0.1:$nginx_port; root $work/www; }
}
CONF
nginx -c "$work/nginx.conf"
sleep 0.5

run() {  # name url
  out=$(wrk -t2 -c16 -d"${seconds}s" --latency "$2")
  rps=$(echo "$out" | awk '/Requests\/sec/ {print $2}')
  p99=$(echo "$out" | awk '$1 == "99%" {print $2}')
  echo "$1: $rps requests/s, p99 $p99"
  eval "rps_$3=$rps"
}
run "nginx, the home page's bytes" "http://127.0.0.1:$nginx_port/index.html" nginx
run "server, home page (/)" "$base/" home
run "server, stylesheet" "$base/style.css" css
echo "home / nginx ratio: $(echo "$rps_home $rps_nginx" | awk '{printf "%.2f", $1 / $2}')"
