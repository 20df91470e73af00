#!/usr/bin/env bash
# Soak runs over hours (not CI): every sample scene stepped headless for 8 simulated hours with trails on,
# then the busiest sample drawn offscreen for 30 real minutes. Each prints a table per simulated hour (or
# per 5 real minutes): resident memory, median and 99th-percentile frame time. Both must stay flat.
#
#   bash bench/soak/run_soak.sh [all|steps|frame] [hours] [minutes] [drawn scene]
#   (all, 8, 30, pilha_caixas; "steps" and "frame" run one half, e.g. both at once in two shells)
# The default build must exist (cmake --build --preset default --target vireta-bench-soak-steps
# vireta-bench-soak-frame).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$root/build/default/bench/soak
part=${1:-all}
hours=${2:-8}
minutes=${3:-30}
drawn=${4:-pilha_caixas}

if [[ $part == all || $part == steps ]]; then
  echo "== headless, $hours simulated hours per sample =="
  for scene in "$root"/Cenas/*.xml; do
    "$bin"/vireta-bench-soak-steps "$scene" "$hours" || echo "$(basename "$scene"): failed ($?)"
    echo
  done
fi

if [[ $part == all || $part == frame ]]; then
  echo "== drawn offscreen, $minutes real minutes =="
  xvfb-run -a -s "-screen 0 1280x1024x24" "$bin"/vireta-bench-soak-frame "$root/Cenas/$drawn.xml" "$minutes"
fi
