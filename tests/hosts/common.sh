# Sourced by the real-host tests: a private home and temp folder, the riff, and the
# comparison of a host's output with korvalite-host's render of the same input.
#   needs: plugin host analyze (paths) set by the caller

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/korvalite-realhost.XXXXXX")
started=$(date +%s.%N)
# The hosts' settings, caches and scans stay in the test's own folder, never the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$work/vst"

cleanup() {
  # Whatever a host left running in its process group goes with the test.
  local pids
  pids=$(jobs -p)
  if [ -n "$pids" ]; then kill $pids 2>/dev/null || true; fi
  # KORVALITE_KEEP=1 keeps the folder (sessions, exports, logs) for a look after a failure.
  if [ -n "${KORVALITE_KEEP:-}" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

elapsed() { awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# A host looks up the entry points by name; any other exported name could bind to a host's
# own symbol of the same name.
exports=$(nm -D --defined-only --format=just-symbols "$plugin" | sort | tr '\n' ' ')
[ "$exports" = "VSTPluginMain main " ] || fail "the plug-in exports more than its entry points: $exports"

# The hosts scan a folder, and cache what they found by path and time: a private copy.
# Ardour trusts a cached scan only when it is newer than the plug-in, to the second.
cp "$plugin" "$work/vst/Korvalite.so"
touch -d "-1 minute" "$work/vst/Korvalite.so"
plugin=$work/vst/Korvalite.so

# clip OUT FRAMES EFFECTS...: the riff, after a second of silence, cut to FRAMES samples,
# 32-bit float. The silence lets the circuit settle from switch-on before the riff: a host
# that ran the plug-in before playing (Ardour does) and a fresh korvalite-host then agree.
clip() {
  local out=$1 frames=$2
  shift 2
  [ -f "$work/riff.wav" ] || bash "$root/scripts/synth-riff.sh" "$work/riff.wav"
  sox -V1 "$work/riff.wav" -e floating-point -b 32 "$out" "$@" pad 1 0 trim 0 "${frames}s"
  [ "$(soxi -s "$out")" = "$frames" ] || fail "$out: not $frames samples long"
}

# matches WHAT HOST_OUT REFERENCE DELAY: every channel of HOST_OUT equals the render REFERENCE
# lagging by DELAY samples, 50 dB under the signal.
matches() {
  local what=$1 out=$2 ref=$3 delay=$4 channel line rel status=0
  for channel in 0 1; do
    line=$("$analyze" compare "$out" "$ref" --channel $channel --delay "$delay") || fail "$what: no comparison"
    rel=${line##* }
    echo "$what channel $channel: difference $rel dB relative to the host's output (${line%% relative*})"
    awk -v r="$rel" 'BEGIN { exit !(r < -50) }' || status=1
  done
  [ $status = 0 ] || fail "$what differs from korvalite-host's render"
}

# params SETTINGS: "i=v,i=v" as korvalite-host's --param options.
params() {
  local p
  for p in ${1//,/ }; do printf -- '--param %s ' "$p"; done
}
