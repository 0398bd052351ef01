#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: scripts/test.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
shift || true
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$dir" "$@"
cd "$dir"
ctest --output-on-failure -j"$(nproc)" --timeout 600
