#!/usr/bin/env bash
# Report engine benchmark (on demand, not a test): layout + plain-text export of synthetic
# reports of growing size; prints time and peak memory per size.
#   scripts/bench_engine.sh [rows...]      (default: 1000 2000 5000)
# Builds a Release tree in build/engine/bench-release unless DORVAN_BENCH_BUILD names another one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${DORVAN_BENCH_BUILD:-$here/build/engine/bench-release}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDORVAN_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_engine -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
"$build/bench/engine/bench_engine" "$@"
