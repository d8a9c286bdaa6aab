#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the program on the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
./build.sh
exec ./build/bin/orvj "$@"
