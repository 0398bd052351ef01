#!/usr/bin/env bash
# Sets up, builds (Release) and runs the benchmarks: scripts/bench.sh [BUILD_DIR] [benchmark arguments...]
#   e.g. scripts/bench.sh build-bench --benchmark_filter=framePath
# Results also go to BUILD_DIR/bench.json. Not part of the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-bench"}
shift || true
"$root/scripts/setup.sh"
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQVX_WERROR=ON -DQVX_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)" --target qvx_bench QVXImaq
"$dir/bin/qvx_bench" --benchmark_counters_tabular=true --benchmark_out="$dir/bench.json" \
  --benchmark_out_format=json "$@"
