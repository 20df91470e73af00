#!/usr/bin/env bash
# Runs every input kept under tests/fuzz/corpus once through its fuzz target, without fuzzing: an input
# that once found a fault must not find it again. Builds the fuzz preset first unless told not to.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != "--no-build" ]; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
passed=0
failed=0
for corpus in tests/fuzz/corpus/*/; do
  target=$(basename "$corpus")
  mapfile -t inputs < <(find "$corpus" -type f | sort)
  if build/fuzz/tests/fuzz/"$target" -runs=1 "${inputs[@]}" >"build/fuzz/$target.replay.log" 2>&1; then
    echo "fuzz replay: $target: ${#inputs[@]} inputs"
    passed=$((passed + 1))
  else
    echo "fuzz replay: $target FAILED; its output:"
    tail -n 60 "build/fuzz/$target.replay.log"
    failed=$((failed + 1))
  fi
done
echo "replay: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
