#!/usr/bin/env bash
# Runs a Windows program under Wine with the project's own prefix.
#   wine-run.sh [--prefix DIR] [--dpi N] PROGRAM.exe [ARGS...]
#                                              --dpi: a screen of N dots per inch (96 is 100 %),
#                                              in a prefix of its own beside the given one
#   wine-run.sh [--prefix DIR] --wait-server   waits until the prefix's Wine server has ended
#                                              (and with it Wine's own processes)
# The prefix is created once (no Mono or Gecko prompts; Arial replaced by Liberation Sans,
# without which GDI+ finds no Arial and draws no text; Wine's debugger prints the crash and
# ends the program instead of opening its crash dialog, which on a virtual display nobody
# closes and which held a crashed test until its timeout). Without a display the program runs
# on a virtual X server.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
prefix=${KORVALITE_WINEPREFIX:-$root/build/win64/wineprefix}
if [ "${1:-}" = --prefix ]; then
  prefix=$2
  shift 2
fi
dpi=
if [ "${1:-}" = --dpi ]; then
  dpi=$2
  [[ $dpi =~ ^[0-9]+$ ]] && [ "$dpi" -ge 48 ] && [ "$dpi" -le 480 ] || { echo "wine-run: --dpi expects 48 to 480" >&2; exit 2; }
  prefix=$prefix-dpi$dpi
  shift 2
fi
prefix=$(realpath -m "$prefix") # Wine takes only an absolute prefix
[ $# -ge 1 ] || { echo "usage: wine-run.sh [--prefix DIR] PROGRAM [ARGS...]" >&2; exit 2; }

wine=
for w in /usr/lib/wine/wine64 /usr/bin/wine64 /usr/bin/wine; do
  [ -x "$w" ] && { wine=$w; break; }
done
[ -n "$wine" ] || { echo "wine-run: wine64 is not installed (make setup)" >&2; exit 2; }
wineboot=$(dirname "$wine")/wineboot
[ -x "$wineboot" ] || wineboot=

export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

with_display() {
  if [ -n "${DISPLAY:-}" ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 2560x1600x24" "$@"
  fi
}

if [ "$1" = --wait-server ]; then
  [ -d "$prefix" ] || exit 0
  "$(dirname "$wine")/wineserver" -w 2>/dev/null || true
  exit 0
fi

mkdir -p "$(dirname "$prefix")"
if [ ! -f "$prefix/.korvalite-ready-v2" ]; then
  (
    flock 9
    if [ ! -f "$prefix/.korvalite-ready-v2" ]; then
      echo "wine-run: creating the Wine prefix $prefix" >&2
      if [ -n "$wineboot" ]; then "$wineboot" -i >/dev/null 2>&1 || true; else "$wine" wineboot -i >/dev/null 2>&1 || true; fi
      reg=$(mktemp --suffix=.reg)
      cat >"$reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Arial Bold"="Liberation Sans Bold"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
      if [ -n "$dpi" ]; then
        printf '\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >>"$reg"
        printf '\n[HKEY_CURRENT_CONFIG\\Software\\Fonts]\n"LogPixels"=dword:%08x\n' "$dpi" >>"$reg"
      fi
      "$wine" regedit "Z:${reg//\//\\}" >/dev/null 2>&1 || true
      rm -f "$reg"
      "$(dirname "$wine")/wineserver" -w 2>/dev/null || true
      touch "$prefix/.korvalite-ready-v2"
    fi
  ) 9>"$prefix.lock"
fi

with_display "$wine" "$@"
