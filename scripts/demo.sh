#!/usr/bin/env bash
# The main job: renders a guitar phrase (synthesised, or the user's own file) through
# Korvalite_64.dll under Wine with our host with five of its factory programs (each through its
# cabinet) and once with the cabinet off, into out/.
#   demo.sh [INPUT.wav]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# One virtual display for every Wine run of the demo, which outlives Wine's own processes: each
# run on a display of its own left Wine's desktop process behind when its display went, and that
# process reported "X connection ... broken" on the way out.
if [ -z "${DISPLAY:-}" ] && [ -z "${KORVALITE_DEMO_DISPLAY:-}" ]; then
  KORVALITE_DEMO_DISPLAY=1 exec xvfb-run -a -s "-screen 0 2560x1600x24" bash "$0" "$@"
fi
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

# name | factory program (levels matched in the bank)
settings=(
  "clean|1"
  "crunch|2"
  "drive|3"
  "lead|4"
  "power-amp-drive|6"
)

for s in "${settings[@]}"; do
  name=${s%%|*}
  "${run[@]}" "$host" render "$dll" "$input" "$out/$name.wav" --program "${s#*|}"
  echo "demo: $name -> $out/$name.wav"
done
# The same crunch without its cabinet: the amplifier's output alone, as a head's speaker jack has it.
"${run[@]}" "$host" render "$dll" "$input" "$out/crunch-cab-off.wav" --program 2 --param 11=0
echo "demo: crunch, cabinet off -> $out/crunch-cab-off.wav"
# The editor as the crunch program shows it with the phrase playing: the real DLL in the
# host's editor window under Wine, screenshot after a moment of audio so the meters move.
"${run[@]}" "$host" editor "$dll" --audio "$input" --hold 1500 --screenshot "$out/editor.png" --program 2 \
  2>"$out/editor.log" || die "the editor screenshot failed (see $out/editor.log)"
echo "demo: the editor -> $out/editor.png"
"${run[@]}" --wait-server
echo "demo: the renders are in $out/"
