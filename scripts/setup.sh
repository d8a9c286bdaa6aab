#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the sample data need (with
# --package, also those scripts/package.sh needs), but only those that are missing.
# Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libgl-dev
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  libsqlite3-dev sqlite3 libsodium-dev ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation
  xvfb xauth
  espeak-ng
  clang-format
  clang libclang-rt-14-dev
  gcovr
  g++-mingw-w64-x86-64-posix googletest wine wine64
)

# scripts/package.sh also needs the package checkers.
if [ "${1:-}" = --package ]; then
  packages+=(lintian desktop-file-utils appstream dpkg-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
