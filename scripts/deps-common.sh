# Sourced by the scripts that build libraries from Debian's source packages into the cache
# (build-win64-deps.sh, build-host-deps.sh). The caller sets $work (where sources are unpacked
# and built) and $log (where the tools' output goes).

die() { printf 'setup: %s\n' "$*" >&2; exit 1; }

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

cmake_build() { # name build-dir source-dir cmake-args...: configure, build and install
  local name=$1 bdir=$2 srcdir=$3
  shift 3
  rm -rf "$bdir"
  cmake -S "$srcdir" -B "$bdir" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF "$@" >>"$log" 2>&1 ||
    die "configuring $name failed (see $log)"
  cmake --build "$bdir" -j "$(nproc)" >>"$log" 2>&1 || die "building $name failed (see $log)"
  cmake --install "$bdir" >>"$log" 2>&1 || die "installing $name failed (see $log)"
}

# kissfft's SIMD build: every transform runs on four signals at once, one per lane of an SSE
# vector, which the cabinet's convolver uses for its two channels. Static, without its tools.
# Its scratch buffers (for sizes with odd factors, and in-place calls, neither of which the
# convolver makes) come from the stack, so no path from the audio thread reaches the heap.
kissfft_options=(-DKISSFFT_DATATYPE=simd -DKISSFFT_STATIC=ON -DKISSFFT_TEST=OFF -DKISSFFT_TOOLS=OFF
  -DKISSFFT_OPENMP=OFF -DKISSFFT_PKGCONFIG=OFF -DKISSFFT_USE_ALLOCA=ON)

# kissfft again, with AVX and fused multiply-adds, for the processors that have them (the
# convolver asks at run time): its transforms take a sixth less time there. Every symbol it
# defines takes the prefix avx_, so both builds link into one binary; the library goes beside
# the first as libkissfft-simd-avx.a, and the convolver declares what it calls.
kissfft_avx() { # source-dir target lib-dir nm objcopy cmake-args...
  local srcdir=$1 target=$2 libdir=$3 nm=$4 objcopy=$5
  shift 5
  local stage=$work/kissfft-avx-$target map=$work/kissfft-avx-$target.symbols
  printf 'setup: building kissfft with AVX for %s\n' "$target" >&2
  cmake_build kissfft-avx "$work/build-kissfft-avx-$target" "$srcdir" -DCMAKE_INSTALL_PREFIX="$stage" \
    -DCMAKE_INSTALL_LIBDIR=lib "$@" "${kissfft_options[@]}"
  "$nm" -g --defined-only "$stage/lib/libkissfft-simd.a" | awk 'NF == 3 { print $3, "avx_" $3 }' |
    sort -u >"$map"
  grep -q '^kiss_fftr ' "$map" || die "kissfft's AVX build for $target defines no kiss_fftr (see $log)"
  "$objcopy" --redefine-syms="$map" "$stage/lib/libkissfft-simd.a" "$libdir/libkissfft-simd-avx.a" ||
    die "renaming the symbols of kissfft's AVX build for $target failed"
}
