#!/usr/bin/env bash
# Sets up what is missing, builds, speaks the sample voices (once), and starts the program on
# the bundled sample data in build/bin. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
ORVJ_BUILD_DIR=build ./build.sh
cmake --build build --target sample_voices || echo "No sample voices: the program runs silent."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting the program under Xvfb."
  exec xvfb-run -a ./build/bin/orvj "$@"
fi
exec ./build/bin/orvj "$@"
