#!/usr/bin/env bash
# Parameter names equal in declaration and definition: clang-tidy's
# readability-inconsistent-declaration-parameter-name over the project's C++ sources, with
# the compile commands of a configured build folder. Fails on any finding.
#   scripts/check_param_names.sh [build folder, default build/ci]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=${1:-build/ci}
if [ ! -f "$build/compile_commands.json" ]; then
  echo "no $build/compile_commands.json: configure the build first" >&2
  exit 2
fi
git ls-files '*.cpp' | grep -v '^build/' |
  xargs -P "$(nproc)" -n 8 clang-tidy -p "$build" --quiet \
    --checks='-*,readability-inconsistent-declaration-parameter-name' \
    --extra-arg=-Wno-unknown-warning-option --warnings-as-errors='*' --header-filter="^$here/(app|config|datamodule|db|report|tests|bench)/" \
    2>/dev/null
