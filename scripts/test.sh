#!/usr/bin/env bash
# Installs what is missing, checks the house rules on names and includes, builds and runs every test in the
# normal and the sanitizer build, then builds the Debian package and checks it (never installing it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/check_style.sh
for preset in default asan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
bash scripts/package.sh
bash scripts/check_package.sh
