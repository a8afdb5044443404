# shellcheck shell=sh disable=SC2034  # the bench_* results are read by the scripts
# Pieces shared by the benchmark scripts (bench-server.sh, bench-store.sh,
# bench-web.sh), sourced from the checkout's root: a work folder removed on
# exit with all the bench_* functions started in it, lumen-server
# instances, nginx serving static files, and wrk runs. Everything listens
# on 127.0.0.1 only and every run is bounded in time.

# The box's own User-Agent: the server counts the plug-in requests that
# carry it, as it does for a real box (web pages ignore it).
bench_agent=CORVANENEWS
# A reply slower than this is a timeout error for wrk; the 1000-connection
# runs queue that long on a loaded machine.
bench_wrk_timeout=5s

# bench_need TOOL...: installs the Debian packages of the missing tools (as root).
bench_need() {
  missing=
  for tool in "$@"; do
    command -v "$tool" >/dev/null && continue
    case $tool in
    nginx) missing="$missing nginx-light" ;;
    *) missing="$missing $tool" ;;
    esac
  done
  [ -z "$missing" ] && return 0
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing >/dev/null
}

# bench_begin NAME SERVER SECONDS: checks the lumen-server binary, makes the
# work folder $bench_work and stops and removes everything on exit; every
# wrk run then lasts SECONDS.
bench_begin() {
  [ -x "$2" ] || { echo "$1: build lumen-server first" >&2; exit 1; }
  bench_server=$2
  bench_seconds=$3
  bench_pids=
  bench_work=$(mktemp -d)
  # nginx's workers and the postgres user must reach what is inside.
  chmod 0755 "$bench_work"
  mkdir "$bench_work/www" "$bench_work/nginx"
  trap bench_cleanup EXIT
  trap 'exit 1' INT TERM HUP PIPE
}

bench_cleanup() {
  bench_stop_servers
  if [ -f "$bench_work/nginx.pid" ]; then
    nginx_pid=$(cat "$bench_work/nginx.pid")
    kill "$nginx_pid" 2>/dev/null || true
    # Its pid file goes when it has quit; a few seconds at most.
    tries=50
    while [ -f "$bench_work/nginx.pid" ] && [ $tries -gt 0 ]; do
      sleep 0.1
      tries=$((tries - 1))
    done
  fi
  rm -rf "$bench_work"
}

# bench_serve DB [OPTIONS...]: lumen-server on DB, on a free loopback port,
# posts taken at once; sets $bench_port and $bench_last (its process).
bench_serve() {
  db=$1
  shift
  fifo=$bench_work/banner.$(date +%s%N)
  mkfifo "$fifo"
  "$bench_server" serve --db "$db" --listen 127.0.0.1:0 --shout-interval 0 "$@" >"$fifo" &
  bench_last=$!
  bench_pids="$bench_pids $bench_last"
  read -r banner <"$fifo"
  rm -f "$fifo"
  bench_port=${banner##*:}
}

bench_stop_last() {
  kill "$bench_last" 2>/dev/null || true
  wait "$bench_last" 2>/dev/null || true
  bench_pids=$(echo " $bench_pids " | sed "s/ $bench_last / /")
}

bench_stop_servers() {
  for pid in $bench_pids; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  bench_pids=
}

bench_free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# bench_nginx [HTTP_TEXT [SERVER_TEXT]]: nginx on a free loopback port, one
# worker per core, serving $bench_work/www as static files; HTTP_TEXT goes
# into its http block and SERVER_TEXT into its server block. Sets
# $bench_nginx_url.
bench_nginx() {
  chmod -R a+rX "$bench_work/www"
  nginx_port=$(bench_free_port)
  cat >"$bench_work/nginx.conf" <<CONF
worker_processes auto;
worker_rlimit_nofile 8192;
pid $bench_work/nginx.pid;
error_log $bench_work/nginx/error.log;
events { worker_connections 4096; }
http {
  access_log off;
  client_body_temp_path $bench_work/nginx; proxy_temp_path $bench_work/nginx; fastcgi_temp_path $bench_work/nginx;
  uwsgi_temp_path $bench_work/nginx; scgi_temp_path $bench_work/nginx;
  ${1:-}
  server { listen 127.0.0.1:$nginx_port; root $bench_work/www;
    ${2:-} }
}
CONF
  nginx -c "$bench_work/nginx.conf"
  sleep 0.5
  bench_nginx_url=http://127.0.0.1:$nginx_port
}

# bench_nginx_reload: nginx reads its configuration (and includes) again.
bench_nginx_reload() {
  kill -HUP "$(cat "$bench_work/nginx.pid")"
  sleep 1
}

# bench_wrk CONNECTIONS URL [LUA_SCRIPT]: one wrk run; sets $bench_rps,
# $bench_p99 (ms), $bench_sent (requests answered) and $bench_errors
# ("" when there were none).
bench_wrk() {
  out=$(wrk -t2 -c"$1" -d"${bench_seconds}s" --timeout "$bench_wrk_timeout" --latency \
    -H "User-Agent: $bench_agent" ${3:+-s "$3"} "$2")
  bench_rps=$(echo "$out" | awk '/Requests\/sec/ {print $2}')
  bench_sent=$(echo "$out" | awk '/requests in/ {print $1}')
  bench_p99=$(echo "$out" | awk '$1 == "99%" {v = $2; if (v ~ /us$/) v = v / 1000; else if (v ~ /ms$/) v = v + 0;
                                   else if (v ~ /s$/) v = v * 1000; print v}')
  bench_errors=$(echo "$out" | awk '/Socket errors|Non-2xx/ {sub(/^ +/, ""); printf "%s%s", sep, $0; sep = "; "}')
}

# bench_posts CONNECTIONS URL: bench_wrk posting shouts, every message
# different from all others of this run and of earlier runs on the store.
bench_posts() {
  [ -f "$bench_work/post.lua" ] || cat >"$bench_work/post.lua" <<'LUA'
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
  RUN=r$(date +%s%N)
  export RUN
  bench_wrk "$1" "$2" "$bench_work/post.lua"
}

# bench_ratio A B: A / B with two decimals.
bench_ratio() {
  echo "$1 $2" | awk '{printf "%.2f", $1 / $2}'
}
