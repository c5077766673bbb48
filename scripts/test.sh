#!/usr/bin/env bash
# The test command: installs what is missing, builds with warnings as errors and runs
# every test program (CTest starts and stops the throwaway PostgreSQL cluster itself).
#   scripts/test.sh [ctest arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

bash scripts/setup.sh
bash scripts/check_format.sh
preset=${DORVAN_PRESET:-ci}
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
# Parameter names equal in declaration and definition.
bash scripts/check_param_names.sh "build/$preset"
# Qt code in the tests runs on the offscreen platform; no display is needed.
export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" -j "$(nproc)" "$@"
