#!/usr/bin/env bash
# Runs the native suite, the Windows suite (under Wine), the real-host suite (the Linux
# release plug-in in Ardour and Audacity) and the format check, and closes with one line that
# counts them all together.
set -uo pipefail

native=$1
win64=$2
linux=$3
jobs=$(nproc)
passed=0
failed=0

run_suite() { # name build-dir [ctest options]
  local name=$1 dir=$2 log
  shift 2
  log=$(mktemp)
  echo "== $name tests"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" "$@") 2>&1 | tee "$log"
  local line total fails
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    fails=$(sed -E 's/.* ([0-9]+) tests failed out of.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - fails))
    failed=$((failed + fails))
  elif ! grep -q 'No tests were found' "$log"; then
    failed=$((failed + 1))
  fi
  rm -f "$log"
}

run_suite native "$native"
run_suite windows "$win64"
run_suite real-host "$linux" -L realhost

if command -v clang-format >/dev/null; then
  echo "== format check"
  files=$(git ls-files '*.cpp' '*.h' 2>/dev/null)
  if [ -n "$files" ] && ! clang-format --dry-run -Werror $files >/dev/null 2>&1; then
    echo "format check: these files differ from .clang-format (make format):"
    clang-format --dry-run $files 2>&1 | grep -E '^[^ ].*warning' | cut -d: -f1 | sort -u
    failed=$((failed + 1))
  else
    passed=$((passed + 1))
  fi
fi

echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
