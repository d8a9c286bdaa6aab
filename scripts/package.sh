#!/usr/bin/env bash
# Builds the Debian package orvj_<version>_<arch>.deb with CPack and checks it: the file list
# holds no build paths and no test files, lintian finds no error, the desktop entry and the
# AppStream metainfo validate. The package lands in the build folder (build-package/, or
# $ORVJ_BUILD_DIR), and its path is the last line printed.
# ORVJ_PACKAGE_VOICES=1 speaks the sample voices with espeak-ng first, to ship them too.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh --package

BUILD_DIR=${ORVJ_BUILD_DIR:-build-package}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  ORVJ_BUILD_DIR=$BUILD_DIR ORVJ_BUILD_TYPE=Release ./build.sh -DBUILD_TESTING=OFF \
    -DORVJ_BUILD_BENCHMARKS=OFF
else
  cmake --build "$BUILD_DIR" -j "$(nproc)"
fi
if [ "${ORVJ_PACKAGE_VOICES:-0}" = 1 ]; then
  cmake --build "$BUILD_DIR" --target sample_voices
fi

rm -f "$BUILD_DIR"/orvj_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD_DIR"/orvj_*.deb)
echo "Built $deb"

fail() { echo "FAIL: $*" >&2; exit 1; }
list=$(dpkg-deb -c "$deb" | awk '{print $6}')
build_path=$(cd "$BUILD_DIR" && pwd)
if grep -E -e "$build_path" -e "$(pwd)" -e '/tests?/|/test_|CMakeFiles|\.PRN$|\.LCK$' <<<"$list"; then
  fail "the package holds the files above"
fi
echo "File list: $(wc -l <<<"$list") entries, no build paths, no test files"

echo "lintian:"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml ||
  fail "appstreamcli validate"
echo "desktop-file-validate and appstreamcli validate passed"
echo "$deb"
