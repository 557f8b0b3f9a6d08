#!/usr/bin/env bash
# Korvalite in Ardour 7, headless on the dummy backend, as a user would meet it: Ardour finds
# the plug-in, shows its named parameters and programs, takes settings, compensates its
# latency, plays it on a stereo and on a mono track, and exports what korvalite-host renders
# from the same input. A saved session brings the settings back, and a user impulse response
# travels inside the project: it plays the same after its file is gone.
#   ardour.sh PLUGIN HOST ANALYZE
set -euo pipefail
plugin=$1 host=$2 analyze=$3
command -v ardour7-lua >/dev/null || { echo "skipped: Ardour 7 is not installed"; exit 77; }
source "$(dirname "$0")/common.sh"

# Debian hides the dummy backend, the only one that needs no sound card.
mkdir -p "$XDG_CONFIG_HOME/ardour7"
cat >"$XDG_CONFIG_HOME/ardour7/config" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config><Option name="hide-dummy-backend" value="0"/></Config></Ardour>
EOF
export LXVST_PATH=$work/vst

# The headless interpreter reads Ardour's plug-in cache but never scans: scan as Ardour does.
LD_LIBRARY_PATH=/usr/lib/ardour7 timeout 60 /usr/lib/ardour7/ardour-vst-scanner -q "$plugin" ||
  fail "Ardour's scanner refused the plug-in"
# The editor is Windows-only: Linux hosts must offer their generic controls instead.
grep -q 'has_editor="0"' "$XDG_CACHE_HOME"/ardour7/vst/*.v2i || fail "Ardour sees an editor"

stereo=0=0.8,1=0.3,2=0.6,9=1
mono=0=0.65,1=0.7,2=0.5,8=1,10=1
lua=$(dirname "$0")/ardour-session.lua
session=$work/session
timeout 120 ardour7-lua "$lua" create "$session" "$stereo" "$mono" 3 >"$work/create.log" 2>&1 ||
  { cat "$work/create.log"; fail "the session could not be made"; }
grep '^fact' "$work/create.log"

delay=$("$host" info "$plugin" | sed -n 's/^initial delay: //p')
parameters=$("$host" info "$plugin" | sed -n 's/^parameters: //p')
for track in stereo mono; do
  facts=$(grep "^fact $track " "$work/create.log")
  read -r count names < <(sed -n 's/.* parameters \([0-9]*\) names \(.*\)/\1 \2/p' <<<"$facts")
  [ "$count" = "$parameters" ] || fail "$track: Ardour shows $count parameters, not the plug-in's $parameters"
  distinct=$(tr '|' '\n' <<<"$names" | { grep -v -x -e '' -e '-' || true; } | sort -u | wc -l)
  [ "$distinct" = "$parameters" ] || fail "$track: Ardour shows $distinct distinct parameter names ($names)"
  grep -q " programs 50$" <<<"$facts" || fail "$track: Ardour does not list 50 programs"
  grep -q " latency $delay " <<<"$facts" || fail "$track: Ardour's latency is not the plug-in's $delay samples"
done
grep -q '^fact mono .* pins 1/2$' "$work/create.log" || fail "the mono track does not run Korvalite with 1 input, 2 outputs"

# Headless Ardour cannot import: the recorded takes' files become the riff (left) and the riff
# a sixth of a second later at half level (right), so the channels differ.
frames=$(sed -n 's/^fact stereo take 0 //p' "$work/create.log")
[ -n "$frames" ] || fail "no take at the session start"
files=$session/interchange/session/audiofiles
clip "$files/Take1_stereo-1%L.wav" "$frames"
clip "$files/Take1_stereo-1%R.wav" "$frames" pad 0.16 0 vol 0.5
clip "$files/Take1_mono-1.wav" "$frames"
sox -M "$files/Take1_stereo-1%L.wav" "$files/Take1_stereo-1%R.wav" "$work/stereo-in.wav"

for track in stereo mono; do
  start=$(date +%s.%N)
  timeout 120 ardour7-export -b float -o "$work/$track-ardour.wav" "$session" "$track" >"$work/export.log" 2>&1 ||
    { cat "$work/export.log"; fail "$track: the export failed"; }
  echo "$track export: $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
done
"$host" render "$plugin" "$work/stereo-in.wav" "$work/stereo-ref.wav" $(params "$stereo") 2>/dev/null ||
  fail "korvalite-host could not render the stereo input"
"$host" render "$plugin" "$files/Take1_mono-1.wav" "$work/mono-ref.wav" $(params "$mono") 2>/dev/null ||
  fail "korvalite-host could not render the mono input"
# Ardour compensates the reported latency; korvalite-host leaves the output delayed by it.
matches "Ardour stereo track" "$work/stereo-ardour.wav" "$work/stereo-ref.wav" "$delay"
matches "Ardour mono track" "$work/mono-ardour.wav" "$work/mono-ref.wav" "$delay"

timeout 120 ardour7-lua "$lua" reload "$session" "$stereo" "$mono" >"$work/reload.log" 2>&1 ||
  { cat "$work/reload.log"; fail "the saved settings did not come back"; }
grep '^fact' "$work/reload.log"

# The user's impulse response. The Linux plug-in has no editor to load a file with, so it
# enters the project as a host would have saved it after a load: the state korvalite-host
# leaves after rendering through the file (the stereo settings, Cab on User) goes into the
# stereo snapshot as that instance's chunk. Then the file is deleted; Ardour loads the
# snapshot, runs it, saves it again with the chunk the plug-in now gives, closes, and its
# export must still be the render through the file.
user=$stereo,11=1
sox -R -n -r 44100 -b 32 -e floating-point "$work/ir.wav" synth 0.15 pinknoise fade 0 0.15 0.14 vol 0.5
"$host" render "$plugin" "$work/stereo-in.wav" "$work/user-ref.wav" $(params "$user") --ir "$work/ir.wav" \
  --save-chunk "$work/user.chunk" 2>/dev/null || fail "korvalite-host could not render through the response"
rm "$work/ir.wav"
CHUNK=$(base64 -w0 "$work/user.chunk") perl -0pi -e \
  's/(<Route [^>]*name="stereo".*?<chunk program="0">)[^<]*/$1$ENV{CHUNK}/s' "$session/stereo.ardour"
grep -qF "$(head -c 3000 "$work/user.chunk" | base64 -w0 | head -c 3000)" "$session/stereo.ardour" ||
  fail "the chunk did not go into the snapshot"
timeout 120 ardour7-lua "$lua" resave "$session" stereo >"$work/resave.log" 2>&1 ||
  { cat "$work/resave.log"; fail "the snapshot with the response did not load and save"; }
grep '^fact' "$work/resave.log"
timeout 120 ardour7-export -b float -o "$work/user-ardour.wav" "$session" stereo >"$work/export.log" 2>&1 ||
  { cat "$work/export.log"; fail "user response: the export failed"; }
matches "Ardour stereo track through the user response, its file deleted" "$work/user-ardour.wav" \
  "$work/user-ref.wav" "$delay"
echo "Ardour test: $(elapsed) s"
