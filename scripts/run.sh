#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vireta.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vireta vireta-sim
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running the free-fall sample through vireta-sim instead of the window."
  exec build/default/tools/vireta-sim/vireta-sim Cenas/queda_livre.xml --every 10
fi
exec build/default/src/app/vireta
