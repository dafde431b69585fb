#!/usr/bin/env bash
# Fails when a C++ source or header differs from what clang-format makes of it with the
# repository's .clang-format. To fix: clang-format -i FILE (or every file, as below).
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
files=$(find app platform replay resources skin tests text tools ui win32 \
  \( -name '*.cpp' -o -name '*.h' \) -not -path '*/corpus/*' | sort)
report=$(mktemp)
trap 'rm -f "$report"' EXIT
# shellcheck disable=SC2086
if ! clang-format --dry-run --Werror $files 2>"$report"; then
  grep -E '^[^ ].*: (error|warning):' "$report" | cut -d: -f1 | sort -u | sed 's/^/not formatted: /'
  exit 1
fi
echo "every source file is formatted"
