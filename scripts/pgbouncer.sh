#!/usr/bin/env bash
# Throwaway PgBouncer connection poolers in front of a cluster made by pg_cluster.sh, for the
# tests: one in transaction pooling mode, one in session pooling mode, each with PgBouncer's
# default settings otherwise (no ignored start-up parameters, no tracked extras).
#   pgbouncer.sh start DIR PGDIR   starts both on free loopback ports in front of the cluster
#                                  in PGDIR; writes DIR/transaction.port and DIR/session.port
#   pgbouncer.sh stop DIR          stops them and removes DIR
# Clients log in as on the cluster (user "postgres", password "postgres"). PgBouncer will not
# run as root, so as root it runs as the postgres system user.
set -euo pipefail

cmd=${1:-}
dir=${2:-}
pgdir=${3:-}
if [ -z "$cmd" ] || [ -z "$dir" ]; then
  echo "usage: $0 start DIR PGDIR | stop DIR" >&2
  exit 2
fi

bouncer=$(command -v pgbouncer || true)
[ -z "$bouncer" ] && [ -x /usr/sbin/pgbouncer ] && bouncer=/usr/sbin/pgbouncer

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

stop_one() {
  local pidfile=$1
  if [ -f "$pidfile" ]; then
    local pid
    pid=$(cat "$pidfile")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
}

case "$cmd" in
start)
  if [ -z "$bouncer" ]; then
    echo "pgbouncer not found (install the pgbouncer package: scripts/setup.sh)" >&2
    exit 1
  fi
  if [ -z "$pgdir" ] || [ ! -f "$pgdir/port" ]; then
    echo "no cluster in $pgdir (pg_cluster.sh start first)" >&2
    exit 1
  fi
  pgport=$(cat "$pgdir/port")
  rm -rf "$dir"
  mkdir -p "$dir"
  printf '"postgres" "postgres"\n' >"$dir/userlist.txt"
  for mode in transaction session; do
    port=$(free_port)
    cat >"$dir/$mode.ini" <<EOF
[databases]
* = host=127.0.0.1 port=$pgport

[pgbouncer]
pool_mode = $mode
listen_addr = 127.0.0.1
listen_port = $port
unix_socket_dir =
auth_type = scram-sha-256
auth_file = $dir/userlist.txt
logfile = $dir/$mode.log
pidfile = $dir/$mode.pid
EOF
    echo "$port" >"$dir/$mode.port"
  done
  if [ "$(id -u)" -eq 0 ]; then
    chown -R postgres:postgres "$dir"
  fi
  chmod 700 "$dir"
  for mode in transaction session; do
    as_owner "$bouncer" -d "$dir/$mode.ini" >/dev/null || {
      cat "$dir/$mode.log" >&2 2>/dev/null || true
      exit 1
    }
  done
  # Ready when both accept connections.
  for mode in transaction session; do
    port=$(cat "$dir/$mode.port")
    for _ in $(seq 1 100); do
      python3 -c "import socket,sys; s=socket.socket(); sys.exit(s.connect_ex(('127.0.0.1',$port)))" && break
      sleep 0.1
    done
  done
  cat "$dir/transaction.port"
  ;;
stop)
  for mode in transaction session; do
    stop_one "$dir/$mode.pid"
  done
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start DIR PGDIR | stop DIR" >&2
  exit 2
  ;;
esac
