#!/usr/bin/env bash
# Line coverage of the Qt-free core (the orvj_core library) by the whole test suite.
# Builds an instrumented copy in build-coverage/ (or $ORVJ_COVERAGE_BUILD_DIR), runs every
# test and prints the summary for the core's lines; the per-file table goes to
# build-coverage/coverage.txt.
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
cmake --build "$BUILD_DIR" -j "$(nproc)"

find "$BUILD_DIR" -name '*.gcda' -delete
(cd "$BUILD_DIR" && ctest -j "$(nproc)" --output-on-failure)

# Only the core library's objects are read: the forms and the tests are not counted.
gcovr --root . --exclude 'tests/' --exclude 'fuzz/' --exclude "$BUILD_DIR/" \
  --txt "$BUILD_DIR/coverage.txt" --print-summary "$BUILD_DIR/CMakeFiles/orvj_core.dir"
