#!/usr/bin/env bash
# Benchmark of the command-line export (on demand, not a test): dorvan-print from process
# start to file written (start-up with its database connection included), for invoice 4317
# and the five-page invoice 4320, as plain text and as PDF; wall time (best and median of
# the runs, measured around the process) and peak memory (maximum resident set size,
# /usr/bin/time -v).
#   scripts/bench_print.sh [runs]          (default 10)
# Builds the release preset's dorvan-print and runs against a throwaway demo cluster.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
# shellcheck source=scripts/demo_env.sh
source scripts/demo_env.sh
runs=${1:-10}

if [ ! -x /usr/bin/time ]; then
  echo "/usr/bin/time is missing (Debian package \"time\", see scripts/setup.sh)" >&2
  exit 1
fi
cmake --preset release >/dev/null
cmake --build --preset release --target dorvan-print -j "$(nproc)" >/dev/null
bin="$here/build/release/app/dorvan-print"

work=$(mktemp -d /tmp/dorvan-bench.XXXXXX)
cleanup() {
  demo_cluster_stop
  rm -rf "$work"
}
trap cleanup EXIT
demo_cluster_start "$work"
demo_database_load
demo_install "$work"
export DORVAN_LPT1=/dev/null
# No outside servers: the public-address page is asked on a closed loopback port.
export DORVAN_WEB_SERVER=http://127.0.0.1:9
export QT_QPA_PLATFORM=offscreen
cd "$work"

# One measured case: key, way out ("text" or "pdf").
bench() {
  local key=$1 kind=$2 file times=() rss=0 i
  file="$work/out_$key.$kind"
  for ((i = 0; i < runs; i++)); do
    rm -f "$file"
    local t0 t1
    t0=$(date +%s%N)
    /usr/bin/time -v -o "$work/time.txt" "$bin" --key "$key" "--$kind" "$file" 2>"$work/err.txt" || {
      cat "$work/err.txt" >&2
      exit 1
    }
    t1=$(date +%s%N)
    [ -s "$file" ] || { echo "no output for $key ($kind)" >&2; exit 1; }
    times+=("$(awk -v d=$((t1 - t0)) 'BEGIN { printf "%.4f", d / 1e9 }')")
    local r
    r=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    ((r > rss)) && rss=$r
  done
  local sorted best median pages="-"
  sorted=$(printf '%s\n' "${times[@]}" | sort -g)
  best=$(echo "$sorted" | head -1)
  median=$(echo "$sorted" | sed -n "$(((runs + 1) / 2))p")
  if [ "$kind" = pdf ] && command -v pdfinfo >/dev/null; then
    pages=$(pdfinfo "$file" | awk '/^Pages:/ {print $2}')
  fi
  printf '%-6s %-5s %6s %9.4f %9.4f %10d\n' "$key" "$kind" "$pages" "$best" "$median" "$rss"
}

# Warm-up: the first run pays for the fonts and the server's caches.
"$bin" --key 4317 --text "$work/warm.txt" 2>/dev/null || true
echo "dorvan-print, $runs runs each (time in seconds, peak memory in KiB)"
printf '%-6s %-5s %6s %9s %9s %10s\n' key out pages best median peak_rss
for key in 4317 4320; do
  for kind in text pdf; do
    bench "$key" "$kind"
  done
done
