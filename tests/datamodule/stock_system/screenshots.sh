#!/usr/bin/env bash
# Screenshots of the forced-update dialogs of the console's start-up under Xvfb, against a
# throwaway demo database: one pending update script and another computer signed in. The
# first picture shows the warning naming the other user, the second the question; the
# question is answered with its default (No), so the console ends without applying the script.
#   tests/datamodule/stock_system/screenshots.sh <build folder> [output folder, default /tmp/dorvan-update-shots]
set -euo pipefail
here=$(cd "$(dirname "$0")/../../.." && pwd)
build=${1:?build folder}
out=${2:-/tmp/dorvan-update-shots}
console=$(find "$build" -name dorvan-console -type f -perm -u+x | head -n1)
rm -rf "$out"
mkdir -p "$out"
# shellcheck source=scripts/demo_env.sh
source "$here/scripts/demo_env.sh"

demo_cluster_start "$out"
keeper=""
cleanup() {
  [ -n "$keeper" ] && kill "$keeper" 2>/dev/null || true
  demo_web_stop
  demo_cluster_stop
}
trap cleanup EXIT
demo_database_load
demo_install "$out"
demo_web_start

mkdir -p "$DORVAN_EXE_DIR/database_scripts"
cat >"$DORVAN_EXE_DIR/database_scripts/001_tetel_polc.sql" <<'SQL'
ALTER TABLE tetel ADD COLUMN polc varchar(20) DEFAULT 'A-1';
SQL

# The shop's counter computer stays signed in while the console starts.
(while true; do
  demo_psql -d Dorvan_Data -c "INSERT INTO _currentip (ip, host, local_ip, lastsign_date,
      lastsign_time, logged_username) VALUES ('192.0.2.7', 'pult', '10.0.0.7',
      localtimestamp::date, localtimestamp::time(0), 'Nagy Péter')
    ON CONFLICT (ip, host, local_ip) DO UPDATE SET lastsign_date = EXCLUDED.lastsign_date,
      lastsign_time = EXCLUDED.lastsign_time"
  sleep 2
done) &
keeper=$!

# Presses Return in the focused window (X test extension).
cat >"$out/press_return.py" <<'PY'
import ctypes
x = ctypes.cdll.LoadLibrary("libX11.so.6")
t = ctypes.cdll.LoadLibrary("libXtst.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
d = ctypes.c_void_p(x.XOpenDisplay(None))
code = x.XKeysymToKeycode(d, 0xFF0D)
t.XTestFakeKeyEvent(d, code, 1, 0)
t.XTestFakeKeyEvent(d, code, 0, 0)
x.XFlush(d)
x.XCloseDisplay(d)
PY

cat >"$out/shoot.sh" <<INNER
#!/usr/bin/env bash
"$console" >"$out/console.log" 2>&1 & pid=\$!
sleep 5
import -window root "$out/warning.png"
xwininfo -root -tree >"$out/windows-warning.txt"
python3 "$out/press_return.py"
sleep 2
import -window root "$out/question.png"
xwininfo -root -tree >"$out/windows-question.txt"
python3 "$out/press_return.py"
for _ in \$(seq 50); do kill -0 \$pid 2>/dev/null || break; sleep 0.2; done
if kill -0 \$pid 2>/dev/null; then echo "console still running" >>"$out/console.log"; kill \$pid; fi
wait \$pid 2>/dev/null || true
INNER
chmod +x "$out/shoot.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$out/shoot.sh"
applied=$(demo_psql -d Dorvan_Data -At -c "SELECT count(*) FROM information_schema.columns
  WHERE table_name = 'tetel' AND column_name = 'polc'")
echo "written: $out/warning.png $out/question.png"
echo "column added by the declined script: $applied (expected 0)"
echo "script still pending: $(ls "$DORVAN_EXE_DIR/database_scripts")"
