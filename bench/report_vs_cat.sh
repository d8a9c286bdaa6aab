#!/usr/bin/env bash
# Times `orvj-report --all` over the sample program folder against `cat` of the files it
# reads (client file, scoring table, report texts), side by side in one run, and prints both
# times per run and their ratio.
#
#   bench/report_vs_cat.sh [BIN_DIR] [RUNS] [ROUNDS]
#
# BIN_DIR is a build's program folder (default build/bin, which holds orvj-report and the
# sample content after a build). Each round runs both commands RUNS times (default 40),
# alternating; the figure reported for each is the median of the ROUNDS (default 7) rounds.
# The reports are written into a copy of the program folder whose client file holds 51
# clients, the sample clients over and over; the copy is removed at the end.
set -euo pipefail
BIN_DIR=${1:-build/bin}
RUNS=${2:-40}
ROUNDS=${3:-7}
REPORT="$BIN_DIR/orvj-report"
if [ ! -x "$REPORT" ]; then
    echo "report_vs_cat: $REPORT not found; build first (./build.sh)" >&2
    exit 1
fi

HOME_DIR=$(mktemp -d)
trap 'rm -rf "$HOME_DIR"' EXIT
# The program folder without the programs: the inventory texts, the settings and the data.
find "$BIN_DIR" -maxdepth 1 -type f ! -perm -u+x -exec cp {} "$HOME_DIR"/ \;
mkdir "$HOME_DIR/data"
# A full client file of 51 clients: the sample's 196-byte records over and over.
SAMPLE="$BIN_DIR/data/DATA301.OVJ"
SAMPLE_COUNT=$(($(stat -c %s "$SAMPLE") / 196))
if [ "$SAMPLE_COUNT" -lt 1 ]; then
    echo "report_vs_cat: $SAMPLE holds no clients" >&2
    exit 1
fi
for ((k = 0; k < 51; k++)); do
    dd if="$SAMPLE" bs=196 skip=$((k % SAMPLE_COUNT)) count=1 status=none
done >"$HOME_DIR/data/DATA301.OVJ"

# What --all reads: the client file, the scoring table and every report text file.
INPUTS=("$HOME_DIR/data/DATA301.OVJ" "$HOME_DIR/ORVJB.TXT" "$HOME_DIR/ORVJRPT.TXT"
        "$HOME_DIR/ORV-J.TXT" "$HOME_DIR/INVAL.TXT" "$HOME_DIR/PUBLISHER.TXT")
for f in "$HOME_DIR"/DORV*.txt "$HOME_DIR"/ORVJ??.txt; do
    INPUTS+=("$f")
done

"$REPORT" --home "$HOME_DIR" --all >/dev/null # lays out nothing new; fails early if broken

now() { date +%s%N; }
report_runs() {
    local i
    for ((i = 0; i < RUNS; i++)); do
        "$REPORT" --home "$HOME_DIR" --all >/dev/null
    done
}
cat_runs() {
    local i
    for ((i = 0; i < RUNS; i++)); do
        cat "${INPUTS[@]}" >/dev/null
    done
}

report_ns=()
cat_ns=()
for ((r = 0; r < ROUNDS; r++)); do
    t0=$(now)
    report_runs
    t1=$(now)
    cat_runs
    t2=$(now)
    report_ns+=($(((t1 - t0) / RUNS)))
    cat_ns+=($(((t2 - t1) / RUNS)))
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
report_med=$(median "${report_ns[@]}")
cat_med=$(median "${cat_ns[@]}")
clients=$(($(stat -c %s "$HOME_DIR/data/DATA301.OVJ") / 196))

awk -v r="$report_med" -v c="$cat_med" -v n="$clients" -v runs="$RUNS" -v rounds="$ROUNDS" 'BEGIN {
    printf "orvj-report --all (%d clients): %8.2f ms per run\n", n, r / 1e6
    printf "cat of its input files:         %8.2f ms per run\n", c / 1e6
    printf "ratio report/cat:              %8.2f   (median of %d rounds of %d runs)\n", r / c, rounds, runs
}'
