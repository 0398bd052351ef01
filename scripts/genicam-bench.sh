#!/usr/bin/env bash
# The GenICam stream benchmark (bench/genicam_stream_bench.cpp) in a private network namespace of its own:
#   scripts/genicam-bench.sh [BUILD_DIR]     (default build-bench, Release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build-bench"}
if [ "${QVX_GENICAM_NETNS:-}" != 1 ]; then
  QVX_SETUP_EXTRA="genicam" "$root/scripts/setup.sh"
  QVX_BUILD_TARGETS="qvx_genicam_stream_bench QVXImaq" "$root/scripts/build.sh" "$build" \
    -DCMAKE_BUILD_TYPE=Release -DQVX_BUILD_TESTS=OFF
  exec unshare -rn env QVX_GENICAM_NETNS=1 "$0" "$build"
fi
ip link set lo up
"$build/bin/qvx_genicam_stream_bench"
