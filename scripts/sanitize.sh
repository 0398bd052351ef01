#!/usr/bin/env bash
# Builds and runs the whole test suite under sanitizers: scripts/sanitize.sh address|thread [BUILD_DIR]
#   address: AddressSanitizer + UndefinedBehaviorSanitizer, halting on the first report
#   thread:  ThreadSanitizer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?address or thread}
case "$kind" in
  address) flags="address,undefined" ;;
  thread) flags="thread" ;;
  *) echo "sanitize: unknown kind '$kind'" >&2; exit 2 ;;
esac
dir=${2:-"$root/build-$kind"}
"$root/scripts/setup.sh"
# -O1 keeps the instrumented suite quick enough for CI's two cores; the benchmarks add nothing here.
"$root/scripts/build.sh" "$dir" -DQVX_SANITIZE="$flags" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DQVX_BUILD_BENCH=OFF
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
cd "$dir"
ctest --output-on-failure -j"$(nproc)" --timeout 900
