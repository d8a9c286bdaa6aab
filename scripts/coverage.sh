#!/usr/bin/env bash
# Line coverage of the Qt-free core (the orvj_core library) by the tests without windows.
# Builds an instrumented copy in build-coverage/ (or $ORVJ_COVERAGE_BUILD_DIR), runs those
# tests and prints gcovr's summary; the per-file table goes to build-coverage/coverage.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${ORVJ_COVERAGE_BUILD_DIR:-build-coverage}

GEN=()
if command -v ninja >/dev/null 2>&1; then
  GEN=(-G Ninja)
fi
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" "${GEN[@]}" -DCMAKE_BUILD_TYPE=Debug -DORVJ_COVERAGE=ON \
    -DORVJ_BUILD_BENCHMARKS=OFF >/dev/null
else
  cmake -S . -B "$BUILD_DIR" >/dev/null
fi

# The tests without windows, and what they run: the sample data set and orvj-report.
mapfile -t tests < <(cd "$BUILD_DIR" && ctest -N -L core | sed -n 's/^ *Test *#[0-9]*: //p')
if [ ${#tests[@]} -eq 0 ]; then
  echo "coverage.sh: no tests labelled core" >&2
  exit 1
fi
cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${tests[@]}" orvj-report orvj-mkdata sample_home

find "$BUILD_DIR" -name '*.gcda' -delete
(cd "$BUILD_DIR" && ctest -L core -j "$(nproc)" --output-on-failure)

gcovr --root . --exclude 'tests/' --exclude 'fuzz/' --exclude "$BUILD_DIR/" \
  --txt "$BUILD_DIR/coverage.txt" --print-summary "$BUILD_DIR/CMakeFiles/orvj_core.dir"
