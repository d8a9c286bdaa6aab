#!/usr/bin/env bash
# The install, without root: `cmake --install` into a temporary DESTDIR; the installed
# orvj-report, started by a user with an empty home, lays the template out in the per-user
# folder and composes a sample client's report; the installed file list holds no build paths
# and no test files. Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root/usr"
for f in bin/orvj bin/orvj-report bin/orvj-report-print bin/orvj-mkdata \
         share/orvj/ORVJTest.ini share/orvj/ORVj32.db \
         share/orvj/data/DATA301.OVJ share/applications/org.orvj.ORVJuvenile.desktop \
         share/metainfo/org.orvj.ORVJuvenile.metainfo.xml \
         share/icons/hicolor/scalable/apps/org.orvj.ORVJuvenile.svg \
         share/icons/hicolor/48x48/apps/org.orvj.ORVJuvenile.png \
         share/man/man1/orvj.1.gz share/man/man1/orvj-report.1.gz share/man/man1/orvj-report-print.1.gz \
         share/man/man1/orvj-mkdata.1.gz \
         share/doc/orvj/copyright; do
  [ -e "$root/$f" ] || fail "the install lacks $f"
done

# The file list: nothing of the build tree, no test programs, no run's leftovers.
list=$(cd "$work/root" && find . -mindepth 1 | sed 's|^\./|/|')
if grep -E -e "$build" -e '/tests?/|/test_|\.PRN$|/temp[0-9]+$|\.LCK$|CMakeFiles' <<<"$list"; then
  fail "the install holds the files above"
fi
for b in orvj orvj-report orvj-report-print orvj-mkdata; do
  if readelf -d "$root/bin/$b" | grep -E 'RPATH|RUNPATH' | grep -q -F "$build"; then
    fail "$b keeps a run path into the build tree"
  fi
done

# orvj-report's text work loads no window system; --pdf and --print start orvj-report-print.
if ldd "$root/bin/orvj-report" | grep -E 'libQt6(Gui|Widgets|PrintSupport|DBus)'; then
  fail "orvj-report links the window-system libraries above"
fi

# A user with no program folder yet.
home="$work/home"
mkdir -p "$home"
run() { env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" \
          QT_QPA_PLATFORM=offscreen "$root/bin/orvj-report" "$@"; }
help=$(run --help)
grep -q -F "Program folder: $home/.local/share/orvj (the per-user folder" <<<"$help" ||
  fail "orvj-report --help does not name the per-user folder: $help"
run --client 1 >"$work/out" 2>"$work/err" || fail "orvj-report --client 1: $(cat "$work/err")"
folder="$home/.local/share/orvj"
grep -q -F "$folder" "$work/err" || fail "the first start does not say where the folder is"
grep -q "SAMPLE" "$work/err" || fail "the first start does not say that the content is sample content"
[ -s "$folder/REPORT.PRN" ] || fail "no report was composed in $folder"
cmp -s "$root/share/orvj/ORVJB.TXT" "$folder/ORVJB.TXT" || fail "the template was not laid out"
# The second start says nothing more, and the research export works de-identified.
run --list >"$work/out" 2>"$work/err"
[ ! -s "$work/err" ] || fail "the second start spoke again: $(cat "$work/err")"
run --scores --csv --deidentified >"$work/csv"
head -1 "$work/csv" | grep -q '^study,age,' || fail "the de-identified export has a name column"

# Under a permissive umask the programs still leave nothing another local user can read: the
# laid-out folder, reports, copies, a PDF, an install of inventory files and its backup.
(
  umask 022
  run --all >/dev/null 2>"$work/err" || fail "orvj-report --all: $(cat "$work/err")"
  run --client 2 --pdf "$folder/report.pdf" >/dev/null 2>"$work/err" ||
    fail "orvj-report --pdf: $(cat "$work/err")"
  mkdir -p "$work/set"
  cp "$root/share/orvj/"*.TXT "$root/share/orvj/"*.txt "$root/share/orvj/ORVj32.db" "$work/set/"
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/.local/share" \
    "$root/bin/orvj-mkdata" install "$work/set" >/dev/null 2>"$work/err" ||
    fail "orvj-mkdata install: $(cat "$work/err")"
)
readable=$(find "$folder" -perm /o=rwx)
[ -z "$readable" ] || fail "readable by other users: $readable"
echo "install test passed: $(wc -l <<<"$list") installed files and folders"
