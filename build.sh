#!/usr/bin/env bash
# Configures and builds into build/ (or $ORVJ_BUILD_DIR). Extra arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")"
BUILD_DIR=${ORVJ_BUILD_DIR:-build}
GEN=()
if command -v ninja >/dev/null 2>&1; then
  GEN=(-G Ninja)
fi
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD_DIR" "${GEN[@]}" -DCMAKE_BUILD_TYPE=${ORVJ_BUILD_TYPE:-RelWithDebInfo} "$@"
else
  cmake -S . -B "$BUILD_DIR" "$@" >/dev/null
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"
