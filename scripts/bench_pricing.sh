#!/usr/bin/env bash
# Price determination benchmark (on demand, not a test): 10,000 partner prices in one process
# on the demo database of a throwaway local cluster, beside a bare statement round trip
# measured in the same run (the ratio says how many round trips one price costs), and the
# time of each building block.
#   scripts/bench_pricing.sh [N]      (default: 10000)
# Builds a Release tree in build/pricing/bench-release unless DORVAN_BENCH_BUILD names another.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVAN_BENCH_BUILD:-$here/build/pricing/bench-release}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVAN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_pricing -j "$(nproc)"

cluster=$(mktemp -d /tmp/dorvan-bench-pricing.XXXXXX)
trap '"$here/scripts/pg_cluster.sh" stop "$cluster"' EXIT
port=$("$here/scripts/pg_cluster.sh" start "$cluster")
psql_() { PGPASSWORD=postgres psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$port" -U postgres "$@"; }
psql_ -d postgres -c "CREATE DATABASE bench_pricing TEMPLATE template0 ENCODING 'UTF8'"
psql_ -d bench_pricing -f "$here/sql/schema.sql" >/dev/null
psql_ -d bench_pricing -f "$here/sql/demo.sql" >/dev/null
"$build/bench/pricing/bench_pricing" "$port" bench_pricing "${1:-10000}"
