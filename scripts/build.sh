#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh [BUILD_DIR] [extra cmake arguments...]
# QVX_BUILD_TARGETS="a b" builds only those targets (and what they need) instead of everything.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
shift || true
cmake -S "$root" -B "$dir" -DQVX_WERROR=ON "$@" >/dev/null
targets=()
for target in ${QVX_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
