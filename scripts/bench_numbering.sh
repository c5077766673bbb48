#!/usr/bin/env bash
# Document numbering benchmark (on demand, not a test): numbers per second with 1 and with 8
# clients beside the raw single-row INSERT rate of the same throwaway cluster, measured in the
# same run, with the duplicates found (must be 0); and the time to reverse a 1,000-line
# document.
#   scripts/bench_numbering.sh [numbers per client]      (default 500)
# Builds the release preset's bench_numbering and runs it against a throwaway demo cluster.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
# shellcheck source=scripts/demo_env.sh
source scripts/demo_env.sh
each=${1:-500}

cmake --preset release >/dev/null
cmake --build --preset release --target bench_numbering -j "$(nproc)" >/dev/null
bin="$here/build/release/bench/numbering/bench_numbering"

work=$(mktemp -d /tmp/dorvan-bench.XXXXXX)
cleanup() {
  demo_cluster_stop
  rm -rf "$work"
}
trap cleanup EXIT
demo_cluster_start "$work"
demo_database_load
"$bin" 127.0.0.1 "$DEMO_PORT" Dorvan_Data postgres postgres "$each"
