#!/usr/bin/env bash
# Fuzzes one target for a while: scripts/fuzz.sh TARGET [MINUTES] (10 by default), one process, so that the
# machine stays usable. New inputs go to build/fuzz/corpus/TARGET, faults to build/fuzz/findings/TARGET;
# the kept seeds under tests/fuzz/corpus/TARGET are read, never changed. A fault's input belongs in the kept
# corpus once it is mended, so that scripts/fuzz_replay.sh guards against its return.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: scripts/fuzz.sh TARGET [MINUTES]; targets: $(ls tests/fuzz/corpus | tr '\n' ' ')}
minutes=${2:-10}
[ -d "tests/fuzz/corpus/$target" ] || { echo "no such fuzz target: $target" >&2; exit 2; }
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work="build/fuzz/corpus/$target"
findings="build/fuzz/findings/$target"
mkdir -p "$work" "$findings"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
exec build/fuzz/tests/fuzz/"$target" -max_total_time=$((minutes * 60)) -max_len=65536 \
  -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
  "$work" "tests/fuzz/corpus/$target"
