#!/usr/bin/env bash
# The frame callback's cost budget, checked without timing: callgrind counts the instructions of 100 tiny
# frames (16x4 mono 8) through the real adaptor's frame callback, once plain and once with a region of
# interest, and the allocation counter counts the adaptor's own allocations per frame. Any figure above its
# budget fails the run.
#   scripts/frame-budget.sh [BUILD_DIR]   (default build: the default build type, RelWithDebInfo)
# The budgets are about 25 % above the counts measured with GCC 12 (bench/README.md); a change that
# lowers the cost for good should lower them too.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
frames=100
budget_plain_instructions=4430
budget_roi_instructions=28830
budget_plain_allocations=0
budget_roi_allocations=16

QVX_SETUP_EXTRA="${QVX_SETUP_EXTRA:-} budget" "$root/scripts/setup.sh"
if [ -f "$dir/CMakeCache.txt" ]; then
  cmake --build "$dir" --target qvx_frame_cost -j"$(nproc)" >/dev/null
else
  "$root/scripts/build.sh" "$dir"
fi
program="$dir/bin/qvx_frame_cost"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
check() { # NAME MEASURED BUDGET
  if [ "$2" -gt "$3" ]; then
    echo "frame budget: $1 is $2, over its budget of $3" >&2
    failed=1
  else
    echo "frame budget: $1 is $2 (budget $3)"
  fi
}

for mode in plain roi; do
  QVX_BENCH_NO_ALLOC_COUNT=1 valgrind --tool=callgrind --callgrind-out-file="$work/$mode.out" \
    --toggle-collect='qvxbench::measuredFrames*' "$program" "$mode" "$frames" >"$work/$mode.log" 2>&1 || {
    cat "$work/$mode.log" >&2
    echo "frame budget: the $mode run failed" >&2
    exit 1
  }
  total=$(awk '/^totals:/ { print $2 }' "$work/$mode.out")
  allocations=$("$program" "$mode" "$frames" | awk '/^adaptor allocations/ { print $3 }')
  if [ -z "$total" ] || [ -z "$allocations" ]; then
    echo "frame budget: no count from the $mode run" >&2
    exit 1
  fi
  instructions_budget=budget_${mode}_instructions
  allocations_budget=budget_${mode}_allocations
  check "$mode: instructions per frame" $((total / frames)) "${!instructions_budget}"
  check "$mode: adaptor allocations per frame" $((allocations / frames)) "${!allocations_budget}"
done
exit "$failed"
