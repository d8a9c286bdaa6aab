#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own, or when a Qt-free
# folder includes a Qt header. Both lists are read from the README's "Development" section
# (a list item may go on over indented lines):
#   - Layer order, from the bottom up: `core/` `store/` ...
#   - Qt-free folders: `core/` `store/`
# Usage: scripts/check-layers.sh [ROOT]   (ROOT defaults to the repository)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
readme="$root/README.md"

folders_of_line() { # the backquoted folder names of the README list item that starts with $1
  local line
  line=$(awk -v head="- $1" '
    found && /^  / { print; next }
    found { exit }
    index($0, head) == 1 { found = 1; print }' "$readme")
  if [ -z "$line" ]; then
    echo "check-layers: $readme has no line starting with \"- $1\"" >&2
    exit 2
  fi
  grep -oE '`[A-Za-z0-9_]+/`' <<<"$line" | tr -d '`/'
}

mapfile -t layers < <(folders_of_line "Layer order")
mapfile -t qtFree < <(folders_of_line "Qt-free folders")
if [ "${#layers[@]}" -lt 2 ]; then
  echo "check-layers: the layer order in $readme names fewer than two folders" >&2
  exit 2
fi

declare -A rank=()
for i in "${!layers[@]}"; do
  rank[${layers[$i]}]=$i
done

faults=0
for own in "${layers[@]}"; do
  [ -d "$root/$own" ] || continue
  while IFS= read -r -d '' file; do
    rel=${file#"$root/"}
    while IFS=: read -r lineNo target; do
      top=${target%%/*}
      if [ -n "${rank[$top]+x}" ] && [ "${rank[$top]}" -gt "${rank[$own]}" ]; then
        echo "$rel:$lineNo: includes $target from $top/, a layer above $own/" >&2
        faults=$((faults + 1))
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
             sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/' || true)
  done < <(find "$root/$own" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done

for folder in "${qtFree[@]}"; do
  [ -d "$root/$folder" ] || continue
  while IFS=: read -r file lineNo text; do
    header=$(grep -oE '<[^>]+>' <<<"$text")
    echo "${file#"$root/"}:$lineNo: includes the Qt header $header, but $folder/ is Qt-free" >&2
    faults=$((faults + 1))
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$root/$folder" \
             --include='*.h' --include='*.cpp' || true)
done

if [ "$faults" -gt 0 ]; then
  echo "check-layers: $faults include(s) against the layer order" >&2
  exit 1
fi
echo "check-layers: includes follow the layer order (${layers[*]})"
