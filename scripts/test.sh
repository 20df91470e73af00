#!/usr/bin/env bash
# Installs what is missing, checks the house rules on names and includes, then builds and runs every test in
# the normal and the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check_style.sh
for preset in default asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
