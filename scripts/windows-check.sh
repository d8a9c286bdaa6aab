#!/usr/bin/env bash
# The Windows check: cross-compiles the Qt-free core, a text-only orvj-report and the core's
# tests with MinGW-w64, runs the tests under Wine, and compares what orvj-report.exe writes for
# the sample clients (REPORT.PRN and temp1, temp2, ... of all three report forms; the client
# list, the scores and the CSV export) byte for byte with the Linux build's orvj-report.
#
# Needs the Linux build first (build/, or $ORVJ_BUILD_DIR): its orvj-report and the sample
# program folder it lays out. The cross build goes to build-windows/ ($ORVJ_WINDOWS_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
linux=$root/${ORVJ_BUILD_DIR:-build}
win=$root/${ORVJ_WINDOWS_BUILD_DIR:-build-windows}
jobs=${ORVJ_JOBS:-$(nproc)}

fail() {
  echo "windows-check: $*" >&2
  exit 1
}

[ -x "$linux/bin/orvj-report" ] || fail "no Linux build in $linux (run ./build.sh first)"
[ -f "$linux/bin/data/DATA301.OVJ" ] || fail "the sample program folder $linux/bin is not laid out"
command -v x86_64-w64-mingw32-g++-posix >/dev/null || fail "MinGW-w64 is missing (scripts/setup.sh)"
command -v wine >/dev/null || fail "wine is missing (scripts/setup.sh)"

# --- The cross build --------------------------------------------------------------------------
# GCC 12 warns wrongly about std::string copies at -O3 (-Wrestrict); -O2 builds clean.
if [ ! -f "$win/CMakeCache.txt" ]; then
  gen=()
  if command -v ninja >/dev/null 2>&1; then
    gen=(-G Ninja)
  fi
  cmake -S . -B "$win" "${gen[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DORVJ_CORE_ONLY=ON -DORVJ_WERROR=ON -DORVJ_BUILD_BENCHMARKS=OFF \
    -DORVJ_GTEST_SOURCE_DIR=/usr/src/googletest >/dev/null
fi
cmake --build "$win" -j "$jobs"

# --- Wine -------------------------------------------------------------------------------------
export WINEPREFIX=$win/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "windows-check: preparing a Wine prefix in $WINEPREFIX"
  wineboot --init >/dev/null 2>&1 || true
fi
winpath() {
  winepath -w "$1" 2>/dev/null
}

# A program folder laid out from the Linux build's sample: configuration, inventory files and
# the client file, nothing the Linux programs wrote.
layout() {
  local to=$1
  rm -rf "$to"
  mkdir -p "$to/data"
  find "$linux/bin" -maxdepth 1 -type f \( -name '*.TXT' -o -name '*.txt' -o -name ORVJTest.ini \) \
    -exec cp {} "$to/" \;
  cp "$linux/bin/data/DATA301.OVJ" "$to/data/"
}

# The tests read the sample program folder of their own build.
layout "$win/bin.sample"
find "$win/bin.sample" -mindepth 1 -maxdepth 1 -exec cp -r {} "$win/bin/" \;
rm -rf "$win/bin.sample"

# --- The core's tests under Wine --------------------------------------------------------------
logs=$win/test-logs
rm -rf "$logs"
mkdir -p "$logs"
failed=0
count=0
# The test programs this build registers (a program left over from an older tree is not one).
mapfile -t tests < <(ctest --test-dir "$win" -N | sed -nE 's/^ *Test +#[0-9]+: (test_[A-Za-z0-9_]+)$/\1/p')
for name in "${tests[@]}"; do
  exe=$(find "$win/tests" -name "$name.exe" | head -n 1)
  [ -n "$exe" ] || continue # a check without a program of its own (a script)
  count=$((count + 1))
  if (cd "$(dirname "$exe")" && wine "$exe" --gtest_brief=1 >"$logs/$name.log" 2>&1); then
    echo "windows-check: $name passed under Wine ($(grep -c '^\[  SKIPPED \]' "$logs/$name.log" || true) skipped)"
  else
    echo "windows-check: $name FAILED under Wine:" >&2
    cat "$logs/$name.log" >&2
    failed=$((failed + 1))
  fi
done
[ "$count" -gt 0 ] || fail "no test programs were built"
[ "$failed" -eq 0 ] || fail "$failed of $count test programs failed under Wine"

# --- orvj-report.exe against the Linux orvj-report ---------------------------------------------
cmp_dir=$win/compare
rm -rf "$cmp_dir"
compared=0
same() {
  cmp -s "$1" "$2" || fail "$(basename "$1") differs from the Linux build's: $1 $2"
  compared=$((compared + 1))
}
for option in standard one-page both; do
  layout "$cmp_dir/$option/linux"
  layout "$cmp_dir/$option/windows"
  "$linux/bin/orvj-report" --home "$cmp_dir/$option/linux" --all --option "$option" >/dev/null
  wine "$win/bin/orvj-report.exe" --home "$(winpath "$cmp_dir/$option/windows")" --all \
    --option "$option" >/dev/null
  same "$cmp_dir/$option/linux/REPORT.PRN" "$cmp_dir/$option/windows/REPORT.PRN"
  n=0
  for copy in "$cmp_dir/$option/linux"/temp*; do
    same "$copy" "$cmp_dir/$option/windows/$(basename "$copy")"
    n=$((n + 1))
  done
  [ "$n" -gt 0 ] || fail "no temp copies were written for $option"
  [ ! -e "$cmp_dir/$option/windows/temp$((n + 1))" ] || fail "Wine wrote more copies than Linux"
done

# Standard output: the same text; Windows ends its lines with CR LF.
home=$cmp_dir/standard/linux
for args in "--list" "--scores" "--scores --csv"; do
  # shellcheck disable=SC2086
  "$linux/bin/orvj-report" --home "$home" $args >"$cmp_dir/linux.out"
  # shellcheck disable=SC2086
  wine "$win/bin/orvj-report.exe" --home "$(winpath "$home")" $args | tr -d '\r' \
    >"$cmp_dir/windows.out"
  tr -d '\r' <"$cmp_dir/linux.out" >"$cmp_dir/linux.lf"
  cmp -s "$cmp_dir/linux.lf" "$cmp_dir/windows.out" ||
    fail "orvj-report $args prints differently under Wine (see $cmp_dir)"
  compared=$((compared + 1))
done

# A data folder on a drive this PC does not have: exit status 1, and the message names it.
missing=$cmp_dir/missing-drive
layout "$missing"
printf '[Path]\r\nFilePath=Q:\\ORVJ\\data\r\n' >"$missing/ORVJTest.ini"
status=0
wine "$win/bin/orvj-report.exe" --home "$(winpath "$missing")" --list >/dev/null \
  2>"$cmp_dir/missing.err" || status=$?
[ "$status" -eq 1 ] || fail "a missing drive gave exit status $status, not 1"
grep -qF 'Q:\ORVJ\data' "$cmp_dir/missing.err" ||
  fail "the message of a missing drive does not name the folder: $(cat "$cmp_dir/missing.err")"

echo "windows-check: $count test programs passed under Wine; $compared reports and listings" \
  "byte-identical to Linux; a missing drive is reported"
