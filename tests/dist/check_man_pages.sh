#!/usr/bin/env bash
# Every option a program's --help names must appear in its manual page.
# Usage: check_man_pages.sh BIN_DIR MAN_DIR
set -euo pipefail
bin=$1
man=$2
status=0
for program in orvj orvj-report orvj-report-print orvj-mkdata; do
  page="$man/$program.1"
  [ -f "$page" ] || { echo "FAIL: $page is missing"; status=1; continue; }
  # The page's text with roff's escaped hyphens made plain.
  text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$page")
  options=$(env -u DISPLAY QT_QPA_PLATFORM=offscreen "$bin/$program" --help |
            grep -o -E -- '--[a-z][a-z-]*' | sort -u)
  [ -n "$options" ] || { echo "FAIL: $program --help names no option"; status=1; }
  for option in $options; do
    if ! grep -q -F -- "$option" <<<"$text"; then
      echo "FAIL: $program --help names $option, which $page does not"
      status=1
    fi
  done
  echo "$program: $(wc -w <<<"$options") options checked"
done
exit $status
