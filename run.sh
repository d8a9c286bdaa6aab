#!/usr/bin/env bash
# Sets up what is missing, builds, speaks the sample voices (once), and starts the program on
# the bundled sample data in build-run/bin. Arguments are passed on to the program. It builds
# into a folder of its own, without the test build's warnings-as-errors.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
ORVJ_BUILD_DIR=build-run ./build.sh -DORVJ_WERROR=OFF
cmake --build build-run --target sample_voices || echo "No sample voices: the program runs silent."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting the program under Xvfb."
  exec xvfb-run -a ./build-run/bin/orvj "$@"
fi
exec ./build-run/bin/orvj "$@"
