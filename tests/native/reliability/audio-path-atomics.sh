#!/usr/bin/env bash
# Lists, in a program's machine code, the atomic read-modify-write instructions (LOCK prefix,
# XCHG with memory) and spin-wait hints (PAUSE) in every function the audio thread's entry point
# reaches through direct calls and jumps: any spin lock takes at least one of them, inline or not.
#   audio-path-atomics.sh PROGRAM ENTRY-FUNCTION-PREFIX
# Prints what it found and the number of functions walked; exits 1 when anything was found.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: audio-path-atomics.sh PROGRAM ENTRY-FUNCTION-PREFIX" >&2; exit 2; }
objdump -d --no-show-raw-insn -C "$1" | awk -v root="$2" '
  /^[0-9a-f]+ <.*>:$/ {
    current = substr($0, index($0, "<") + 1)
    current = substr(current, 1, length(current) - 2)
    names[current] = 1
    next
  }
  current != "" && /^ +[0-9a-f]+:\t/ {
    if ($0 ~ /\t(lock |pause)/ || ($0 ~ /\txchg/ && $0 ~ /\(/)) found[current] = found[current] "\n  " $0
    # The name of the target runs from the "<" after its address to the ">" that ends the line.
    if (match($0, /\t(call|jmp)[a-z]* +[0-9a-f]+ </) && substr($0, length($0)) == ">") {
      target = substr($0, RSTART + RLENGTH, length($0) - RSTART - RLENGTH)
      sub(/\+0x[0-9a-f]+$/, "", target)
      if (target !~ /@plt$/ && target != current) calls[current] = calls[current] "\034" target
    }
  }
  END {
    n = 0
    for (f in names) if (index(f, root) == 1) { queue[n++] = f; seen[f] = 1 }
    if (n == 0) { print "no function named " root "..."; exit 2 }
    for (i = 0; i < n; ++i) {
      k = split(calls[queue[i]], next_, "\034")
      for (j = 1; j <= k; ++j) if (next_[j] != "" && !(next_[j] in seen)) { seen[next_[j]] = 1; queue[n++] = next_[j] }
    }
    bad = 0
    for (i = 0; i < n; ++i) if (found[queue[i]] != "") { print queue[i] ":" found[queue[i]]; ++bad }
    printf "%d functions reached from %s..., %d with atomic read-modify-writes or pauses\n", n, root, bad
    exit bad > 0 ? 1 : 0
  }'
