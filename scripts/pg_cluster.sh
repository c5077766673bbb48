#!/usr/bin/env bash
# Throwaway PostgreSQL cluster for the tests and the demo.
#   pg_cluster.sh start DIR   initdb + pg_ctl start in DIR on a free loopback port;
#                             writes DIR/port and prints the port
#   pg_cluster.sh stop DIR    stops the server and removes DIR
# The superuser is "postgres" with password "postgres" (scram over TCP on 127.0.0.1).
# initdb refuses to run as root, so as root the server runs as the postgres system user.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
if [ -z "$cmd" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop DIR" >&2
  exit 2
fi

bindir=""
for d in /usr/lib/postgresql/*/bin; do
  [ -x "$d/initdb" ] && bindir=$d
done
if [ -z "$bindir" ]; then
  echo "PostgreSQL server binaries not found (install the postgresql package: scripts/setup.sh)" >&2
  exit 1
fi

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'
}

case "$cmd" in
start)
  if [ -f "$dir/port" ] && as_owner "$bindir/pg_ctl" -D "$dir/data" status >/dev/null 2>&1; then
    cat "$dir/port"
    exit 0
  fi
  rm -rf "$dir"
  mkdir -p "$dir/sock"
  if [ "$(id -u)" -eq 0 ]; then
    chown -R postgres:postgres "$dir"
  fi
  pw="$dir/pwfile"
  echo postgres >"$pw"
  [ "$(id -u)" -eq 0 ] && chown postgres:postgres "$pw"
  as_owner "$bindir/initdb" -D "$dir/data" -U postgres --pwfile="$pw" -E UTF8 --locale=C.UTF-8 \
    --auth-local=trust --auth-host=scram-sha-256 >"$dir/initdb.log" 2>&1 || {
    cat "$dir/initdb.log" >&2
    exit 1
  }
  rm -f "$pw"
  port=$(free_port)
  as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
    -o "-p $port -k $dir/sock -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || {
    cat "$dir/server.log" >&2
    exit 1
  }
  echo "$port" >"$dir/port"
  echo "$port"
  ;;
stop)
  if [ -d "$dir/data" ]; then
    as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop DIR" >&2
  exit 2
  ;;
esac
