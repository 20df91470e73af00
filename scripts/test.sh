#!/usr/bin/env bash
# Installs what is missing, checks the house rules on names and includes, builds and runs every test in the
# normal and the sanitizer build, replays every fuzz corpus through its target, then builds the Debian
# package and checks it (never installing it). A skipped test fails the run: a test that never runs can
# never catch anything.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check_style.sh
for preset in default asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  # Every GoogleTest program writes its cases' results here, so that a case skipped inside a program that
  # CTest runs whole (the window tests) is seen too.
  reports="$PWD/build/$preset/test-reports"
  rm -rf "$reports"
  mkdir -p "$reports"
  GTEST_OUTPUT="xml:$reports/" ctest --preset "$preset" | tee "build/$preset/ctest.log"
  skipped=$( (grep -h '(Skipped)' "build/$preset/ctest.log" || true; grep -l 'result="skipped"' "$reports"/*.xml 2>/dev/null || true) | sort -u)
  if [ -n "$skipped" ]; then
    echo "tests were skipped in the $preset build; every test must run:"
    echo "$skipped"
    grep -h -B1 -A2 'result="skipped"' "$reports"/*.xml 2>/dev/null | grep -E '<testcase|<skipped' || true
    exit 1
  fi
done
bash scripts/fuzz_replay.sh
bash scripts/package.sh
bash scripts/check_package.sh
