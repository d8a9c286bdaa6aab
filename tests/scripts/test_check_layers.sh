#!/usr/bin/env bash
# The layer check passes on the source tree, and fails on a copy of its README with a planted
# upward include (in quotes or angle brackets, straight or through "..") or a Qt header in a
# Qt-free folder.
set -uo pipefail
src=$1
check="$src/scripts/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() { # expect pass|fail NAME ROOT [TEXT the messages must hold]
  local want=$1 name=$2 root=$3 text=${4:-} out rc
  out=$("$check" "$root" 2>&1)
  rc=$?
  if { [ "$want" = pass ] && [ $rc -ne 0 ]; } || { [ "$want" = fail ] && [ $rc -ne 1 ]; }; then
    echo "FAIL $name: expected $want, exit status $rc"; echo "$out"; failures=$((failures + 1))
  elif [ -n "$text" ] && ! grep -qF -- "$text" <<<"$out"; then
    echo "FAIL $name: the output does not name \"$text\""; echo "$out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect pass "source tree" "$src"

tree() { # a small tree under the real README: every include goes down
  rm -rf "$work/t"; mkdir -p "$work/t/core" "$work/t/store" "$work/t/clients"
  cp "$src/README.md" "$work/t/"
  printf '#pragma once\n#include <array>\n' >"$work/t/core/A.h"
  printf '#include "core/A.h"\n#include "store/B.h"\n' >"$work/t/store/B.cpp"
  printf '#include "store/B.h"\n#include <QString>\n' >"$work/t/clients/C.cpp"
}

tree
expect pass "downward includes and Qt above the Qt-free folders" "$work/t"

tree
printf '#include "core/A.h"\n\n#include "clients/C.h"\n' >"$work/t/store/Up.cpp"
expect fail "store includes clients" "$work/t" "store/Up.cpp:3: includes clients/C.h"

tree
printf '  #  include "store/B.h"\n' >>"$work/t/core/A.h"
expect fail "indented include from core to store" "$work/t" "core/A.h:3"

tree
printf '#include <array>\n#include <clients/C.h>\n' >"$work/t/store/Angle.cpp"
expect fail "store includes clients in angle brackets" "$work/t" \
  "store/Angle.cpp:2: includes clients/C.h from clients/"

tree
mkdir -p "$work/t/store/sub"
printf '#include "../../clients/C.h"\n' >"$work/t/store/sub/Climb.cpp"
expect fail "store climbs to clients through .." "$work/t" \
  "store/sub/Climb.cpp:1: includes ../../clients/C.h (that is clients/C.h) from clients/"

tree
printf '#include <core/../clients/C.h>\n' >"$work/t/store/Through.cpp"
expect fail "an angle-bracket path through core to clients" "$work/t" "store/Through.cpp:1"

tree
mkdir -p "$work/t/store/clients"
printf '#pragma once\n' >"$work/t/store/clients/C.h"
printf '#include "clients/C.h"\n#include "../core/A.h"\n#include <store/../core/A.h>\n' \
  >"$work/t/store/Near.cpp"
expect pass "a quoted name found beside the file, and .. that stays below" "$work/t"

tree
printf '#include <QtCore/QString>\n' >>"$work/t/store/B.cpp"
expect fail "Qt header in store" "$work/t" "store/B.cpp:3: includes the Qt header <QtCore/QString>"

tree
sed -i 's/^- Layer order/- Layers in order/' "$work/t/README.md"
out=$("$check" "$work/t" 2>&1); rc=$?
if [ $rc -eq 2 ] && grep -q "Layer order" <<<"$out"; then echo "ok   README without the order"
else echo "FAIL README without the order: status $rc"; echo "$out"; failures=$((failures + 1)); fi

exit $((failures > 0))
