#!/usr/bin/env bash
# Korvalite in Audacity, driven through its scripting pipe under a virtual display: the riff
# (stereo) processed and exported equals what korvalite-host renders from the same input.
# Audacity keys a VST effect's settings by parameter name and hands every value back to the
# plug-in by name before processing: names that are empty or alike turn the amplifier off.
# Audacity 3.2's scripting does not pass a VST effect's parameter values on (the plug-in
# receives its program 0 values whatever the command, a user preset or the stored current
# settings say), but it does load a factory preset, which is one of the plug-in's programs: the
# test applies the Crunch program (program 2: input and output transformers in, supply sag on,
# gain 0.65), so every switch the names carry must reach the amplifier.
#   audacity.sh PLUGIN HOST ANALYZE
set -euo pipefail
plugin=$1 host=$2 analyze=$3
command -v audacity >/dev/null || { echo "skipped: Audacity is not installed"; exit 77; }
command -v xvfb-run >/dev/null || { echo "skipped: xvfb-run is not installed"; exit 77; }
source "$(dirname "$0")/common.sh"

# The scripting module enabled (its path and date as Audacity records them, or it asks),
# no welcome dialog; the plug-in is found through VST_PATH and registered at start-up.
module=/usr/lib/audacity/modules/mod-script-pipe.so
mkdir -p "$XDG_CONFIG_HOME/audacity"
cat >"$XDG_CONFIG_HOME/audacity/audacity.cfg" <<EOF
[Module]
mod-script-pipe=1
[ModulePath]
mod-script-pipe=$module
[ModuleDateTime]
mod-script-pipe=$(date -r "$module" +%Y-%m-%dT%H:%M:%S)
[GUI]
ShowSplashScreen=0
[FileFormats/ExportFormat_SF1_Type]
WAV_10000=6
EOF
export VST_PATH=$work/vst

# The module's pipes have fixed names per user; a previous run's would carry its leftovers.
to=/tmp/audacity_script_pipe.to.$(id -u)
from=/tmp/audacity_script_pipe.from.$(id -u)
rm -f "$to" "$from"
# Audacity asks before it quits with unsaved work: the test ends it by its process id.
timeout 300 xvfb-run -a sh -c 'echo $$ >"$0"; exec audacity' "$work/audacity.pid" >"$work/audacity.log" 2>&1 &
stop_audacity() {
  if [ -s "$work/audacity.pid" ]; then kill "$(cat "$work/audacity.pid")" 2>/dev/null || true; fi
  cleanup
}
trap stop_audacity EXIT
for _ in $(seq 600); do
  [ -p "$to" ] && [ -p "$from" ] && break
  kill -0 $! 2>/dev/null || { cat "$work/audacity.log"; fail "Audacity ended at start-up"; }
  sleep 0.1
done
[ -p "$to" ] || fail "Audacity's scripting pipe did not appear"
# Opened for reading and writing, a pipe never blocks the open; reads below have timeouts.
exec 3<>"$to" 4<>"$from"

# ask COMMAND: sends one scripting command and prints Audacity's answer; fails unless it is OK.
ask() {
  local line answer=""
  printf '%s\n' "$1" >&3
  while IFS= read -r -t 120 line <&4; do
    case $line in
      "BatchCommand finished: OK") IFS= read -r -t 5 line <&4 || true; printf '%s' "$answer"; return 0 ;;
      "BatchCommand finished: "*) fail "Audacity: $1: ${line#BatchCommand finished: } $answer" ;;
      *) answer+="$line"$'\n' ;;
    esac
  done
  fail "Audacity did not answer $1"
}

# While Audacity starts, a command may go unanswered or be answered late: ask until a marker
# comes back, then drop whatever else arrives.
ready=
for attempt in $(seq 60); do
  printf 'Message: Text=ready%s\n' "$attempt" >&3
  while IFS= read -r -t 2 line <&4; do
    [ "$line" = "ready$attempt" ] && ready=1
    [ -n "$ready" ] && [ "$line" = "BatchCommand finished: OK" ] && break 2
  done
done
[ -n "$ready" ] || fail "Audacity's scripting does not answer"
while IFS= read -r -t 1 line <&4; do :; done
echo "Audacity ready after $(elapsed) s"

clip "$work/left.wav" 132300
clip "$work/right.wav" 132300 pad 0.16 0 vol 0.5
sox -M "$work/left.wav" "$work/right.wav" "$work/in.wav"

ask "Import2: Filename=$work/in.wav" >/dev/null
ask "SelectAll:" >/dev/null
start=$(date +%s.%N)
ask 'Korvalite: Use_Preset="Factory Preset:Crunch"' >/dev/null
echo "Audacity applied Korvalite in $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
ask "Export2: Filename=$work/audacity.wav NumChannels=2" >/dev/null

"$host" render "$plugin" "$work/in.wav" "$work/ref.wav" --program 2 2>/dev/null ||
  fail "korvalite-host could not render the input"
# Audacity compensates the reported latency; korvalite-host leaves the output delayed by it.
delay=$("$host" info "$plugin" | sed -n 's/^initial delay: //p')
matches "Audacity" "$work/audacity.wav" "$work/ref.wav" "$delay"
echo "Audacity test: $(elapsed) s"
