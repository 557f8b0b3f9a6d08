#!/usr/bin/env bash
# The main job: renders a guitar phrase (synthesised, or the user's own file) through
# Korvalite_64.dll under Wine with our host at three settings, into out/.
#   demo.sh [INPUT.wav]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=$root/out
win=$root/build/win64
host=$win/tools/host/korvalite-host.exe
dll=$(find "$win" -name Korvalite_64.dll -not -path '*/wineprefix/*' 2>/dev/null | head -n 1)
run=("$root/scripts/wine-run.sh" --prefix "$win/wineprefix")

die() { printf 'demo: %s\n' "$*" >&2; exit 1; }
[ -x "$host" ] || die "the Windows host is not built ($host); run make build"
[ -n "$dll" ] || die "Korvalite_64.dll is not built; run make build"
mkdir -p "$out"

input=${1:-}
if [ -n "$input" ]; then
  [ -r "$input" ] || die "cannot read $input"
  input=$(cd "$(dirname "$input")" && pwd)/$(basename "$input")
else
  input=$out/riff.wav
  bash "$root/scripts/synth-riff.sh" "$input"
  echo "demo: synthesised a plucked-string riff: $input"
fi

# name | parameters (index=value): gain, tone, volume, mix, power, input transformer,
# output transformer, power supply, output tap
settings=(
  "clean|0=0.25 1=0.7 2=0.8 3=1 6=1 7=0 8=0.01 9=0 10=0"
  "crunch|0=0.6 1=0.5 2=0.5 3=1 6=1 7=0.01 8=0.01 9=0.01 10=0"
  "drive|0=1 1=0.4 2=0.6 3=1 6=1 7=0.01 8=0.01 9=0.01 10=0.01"
)

for s in "${settings[@]}"; do
  name=${s%%|*}
  args=()
  for p in ${s#*|}; do args+=(--param "$p"); done
  "${run[@]}" "$host" render "$dll" "$input" "$out/$name.wav" "${args[@]}"
  echo "demo: $name -> $out/$name.wav"
done
# The editor as the crunch setting shows it with the phrase playing: the real DLL in the
# host's editor window under Wine, screenshot after a moment of audio so the meters move.
crunch=()
for p in ${settings[1]#*|}; do crunch+=(--param "$p"); done
"${run[@]}" "$host" editor "$dll" --audio "$input" --hold 1500 --screenshot "$out/editor.png" "${crunch[@]}" \
  2>"$out/editor.log" || die "the editor screenshot failed (see $out/editor.log)"
echo "demo: the editor -> $out/editor.png"
echo "demo: the renders are in $out/"
