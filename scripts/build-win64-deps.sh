#!/usr/bin/env bash
# Builds libpng, libsndfile (WAV and AIFF, no external codecs), kissfft (single precision),
# libsamplerate and GoogleTest for the Windows target from Debian's own sources, as static
# libraries, into $1/win64.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$1
prefix=$deps/win64
work=$deps/src
toolchain=$root/cmake/mingw-w64-x86_64.cmake
jobs=$(nproc)

die() { printf 'setup: %s\n' "$*" >&2; exit 1; }
log=$deps/build.log
mkdir -p "$prefix" "$work"
: >"$log"

fetch() { # source package name -> prints the unpacked directory
  local pkg=$1
  local dir
  dir=$(find "$work/$pkg" -mindepth 1 -maxdepth 1 -type d 2>/dev/null | head -n 1)
  if [ -z "$dir" ]; then
    mkdir -p "$work/$pkg"
    # The newest version may sit in an archive that serves no sources (security updates):
    # then take the newest version that can be fetched.
    local ok= v
    for v in "" $(apt-cache showsrc "$pkg" 2>/dev/null | sed -n 's/^Version: //p' | sort -rV); do
      if (cd "$work/$pkg" && apt-get source -qq "$pkg${v:+=$v}" >>"$log" 2>&1); then
        ok=1
        break
      fi
      rm -rf "${work:?}/$pkg"/*
    done
    [ -n "$ok" ] || die "cannot fetch the Debian source package $pkg (see $log)"
    dir=$(find "$work/$pkg" -mindepth 1 -maxdepth 1 -type d | head -n 1)
  fi
  printf '%s\n' "$dir"
}

build() { # name source-dir cmake-args...
  local name=$1 srcdir=$2
  shift 2
  printf 'setup: building %s for win64\n' "$name" >&2
  rm -rf "$work/build-$name"
  cmake -S "$srcdir" -B "$work/build-$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DCMAKE_PREFIX_PATH="$prefix" "$@" >>"$log" 2>&1 || die "configuring $name failed (see $log)"
  cmake --build "$work/build-$name" -j "$jobs" >>"$log" 2>&1 || die "building $name failed (see $log)"
  cmake --install "$work/build-$name" >>"$log" 2>&1 || die "installing $name failed (see $log)"
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
build kissfft "$kissfft" -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include \
  -DCMAKE_INSTALL_BINDIR=bin -DKISSFFT_DATATYPE=float -DKISSFFT_STATIC=ON -DKISSFFT_TEST=OFF \
  -DKISSFFT_TOOLS=OFF -DKISSFFT_OPENMP=OFF -DKISSFFT_PKGCONFIG=OFF

samplerate=$(fetch libsamplerate)
build libsamplerate "$samplerate" -DLIBSAMPLERATE_EXAMPLES=OFF -DLIBSAMPLERATE_INSTALL=ON -DBUILD_TESTING=OFF

[ -d /usr/src/googletest ] || die "GoogleTest sources missing: /usr/src/googletest (package googletest)"
build googletest /usr/src/googletest -Dgtest_disable_pthreads=OFF -DINSTALL_GTEST=ON
