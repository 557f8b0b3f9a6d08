#!/usr/bin/env bash
# Synthesises a short rock riff of plucked-string power chords with sox (no sample file
# needed): synth-riff.sh OUT.wav
set -euo pipefail
outfile=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

beat=0.25 # an eighth note at 120 bpm
# time-in-eighths : chord (root fifth octave) : ring time in seconds
riff=(
  "0:E2 B2 E3:0.22" "1:E2 B2 E3:0.22" "3:G2 D3 G3:0.45" "4:A2 E3 A3:0.7"
  "6:E2 B2 E3:0.22" "7:D2 A2 D3:0.45" "8:E2 B2 E3:0.22" "9:E2 B2 E3:0.22"
  "11:G2 D3 G3:0.45" "12:A2 E3 A3:0.45" "13:C3 G3 C4:0.45" "14:B2 F#3 B3:1.6"
)

mix=()
n=0
for note in "${riff[@]}"; do
  IFS=: read -r at chord ring <<<"$note"
  set -- $chord
  start=$(awk -v a="$at" -v b="$beat" 'BEGIN { printf "%.3f", a * b }')
  f=$tmp/$(printf 'n%02d' $n).wav
  sox -n -r 44100 -c 1 -b 24 "$f" synth "$ring" pluck "$1" pluck "$2" pluck "$3" remix - \
    fade 0.002 "$ring" 0.05 gain -9 pad "$start" 0
  mix+=(-v 1 "$f")
  n=$((n + 1))
done
sox -m "${mix[@]}" -b 24 "$tmp/riff.wav" pad 0 0.5 gain -n -3
mv "$tmp/riff.wav" "$outfile"
