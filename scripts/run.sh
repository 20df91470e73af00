#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vireta.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/tools/vireta-sim/vireta-sim Cenas/queda_livre.xml --every 10
