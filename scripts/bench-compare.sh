#!/usr/bin/env bash
# Runs the model benchmark of this tree and of another revision (BASE, a commit, tag or branch)
# in turns, in the same session and on the same core, so a change's cost is measured against
# the code it replaces rather than against figures from another day: this machine's speed
# drifts by up to 20 % from minute to minute.
#   scripts/bench-compare.sh NATIVE_TREE BASE [ROUNDS] [FILTER]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
tree=$1 base=$2 rounds=${3:-3} filter=${4:-'BM_ProcessStereo48k$'}
die() { printf 'bench-compare: %s\n' "$*" >&2; exit 1; }
git -C "$root" rev-parse --verify -q "$base^{commit}" >/dev/null || die "no revision '$base' in this repository"

work=$(mktemp -d)
cleanup() { git -C "$root" worktree remove --force "$work/src" >/dev/null 2>&1 || true; rm -rf "$work"; }
trap cleanup EXIT
git -C "$root" worktree add --detach -q "$work/src" "$base"
cmake -S "$work/src" -B "$work/build" -DKORVALITE_DEPS="${KORVALITE_DEPS:-$root/.deps}" >/dev/null
cmake --build "$work/build" -j "$(nproc)" --target model_benchmark >/dev/null
cmake --build "$tree" -j "$(nproc)" --target model_benchmark >/dev/null

cpu=$(($(nproc) - 1))
for ((r = 1; r <= rounds; r++)); do
  for side in base this; do
    bin=$tree/bench/model_benchmark
    [ $side = base ] && bin=$work/build/bench/model_benchmark
    taskset -c "$cpu" "$bin" --benchmark_filter="$filter" 2>/dev/null |
      sed -n "s/^\(BM_[^ ]*\).*realtime=\([0-9.]*\)\/s.*/round $r  $side  \1  \2x realtime/p"
  done
done
