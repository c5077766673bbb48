#!/usr/bin/env bash
# Screenshots of the splash, the console and the progress window under Xvfb.
#   tests/app/screenshots.sh <build folder> [output folder, default /tmp/dorvan-shots]
set -euo pipefail
build=${1:?build folder}
out=${2:-/tmp/dorvan-shots}
mkdir -p "$out"
demo=$(find "$build" -name dorvan-console-demo -type f -perm -u+x | head -n1)
export DORVAN_EXE_DIR=${DORVAN_EXE_DIR:-$out/exe}
export XDG_DATA_HOME=${XDG_DATA_HOME:-$out/data}
mkdir -p "$DORVAN_EXE_DIR"

cat >"$out/shoot.sh" <<INNER
#!/usr/bin/env bash
DORVAN_DEMO_HOLD_MS=4000 DORVAN_DEMO_PROGRESS=1 "$demo" & pid=\$!
sleep 2
import -window root "$out/splash.png"
xwininfo -root -tree >"$out/windows-splash.txt"
sleep 4
import -window root "$out/console.png"
xwininfo -root -tree >"$out/windows-console.txt"
kill \$pid; wait \$pid 2>/dev/null || true
INNER
chmod +x "$out/shoot.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$out/shoot.sh"
echo "written: $out/splash.png $out/console.png"
