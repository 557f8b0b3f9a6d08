#!/usr/bin/env bash
# Draws the README's plots from renders of the real Korvalite_64.dll (under Wine):
#   docs/response.png   frequency response of the linear path (mix 0) at 44.1 and 48 kHz
#   docs/transfer.png   output against input for a 100 Hz sine at three gains
#   docs/harmonics.png  spectrum of a 1 kHz sine through the crunch setting
#   docs/cabinets.png   frequency response of the four built-in cabinets
#   docs/aliasing.png   spectrogram of a sine sweep through the lead program at 44.1 kHz
# and prints, for the clean, crunch and lead programs at 44.1 and 48 kHz, the strongest line
# below 16 kHz that is not a harmonic of a -12 dBFS tone (what aliasing folds back); both with
# the programs' cabinets off.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
win=$root/build/win64
host=$win/tools/host/korvalite-host.exe
dll=$(find "$win" -name Korvalite_64.dll -not -path '*/wineprefix/*' 2>/dev/null | head -n 1)
analyze=$root/build/native/tools/analyze/korvalite-analyze
run=("$root/scripts/wine-run.sh" --prefix "$win/wineprefix")

die() { printf 'plots: %s\n' "$*" >&2; exit 1; }
[ -x "$host" ] && [ -n "$dll" ] || die "build the win64 tree first (make build)"
[ -x "$analyze" ] || die "build the native tree first (make build)"
command -v gnuplot >/dev/null || die "gnuplot is not installed (make setup)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
render() { # in out params...
  local in=$1 out=$2
  shift 2
  local args=()
  for p in "$@"; do args+=(--param "$p"); done
  "${run[@]}" "$host" render "$dll" "$in" "$out" --rate "$(soxi -r "$in")" "${args[@]}" 2>/dev/null
}
# A factory program with its cabinet off: the amplifier's own lines, which a cabinet's filtering
# would otherwise weigh against the tone.
render_program() { # in out program
  "${run[@]}" "$host" render "$dll" "$1" "$2" --rate "$(soxi -r "$1")" --program "$3" --param 11=0 2>/dev/null
}
# The latency the plug-in reports at a rate: its output lags its input by that many samples.
delay_at() {
  "${run[@]}" "$host" info "$dll" --rate "$1" 2>/dev/null | tr -d '\r' | sed -n 's/^initial delay: //p'
}

# Linear path: mix 0, volume 1, transformers out.
for rate in 44100 48000; do
  "$analyze" tones "$work/tones$rate.wav" --rate $rate --amp 0.25
  render "$work/tones$rate.wav" "$work/lin$rate.wav" 2=1 3=0 7=0 8=0 11=0
  "$analyze" response "$work/tones$rate.wav" "$work/lin$rate.wav" --delay "$(delay_at $rate)" >"$work/response$rate.dat"
done
delay=$(delay_at 48000)

# Transfer curves: a full-scale 100 Hz sine at three input gains, full wet mix.
"$analyze" sine "$work/sine100.wav" --rate 48000 --freq 100 --amp 1 --seconds 1
for g in 0.2 0.6 1.0; do
  render "$work/sine100.wav" "$work/tr$g.wav" 0=$g 2=0.5 3=1 11=0
  "$analyze" transfer "$work/sine100.wav" "$work/tr$g.wav" --delay $delay --from 0.5 --seconds 0.01 >"$work/transfer$g.dat"
done

# Harmonics: a 1 kHz sine at half scale through the crunch setting.
"$analyze" sine "$work/sine1k.wav" --rate 48000 --freq 1000 --amp 0.5 --seconds 1
render "$work/sine1k.wav" "$work/crunch1k.wav" 0=0.6 1=0.5 2=0.5 3=1 7=0.01 8=0.01 9=0.01 11=0

# The cabinets: the linear path (flat within a fraction of a dB) through each built-in cabinet.
for c in 0.2 0.4 0.6 0.8; do
  render "$work/tones48000.wav" "$work/cab$c.wav" 2=1 3=0 7=0 8=0 11=$c
  "$analyze" response "$work/tones48000.wav" "$work/cab$c.wav" --delay $delay >"$work/cab$c.dat"
done
"$analyze" spectrum "$work/crunch1k.wav" --from 0.5 --size 16384 >"$work/spectrum.dat"

# Aliasing: a sweep through the lead program at 44.1 kHz, and lines for three programs.
"$analyze" sweep "$work/sweep.wav" --rate 44100 --amp 0.25 --seconds 10
render_program "$work/sweep.wav" "$work/lead-sweep.wav" 4
"$analyze" spectrogram "$work/lead-sweep.wav" --size 4096 >"$work/spectrogram.dat"
printf 'strongest line below 16 kHz that is not a harmonic, dB against the tone (-12 dBFS):\n'
printf '%-8s %-9s %8s %8s %8s %8s\n' program rate 1k 2.5k 5k 8k
for program in 1:Clean 2:Crunch 4:Lead; do
  for rate in 44100 48000; do
    row=""
    for f in 1000 2500 5000 8000; do
      "$analyze" sine "$work/tone.wav" --rate $rate --freq $f --amp 0.25 --seconds 1.8
      render_program "$work/tone.wav" "$work/tone-out.wav" "${program%%:*}"
      row+=$(printf ' %8s' "$("$analyze" lines "$work/tone-out.wav" --freq $f --from 1)")
    done
    printf '%-8s %-9s%s\n' "${program#*:}" "$rate Hz" "$row"
  done
done

gnuplot <<EOF
set terminal pngcairo size 900,420 font "Liberation Sans,11"
set grid
set output "docs/response.png"
set title "Linear path (mix 0, volume 1): frequency response"
set logscale x
set xlabel "frequency (Hz)"; set ylabel "gain (dB)"
set xrange [20:20000]; set yrange [-6:2]
plot "$work/response44100.dat" with linespoints title "44.1 kHz", \
     "$work/response48000.dat" with linespoints title "48 kHz"
unset logscale x
set output "docs/transfer.png"
set title "Transfer curve: 100 Hz sine at full scale"
set xlabel "input"; set ylabel "output"
set autoscale; set xrange [-1:1]
plot "$work/transfer0.2.dat" with lines lw 2 title "gain 0.2", \
     "$work/transfer0.6.dat" with lines lw 2 title "gain 0.6", \
     "$work/transfer1.0.dat" with lines lw 2 title "gain 1.0"
set output "docs/harmonics.png"
set title "Crunch: spectrum of a 1 kHz sine"
set logscale x
set xlabel "frequency (Hz)"; set ylabel "level (dBFS)"
set xrange [100:24000]; set yrange [-140:0]
plot "$work/spectrum.dat" with lines title "output"
set output "docs/cabinets.png"
set title "The built-in cabinets (linear path at 48 kHz): frequency response"
set xlabel "frequency (Hz)"; set ylabel "gain (dB)"
set xrange [20:20000]; set yrange [-50:10]; set key bottom center
plot "$work/cab0.2.dat" with linespoints title "4x12 closed back", \
     "$work/cab0.4.dat" with linespoints title "2x12 open back", \
     "$work/cab0.6.dat" with linespoints title "1x12 open-back combo", \
     "$work/cab0.8.dat" with linespoints title "1x10 small combo"
set output "docs/aliasing.png"
set title "Lead at 44.1 kHz: a sine sweep from 20 Hz to 20 kHz at -12 dBFS"
unset logscale x
set xlabel "time (s)"; set ylabel "frequency (Hz)"; set cblabel "level (dBFS)"
set key default
set xrange [0:10]; set yrange [0:22050]; set cbrange [-140:0]
set palette defined (-140 "black", -100 "navy", -70 "purple", -40 "orange", 0 "yellow")
plot "$work/spectrogram.dat" using 1:2:3 with image notitle
EOF
echo "plots: docs/response.png docs/transfer.png docs/harmonics.png docs/cabinets.png docs/aliasing.png"
