#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the checked-in clang-format style.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || true)
[ -n "$files" ] || exit 0
if ! out=$(printf '%s\n' "$files" | xargs clang-format --dry-run --Werror 2>&1); then
  printf '%s\n' "$out" | grep -E '^[^ ].*(warning|error):' | head -n 20 >&2
  echo "clang-format: the files above differ from .clang-format (run clang-format -i on them)" >&2
  exit 1
fi
