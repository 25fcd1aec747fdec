#!/usr/bin/env bash
# Fails when a C++ file differs from the project's .clang-format style.
# With --fix, formats the files in place.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
[[ ${#files[@]} -eq 0 ]] && exit 0
if [[ "${1:-}" == --fix ]]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run --Werror "${files[@]}"
fi
