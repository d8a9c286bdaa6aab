#!/usr/bin/env bash
# Fails when a source file includes a header from a layer above its own (written in quotes
# or in angle brackets, with or without ".." in its path), or when a Qt-free folder includes
# a Qt header. Both lists are read from the README's "Development" section
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

# Prints LINE:WRITTEN:PATH for every include of the file, quoted or in angle brackets, with
# PATH the repository path it names: "." and ".." are resolved, and a quoted name is taken
# beside the including file when it starts with "./" or "../" or is found there (as the
# compiler looks), else from the repository's top.
includes_of() { # includes_of FILE (a path under $root)
  local rel=${1#"$root/"}
  awk -v root="$root" -v dir="$(dirname "$rel")" '
    function normal(p,    n, k, j, part, out, s) {
      n = split(p, part, "/"); k = 0
      for (j = 1; j <= n; j++) {
        if (part[j] == "" || part[j] == ".") continue
        if (part[j] == ".." && k > 0 && out[k] != "..") { k--; continue }
        out[++k] = part[j]
      }
      s = ""
      for (j = 1; j <= k; j++) s = s (j > 1 ? "/" : "") out[j]
      return s
    }
    match($0, /^[[:space:]]*#[[:space:]]*include[[:space:]]*/) {
      rest = substr($0, RLENGTH + 1)
      opening = substr(rest, 1, 1)
      if (opening == "\"") closing = "\""
      else if (opening == "<") closing = ">"
      else next
      rest = substr(rest, 2)
      stop = index(rest, closing)
      if (stop <= 1) next
      written = substr(rest, 1, stop - 1)
      path = normal(written)
      if (opening == "\"") {
        beside = normal(dir "/" written)
        if (beside !~ /^\.\.(\/|$)/) {
          if (written ~ /^\.\.?\//) path = beside
          else if ((getline ignored < (root "/" beside)) >= 0) path = beside
          close(root "/" beside)
        }
      }
      print FNR ":" written ":" path
    }' "$1"
}

faults=0
for own in "${layers[@]}"; do
  [ -d "$root/$own" ] || continue
  while IFS= read -r -d '' file; do
    rel=${file#"$root/"}
    while IFS=: read -r lineNo written target; do
      top=${target%%/*}
      if [ -n "${rank[$top]+x}" ] && [ "${rank[$top]}" -gt "${rank[$own]}" ]; then
        named=$target
        [ "$written" = "$target" ] || named="$written (that is $target)"
        echo "$rel:$lineNo: includes $named from $top/, a layer above $own/" >&2
        faults=$((faults + 1))
      fi
    done < <(includes_of "$file")
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
