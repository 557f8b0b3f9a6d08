#!/usr/bin/env bash
# The DLL under Wine and the native build of the same effect render the same riff at the
# crunch setting; they may differ only by the two platforms' maths libraries (powf, expf
# and logf round differently in the last place), which must stay far below audibility.
#   compare-builds.sh NATIVE_BUILD_DIR WINDOWS_HOST DLL WINE_PREFIX
set -euo pipefail
native=$1 winhost=$2 dll=$3 prefix=$4
root=$(cd "$(dirname "$0")/../../.." && pwd)
host=$native/tools/host/korvalite-host
plugin=$native/plugin/Korvalite.so
analyze=$native/tools/analyze/korvalite-analyze
for f in "$host" "$plugin" "$analyze"; do
  [ -e "$f" ] || { echo "skipped: the native tree is not built ($f)"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$root/scripts/synth-riff.sh" "$work/riff.wav"
params=(--param 0=0.6 --param 2=0.5 --param 7=0.01 --param 8=0.01 --param 9=0.01)
ASAN_OPTIONS=detect_leaks=1 "$host" render "$plugin" "$work/riff.wav" "$work/native.wav" "${params[@]}" 2>/dev/null
"$root/scripts/wine-run.sh" --prefix "$prefix" "$winhost" render "$dll" "$work/riff.wav" "$work/dll.wav" "${params[@]}" 2>/dev/null

status=0
for channel in 0 1; do
  read -r _ max _ rel < <("$analyze" compare "$work/native.wav" "$work/dll.wav" --channel $channel)
  echo "channel $channel: largest difference $max, difference RMS $rel dB relative to the signal"
  # Tolerance: no sample apart by more than 1e-2 (-40 dBFS) and the difference 50 dB under the signal.
  awk -v m="$max" -v r="$rel" 'BEGIN { exit !(m < 1e-2 && r < -50) }' || status=1
done
exit $status
