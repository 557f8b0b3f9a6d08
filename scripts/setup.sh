#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian machine, and builds into a
# git-ignored cache, from Debian's source packages: the libraries that Debian ships only for
# Linux (libpng, libsndfile, kissfft, libsamplerate) and GoogleTest for the Windows target, and
# kissfft's SIMD build for the native and Linux trees. Does nothing when everything is already there.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=${KORVALITE_DEPS:-$root/.deps}

say() { printf 'setup: %s\n' "$*" >&2; }
die() { printf 'setup: %s\n' "$*" >&2; exit 1; }

SUDO=
if [ "$(id -u)" != 0 ]; then
  SUDO=sudo
fi

packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine64 xvfb xauth fonts-liberation
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libpng-dev libsndfile1-dev libcairo2-dev libsamplerate0-dev libstb-dev
  lsp-plugins-vst dpf-plugins-vst ardour audacity
  gnuplot-nox sox dpkg-dev clang-format
)

# `setup.sh --linux-plugin`: only what the Linux release plug-in's build needs (the cabinet's FFT,
# built from kissfft's source package, the resampling of responses restored from a project, and
# the reading of response files).
if [ "${1:-}" = --linux-plugin ]; then
  packages=(cmake make g++ pkg-config dpkg-dev libsamplerate0-dev libsndfile1-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

apt_updated=
apt_update() {
  [ -n "$apt_updated" ] && return 0
  $SUDO apt-get update -qq >/dev/null 2>&1 || die "apt-get update failed: the package archive cannot be reached"
  apt_updated=1
}

if [ ${#missing[@]} -gt 0 ]; then
  [ -z "$SUDO" ] || command -v sudo >/dev/null || die "not root and no sudo: cannot install ${missing[*]}"
  say "installing ${missing[*]}"
  apt_update
  for p in "${missing[@]}"; do
    if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$p" >/tmp/korvalite-apt.log 2>&1; then
      reason=$(grep -E '^E:' /tmp/korvalite-apt.log | head -n 1)
      die "cannot install $p: ${reason:-see /tmp/korvalite-apt.log}"
    fi
  done
fi

# Source packages come from a deb-src entry for the archive already configured.
sources_ready() {
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    say "adding a deb-src entry for the configured Debian archive"
    src=/etc/apt/sources.list.d/debian.sources
    [ -f "$src" ] || die "no /etc/apt/sources.list.d/debian.sources to derive a deb-src entry from"
    sed -e 's/^Types: deb$/Types: deb-src/' "$src" | $SUDO tee /etc/apt/sources.list.d/korvalite-src.sources >/dev/null
    apt_updated=
  fi
  apt_update
}

# Libraries built once into the cache by a script, marked done by a stamp (its number rises
# whenever the set of libraries or their options change, so an older cache is built again).
build_once() { # stamp script
  [ -f "$1" ] && return 0
  sources_ready
  "$root/scripts/$2" "$deps"
  touch "$1"
}

build_once "$deps/host/.complete-v2" build-host-deps.sh

[ "${1:-}" = --linux-plugin ] && exit 0

# The mingw-w64 compiler must use the posix thread model (std::thread, std::mutex).
for tool in x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc; do
  if ! "$tool" -v 2>&1 | grep -q 'Thread model: posix'; then
    $SUDO update-alternatives --set "$tool" "/usr/bin/$tool-posix" >/dev/null 2>&1 ||
      die "cannot select the posix thread model for $tool"
  fi
done

build_once "$deps/win64/.complete-v6" build-win64-deps.sh
