#!/usr/bin/env bash
# Builds libpng, libsndfile (WAV and AIFF, no external codecs), kissfft (SIMD),
# libsamplerate and GoogleTest for the Windows target from Debian's own sources, as static
# libraries, into $1/win64.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$1
prefix=$deps/win64
work=$deps/src
toolchain=$root/cmake/mingw-w64-x86_64.cmake

log=$deps/build.log
mkdir -p "$prefix" "$work"
: >"$log"
# shellcheck source=deps-common.sh
source "$root/scripts/deps-common.sh"

build() { # name source-dir cmake-args...
  local name=$1 srcdir=$2
  shift 2
  printf 'setup: building %s for win64\n' "$name" >&2
  cmake_build "$name" "$work/build-$name" "$srcdir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@"
}

png=$(fetch libpng1.6)
build libpng "$png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_TOOLS=OFF -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include

sndfile=$(fetch libsndfile)
build libsndfile "$sndfile" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
  -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF -DBUILD_REGTEST=OFF \
  -DENABLE_PACKAGE_CONFIG=ON -DINSTALL_MANPAGES=OFF

kissfft=$(fetch kissfft)
# Its install paths come from GNUInstallDirs only on Unix hosts: given here for the Windows target.
# It takes alloca from <alloca.h>, which the Windows headers declare in <malloc.h> instead.
shim=$work/shim-alloca
mkdir -p "$shim"
printf '#include <malloc.h>\n' >"$shim/alloca.h"
build kissfft "$kissfft" -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include \
  -DCMAKE_INSTALL_BINDIR=bin -DCMAKE_C_FLAGS="-I$shim" "${kissfft_options[@]}"

samplerate=$(fetch libsamplerate)
build libsamplerate "$samplerate" -DLIBSAMPLERATE_EXAMPLES=OFF -DLIBSAMPLERATE_INSTALL=ON -DBUILD_TESTING=OFF

[ -d /usr/src/googletest ] || die "GoogleTest sources missing: /usr/src/googletest (package googletest)"
build googletest /usr/src/googletest -Dgtest_disable_pthreads=OFF -DINSTALL_GTEST=ON
