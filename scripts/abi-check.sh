#!/usr/bin/env bash
# Checks the boundary layouts (virtual-table slots, holder and list fields) under Microsoft's and the
# Itanium C++ ABI with clang-14's layout dumps: scripts/abi-check.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
QVX_SETUP_EXTRA="abi" "$root/scripts/setup.sh"
cmake -S "$root" -B "$dir" -DQVX_WERROR=ON -DQVX_ABI_CHECK=ON >/dev/null
cmake --build "$dir" -j"$(nproc)" --target qvx_abi_tests
"$dir/bin/qvx_abi_tests" --gtest_color=no
