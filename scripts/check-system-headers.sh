#!/usr/bin/env bash
# The core, the programs and the tests reach the operating system only through the file layer
# (store/platform) and its test counterpart (tests/platform): no system header (POSIX or
# Windows) is included anywhere else, and no "/proc/..." path is named anywhere else. The C++ standard library, Qt, SQLite, libsodium,
# GoogleTest and Google Benchmark are allowed everywhere.
set -euo pipefail
cd "$(dirname "$0")/.."

allowed='^(gtest|gmock|benchmark)/|^sqlite3\.h$|^sodium\.h$|^Q'
found=0
while IFS= read -r -d '' file; do
  case $file in
  store/platform/* | tests/platform/*) continue ;;
  esac
  while IFS= read -r line; do
    header=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]+)>.*/\1/' <<<"${line#*:}")
    # Standard C++ headers have no extension; a ".h" or a folder is a system's or a library's.
    if [[ $header == *.h || $header == */* ]] && ! [[ $header =~ $allowed ]]; then
      echo "check-system-headers: $file:${line%%:*}: <$header> belongs in store/platform" >&2
      found=1
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$file" || true)
done < <(find app bench clients core fuzz sample scoring session store supervisor tests tools ui \
  \( -name '*.cpp' -o -name '*.h' \) -print0)

# What /proc holds is the system's too: the running program's file, its processes.
while IFS=: read -r file lineNo _; do
  case $file in
  store/platform/* | tests/platform/*) continue ;;
  esac
  echo "check-system-headers: $file:$lineNo: a /proc path belongs in store/platform" >&2
  found=1
done < <(grep -rnE '"/proc(/|")' app bench clients core fuzz sample scoring session store supervisor tests tools ui \
  --include='*.cpp' --include='*.h' || true)

if [ "$found" -ne 0 ]; then
  exit 1
fi
echo "check-system-headers: no system header or /proc path outside store/platform and tests/platform"
