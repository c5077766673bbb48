#!/usr/bin/env bash
# Screenshots of the window program's real start-up under Xvfb, against a throwaway demo
# database: the splash while the start-up runs (the public-address page answers slowly on
# purpose), then the console.
#   tests/datamodule/core/screenshots.sh <build folder> [output folder, default /tmp/dorvan-startup-shots]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?build folder}
out=${2:-/tmp/dorvan-startup-shots}
console=$(find "$build" -name dorvan-console -type f -perm -u+x | head -n1)
mkdir -p "$out"

pgdir=$(mktemp -d /tmp/dorvan-shots-pg.XXXXXX)
port=$(bash "$here/scripts/pg_cluster.sh" start "$pgdir")
web_pid=""
cleanup() {
  [ -n "$web_pid" ] && kill "$web_pid" 2>/dev/null || true
  bash "$here/scripts/pg_cluster.sh" stop "$pgdir"
}
trap cleanup EXIT

export PGPASSWORD=postgres
sql() { psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U postgres "$@"; }
sql -d postgres -c "CREATE DATABASE \"Dorvan_Data\" TEMPLATE template0 ENCODING 'UTF8'"
sql -d Dorvan_Data -f "$here/sql/schema.sql" >/dev/null
sql -d Dorvan_Data -f "$here/sql/demo.sql" >/dev/null
sql -d postgres -c "CREATE DATABASE \"Kalvex_Data\" TEMPLATE template0 ENCODING 'UTF8'"
sql -d Kalvex_Data -f "$here/sql/info_schema.sql" >/dev/null

# The maker's address-echo page, answering after four seconds.
python3 -u - >"$out/web.port" <<'PY' &
import http.server, time
class H(http.server.BaseHTTPRequestHandler):
    def log_message(self, *a): pass
    def do_GET(self):
        time.sleep(4)
        body = b"203.0.113.7\n"
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
s = http.server.HTTPServer(("127.0.0.1", 0), H)
print(s.server_address[1], flush=True)
s.serve_forever()
PY
web_pid=$!
for _ in $(seq 50); do [ -s "$out/web.port" ] && break; sleep 0.1; done

export DORVAN_EXE_DIR="$out/exe/"
export XDG_DATA_HOME="$out/xdg"
export DORVAN_WEB_SERVER="http://127.0.0.1:$(cat "$out/web.port")"
export DORVAN_INFO_HOST=127.0.0.1 DORVAN_INFO_PORT=$port DORVAN_INFO_USER=postgres DORVAN_INFO_PASSWORD=postgres
rm -rf "$DORVAN_EXE_DIR" "$XDG_DATA_HOME"
mkdir -p "$DORVAN_EXE_DIR"
cat >"$DORVAN_EXE_DIR/Dorvan.ini" <<INI
[DataBase]
Host=127.0.0.1
Port=$port
Database=Dorvan_Data
User=postgres
Password=postgres
Protocol=postgresql-7.3
INI

cat >"$out/shoot.sh" <<INNER
#!/usr/bin/env bash
"$console" >"$out/console.log" 2>&1 & pid=\$!
sleep 2
import -window root "$out/splash.png"
sleep 6
import -window root "$out/console.png"
xwininfo -root -tree >"$out/windows-console.txt"
kill \$pid; wait \$pid 2>/dev/null || true
INNER
chmod +x "$out/shoot.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$out/shoot.sh"
echo "written: $out/splash.png $out/console.png"
echo "settings written back:"; cat "$XDG_DATA_HOME"/Norvello/Dorvan2007/*/Dorvan.ini
