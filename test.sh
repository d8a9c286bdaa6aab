#!/usr/bin/env bash
# Sets up what is missing, builds, checks the formatting, the layer order of the includes and
# that only the platform folders include system headers, and runs every test: once in a normal
# build with warnings as errors, once under AddressSanitizer and UndefinedBehaviorSanitizer;
# runs each fuzz target for 20 seconds; and cross-builds the core for Windows and runs its
# tests under Wine.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh

ORVJ_BUILD_DIR=build ./build.sh -DORVJ_WERROR=ON
cmake --build build --target format-check
./scripts/check-layers.sh
./scripts/check-system-headers.sh
(cd build && ctest --output-on-failure -j "$(nproc)")
# The install into a temporary folder, without root, as a user with no program folder yet.
./tests/dist/check_install.sh build

# Each fuzz target for a short while: a crash or a failed property check fails the run.
if [ "${ORVJ_SKIP_FUZZ:-0}" != 1 ]; then
  ./scripts/fuzz.sh "${ORVJ_FUZZ_SECONDS:-20}"
fi

# The core and orvj-report for Windows, under Wine, against this build's reports.
if [ "${ORVJ_SKIP_WINDOWS:-0}" != 1 ]; then
  ORVJ_BUILD_DIR=build ./scripts/windows-check.sh
fi

if [ "${ORVJ_SKIP_SANITIZE:-0}" != 1 ]; then
  # At -O1: the sanitizers find the same faults, and the build and the run take far less time.
  ORVJ_BUILD_DIR=build-asan ORVJ_BUILD_TYPE=Debug ./build.sh -DORVJ_SANITIZE=ON -DORVJ_WERROR=ON \
    -DORVJ_BUILD_BENCHMARKS=OFF -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"
  # Qt's own libraries are not instrumented; their one-time allocations are not our leaks.
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  (cd build-asan && ctest --output-on-failure -j "$(nproc)")
fi
echo "All tests passed."
