#!/usr/bin/env bash
# Fails on an include that runs back up the layers. Each folder may include its own headers
# and those of the folders below it; the order is
#   resources → platform → text, ui → replay, skin → win32 → app
# (ui, the skinned toolkit, and text stand side by side; win32, the Windows back end,
# stands on the toolkit). tools/ and tests/ sit on top and may include anything.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
declare -A rank=([resources]=0 [platform]=1 [text]=2 [ui]=2 [replay]=3 [skin]=3 [win32]=4 [app]=5)
bad=0
for dir in "${!rank[@]}"; do
  [ -d "$dir" ] || continue
  while IFS=: read -r file line text; do
    target=$(sed -nE 's/^#include "([a-z0-9_]+)\/.*/\1/p' <<<"$text")
    [ -n "$target" ] && [ "$target" != "$dir" ] || continue
    r=${rank[$target]:-}
    if [ -z "$r" ] || [ "$r" -ge "${rank[$dir]}" ]; then
      echo "$file:$line: $dir/ must not include $target/ ($text)"
      bad=1
    fi
  done < <(grep -rnE '^#include "[a-z0-9_]+/' "$dir" --include='*.h' --include='*.cpp' || true)
done
[ $bad = 0 ] && echo "includes follow the layers"
exit $bad
