#!/bin/sh
# A throwaway PostgreSQL 15 cluster for the tests and benchmarks: made with
# initdb in DIR, run by pg_ctl as the postgres user on a free loopback
# port, never the machine's own service. "start" prints the connection URL
# (also kept in DIR/url); "stop" stops the cluster and removes DIR.
#
#   scripts/pg-cluster.sh start DIR
#   scripts/pg-cluster.sh stop DIR
set -eu
bin=/usr/lib/postgresql/15/bin
action=${1:?start or stop}
dir=${2:?folder}

as_postgres() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

case $action in
start)
  [ -x "$bin/initdb" ] || { echo "pg-cluster: PostgreSQL 15 is not installed (scripts/setup.sh)" >&2; exit 1; }
  rm -rf "$dir"
  mkdir -p "$dir"
  [ "$(id -u)" = 0 ] && chown postgres "$dir"
  as_postgres test -w "$dir" || { echo "pg-cluster: the postgres user cannot reach $dir (a parent folder is private)" >&2; exit 1; }
  as_postgres "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C >"$dir/initdb.log" 2>&1
  port=$(free_port)
  # Loopback only, no Unix socket in the machine's folders; fsync stays on
  # so that durable means what it says.
  as_postgres "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
    -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories='$dir' -c max_connections=200" \
    start >/dev/null
  echo "postgresql://postgres@127.0.0.1:$port/postgres" >"$dir/url"
  cat "$dir/url"
  ;;
stop)
  if [ -f "$dir/data/postmaster.pid" ]; then
    as_postgres "$bin/pg_ctl" -D "$dir/data" -m immediate -w -t 30 stop >/dev/null || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "pg-cluster: start or stop" >&2
  exit 2
  ;;
esac
