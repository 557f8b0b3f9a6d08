#!/usr/bin/env bash
# Builds libpng, libsndfile (WAV, AIFF and FLAC), kissfft (SIMD), libsamplerate and GoogleTest for
# the Windows target from Debian's own sources, as static libraries, into $1/win64. libsndfile
# reads FLAC through the Xiph libraries; its build takes them only all together (FLAC, Ogg, Vorbis
# and Opus), so all four are built, though the plug-in reads only FLAC.
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

# The toolchain confines every search to the mingw-w64 root; the libraries built here are found
# in the cache as well (the Xiph libraries find each other this way, libsndfile all of them).
findroot=$work/find-root.cmake
printf 'list(APPEND CMAKE_FIND_ROOT_PATH "%s")\n' "$prefix" >"$findroot"

build() { # name source-dir cmake-args...
  local name=$1 srcdir=$2
  shift 2
  printf 'setup: building %s for win64\n' "$name" >&2
  cmake_build "$name" "$work/build-$name" "$srcdir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_PROJECT_INCLUDE="$findroot" "$@"
}

png=$(fetch libpng1.6)
build libpng "$png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_TOOLS=OFF -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
  -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include

ogg=$(fetch libogg)
build libogg "$ogg" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF

vorbis=$(fetch libvorbis)
build libvorbis "$vorbis" -DBUILD_TESTING=OFF

flac=$(fetch flac)
build flac "$flac" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF \
  -DBUILD_CXXLIBS=OFF -DINSTALL_MANPAGES=OFF -DWITH_OGG=ON -DWITH_STACK_PROTECTOR=OFF \
  -DWITH_FORTIFY_SOURCE=OFF

opus=$(fetch opus)
# Debian's opus 1.3.1 sources lack opus_buildtype.cmake, which their CMake build includes; it
# only picks a default build type, and ours is given: an empty one stands in for it.
[ -f "$opus/opus_buildtype.cmake" ] || : >"$opus/opus_buildtype.cmake"
build opus "$opus" -DOPUS_BUILD_PROGRAMS=OFF -DOPUS_BUILD_TESTING=OFF -DOPUS_STACK_PROTECTOR=OFF \
  -DOPUS_INSTALL_PKG_CONFIG_MODULE=ON -DOPUS_INSTALL_CMAKE_CONFIG_MODULE=ON

sndfile=$(fetch libsndfile)
# Its own FLAC finder leaves out the definition a static libFLAC needs on Windows (without it the
# calls go to a FLAC DLL's import entries).
build libsndfile "$sndfile" -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
  -DENABLE_EXTERNAL_LIBS=ON -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF -DBUILD_REGTEST=OFF \
  -DENABLE_PACKAGE_CONFIG=ON -DINSTALL_MANPAGES=OFF -DCMAKE_C_FLAGS=-DFLAC__NO_DLL
# The external codecs must really be in: without them libsndfile builds quietly with WAV/AIFF only.
grep -q 'SndFile_WITH_EXTERNAL_LIBS 1' "$prefix/lib/cmake/SndFile/SndFileConfig.cmake" ||
  die "libsndfile was built without FLAC (see $log)"

kissfft=$(fetch kissfft)
# Its install paths come from GNUInstallDirs only on Unix hosts: given here for the Windows target.
# It takes alloca from <alloca.h>, which the Windows headers declare in <malloc.h> instead.
shim=$work/shim-alloca
mkdir -p "$shim"
printf '#include <malloc.h>\n' >"$shim/alloca.h"
build kissfft "$kissfft" -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include \
  -DCMAKE_INSTALL_BINDIR=bin -DCMAKE_C_FLAGS="-I$shim" "${kissfft_options[@]}"
# The compiler cannot align 32-byte stack slots here (see cab/CMakeLists.txt).
kissfft_avx "$kissfft" win64 "$prefix/lib" x86_64-w64-mingw32-nm x86_64-w64-mingw32-objcopy \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_INCLUDEDIR=include -DCMAKE_INSTALL_BINDIR=bin \
  -DCMAKE_C_FLAGS="-I$shim -mavx -mfma -Wa,-muse-unaligned-vector-move"

samplerate=$(fetch libsamplerate)
build libsamplerate "$samplerate" -DLIBSAMPLERATE_EXAMPLES=OFF -DLIBSAMPLERATE_INSTALL=ON -DBUILD_TESTING=OFF

[ -d /usr/src/googletest ] || die "GoogleTest sources missing: /usr/src/googletest (package googletest)"
build googletest /usr/src/googletest -Dgtest_disable_pthreads=OFF -DINSTALL_GTEST=ON
