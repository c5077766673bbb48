# Shared by demo.sh and bench_print.sh (sourced, not run): a throwaway PostgreSQL cluster
# holding the demo database, and an installation of the program (Dorvan.ini in the folder
# that stands for the executable's) pointing at it.
#
#   demo_cluster_start WORK     starts the cluster below WORK (or /tmp when the server's
#                               system user cannot reach WORK); sets DEMO_PGDIR, DEMO_PORT;
#                               the caller stops it with demo_cluster_stop
#   demo_database_load          creates "Dorvan_Data" (schema + demo data) and the central
#                               information database "Kalvex_Data"
#   demo_product_database       creates "Dorvan_Data" as a shop has it before this program's
#                               update scripts (sql/product_schema.sql) and "Kalvex_Data";
#                               the first start-up applies the scripts, demo_data_load then
#                               loads the demo company
#   demo_web_start              stands a loopback server in for the maker's web server (the
#                               public-address page), unless DORVAN_WEB_SERVER is set;
#                               demo_web_stop ends it
#   demo_install WORK           writes WORK/exe/Dorvan.ini; exports DORVAN_EXE_DIR,
#                               XDG_DATA_HOME and the central information server settings

demo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

demo_cluster_start() {
  local work=$1
  mkdir -p "$work"
  DEMO_PGDIR="$work/pg"
  # As root the server runs as the postgres system user: its folder must be reachable for
  # that user, which a checkout below /root is not.
  if [ "$(id -u)" -eq 0 ] && ! runuser -u postgres -- test -x "$work"; then
    DEMO_PGDIR=$(mktemp -d /tmp/dorvan-demo-pg.XXXXXX)
  fi
  DEMO_PORT=$(bash "$demo_root/scripts/pg_cluster.sh" start "$DEMO_PGDIR")
}

demo_cluster_stop() {
  if [ -n "${DEMO_PGDIR:-}" ]; then
    bash "$demo_root/scripts/pg_cluster.sh" stop "$DEMO_PGDIR"
    DEMO_PGDIR=""
  fi
}

demo_web_start() {
  DEMO_WEB_PID=""
  if [ -n "${DORVAN_WEB_SERVER:-}" ]; then
    return
  fi
  local fifo port
  fifo=$(mktemp -u /tmp/dorvan-demo-web.XXXXXX)
  mkfifo "$fifo"
  python3 "$demo_root/scripts/http_test_server.py" >"$fifo" &
  DEMO_WEB_PID=$!
  read -r port <"$fifo"
  rm -f "$fifo"
  export DORVAN_WEB_SERVER="http://127.0.0.1:$port"
}

demo_web_stop() {
  if [ -n "${DEMO_WEB_PID:-}" ]; then
    kill "$DEMO_WEB_PID" 2>/dev/null || true
    wait "$DEMO_WEB_PID" 2>/dev/null || true
    DEMO_WEB_PID=""
  fi
}

demo_psql() {
  PGPASSWORD=postgres psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$DEMO_PORT" -U postgres "$@"
}

demo_info_database_load() {
  if [ -f "$demo_root/sql/info_schema.sql" ]; then
    demo_psql -d postgres -c "CREATE DATABASE \"Kalvex_Data\" TEMPLATE template0 ENCODING 'UTF8'"
    demo_psql -d Kalvex_Data -f "$demo_root/sql/info_schema.sql" >/dev/null
  fi
}

demo_database_load() {
  demo_psql -d postgres -c "CREATE DATABASE \"Dorvan_Data\" TEMPLATE template0 ENCODING 'UTF8'"
  demo_psql -d Dorvan_Data -f "$demo_root/sql/schema.sql" >/dev/null
  demo_psql -d Dorvan_Data -f "$demo_root/sql/demo.sql" >/dev/null
  demo_info_database_load
}

demo_product_database() {
  demo_psql -d postgres -c "CREATE DATABASE \"Dorvan_Data\" TEMPLATE template0 ENCODING 'UTF8'"
  demo_psql -d Dorvan_Data -f "$demo_root/sql/product_schema.sql" >/dev/null
  demo_info_database_load
}

demo_data_load() {
  demo_psql -d Dorvan_Data -f "$demo_root/sql/demo.sql" >/dev/null
}

demo_install() {
  local work=$1
  # The executable's folder stands in WORK/exe, the per-machine folder below WORK/xdg.
  export DORVAN_EXE_DIR="$work/exe/"
  export XDG_DATA_HOME="$work/xdg"
  # The central information service is the local "Kalvex_Data" (asked only when the
  # public-address page answers).
  export DORVAN_INFO_HOST=127.0.0.1 DORVAN_INFO_PORT="$DEMO_PORT" DORVAN_INFO_USER=postgres \
    DORVAN_INFO_PASSWORD=postgres DORVAN_INFO_DATABASE=Kalvex_Data
  rm -rf "$DORVAN_EXE_DIR" "$XDG_DATA_HOME"
  mkdir -p "$DORVAN_EXE_DIR" "$XDG_DATA_HOME"
  cat >"$DORVAN_EXE_DIR/Dorvan.ini" <<INI
[DataBase]
Host=127.0.0.1
Port=$DEMO_PORT
Database=Dorvan_Data
Protocol=postgresql-8
User=postgres
Password=postgres
INI
}
