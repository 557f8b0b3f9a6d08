#!/usr/bin/env bash
# Builds the libraries the native and Linux trees take from Debian's source packages rather than
# from its binary packages, as static libraries with position-independent code (the Linux
# plug-in links them into its shared object), into $1/host. Today that is kissfft alone: Debian
# ships only its scalar build, and the cabinet's convolver uses the SIMD one (twice: see
# kissfft_avx).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$1
prefix=$deps/host
work=$deps/src

log=$deps/build-host.log
mkdir -p "$prefix" "$work"
: >"$log"
# shellcheck source=deps-common.sh
source "$root/scripts/deps-common.sh"

kissfft=$(fetch kissfft)
printf 'setup: building kissfft\n' >&2
cmake_build kissfft "$work/build-kissfft-host" "$kissfft" -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_POSITION_INDEPENDENT_CODE=ON "${kissfft_options[@]}"
kissfft_avx "$kissfft" host "$prefix/lib" nm objcopy -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
  -DCMAKE_C_FLAGS="-mavx -mfma"
