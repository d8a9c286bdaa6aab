#!/usr/bin/env bash
# Speaks the sample question bank into wave files with espeak-ng:
#   make_voices.sh ESPEAK INSTRUCTION_TEXT QUESTIONS.tsv LANGUAGE VOICE OUTDIR
# Writes Inst0..Inst5.wav and one file per question and per option, named by the audio stems
# of the question source, into OUTDIR (the language's sound folder).
set -euo pipefail
espeak=$1 insttext=$2 tsv=$3 language=$4 voice=$5 outdir=$6

mkdir -p "$outdir"
speak() { # stem, text on stdin
    "$espeak" -v "$voice" -s 150 -w "$outdir/$1.wav.part" --stdin
    mv -f "$outdir/$1.wav.part" "$outdir/$1.wav"
}

for screen in 0 1 2 3 4 5; do
    text=$("$insttext" "$language" "$screen")
    if [ -n "${text//[[:space:]]/}" ]; then
        printf '%s\n' "$text" | speak "Inst$screen"
    fi
done

# One "stem<TAB>text" line per sound: the question (read with its number) and each option
# that has an audio stem. Empty cells are kept apart by awk's tab splitting.
count=0
while IFS=$'\t' read -r stem text; do
    printf '%s\n' "$text" | speak "$stem"
    count=$((count + 1))
done < <(awk -F'\t' 'NR > 1 {
    if ($3 != "") printf "%s\t%s. %s\n", $3, $1, $2
    for (k = 0; k < 5; k++) if ($(9 + k) != "" && $(4 + k) != "") printf "%s\t%s\n", $(9 + k), $(4 + k)
}' "$tsv")
echo "$language: $count question and option files and the instruction files in $outdir"
