#!/usr/bin/env bash
# Builds the libFuzzer targets with clang-14 (address + undefined) and runs each, one after another, for as
# long as asked:
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [BUILD_DIR]   (default 30 s each, build-fuzz)
#   QVX_FUZZ_TARGETS="fuzz_adaptor" scripts/fuzz.sh 600  runs only the targets named
# Findings (crash, leak, sanitizer report, failed check) stop the run with a non-zero status; the
# input that caused it is left in the build directory's findings/ folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
dir=${2:-"$root/build-fuzz"}
QVX_SETUP_EXTRA="${QVX_SETUP_EXTRA:-} fuzz" "$root/scripts/setup.sh"
CC=clang-14 CXX=clang++-14 "$root/scripts/build.sh" "$dir" -DQVX_BUILD_FUZZ=ON -DQVX_BUILD_TESTS=OFF \
  -DQVX_BUILD_BENCH=OFF -DQVX_SANITIZE=address,undefined -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g"
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Every target; the seeds of each are in fuzz/corpus/<name without fuzz_>.
targets="fuzz_text fuzz_naming fuzz_camera fuzz_camera_large fuzz_adaptor fuzz_cli_parse fuzz_png"
for target in ${QVX_FUZZ_TARGETS:-$targets}; do
  name=${target#fuzz_}
  seeds="$root/fuzz/corpus/$name"
  max_len=4096
  case "$target" in
    fuzz_camera) max_len=8192 ;;
    fuzz_camera_large) max_len=65536; seeds="$root/fuzz/corpus/camera" ;;
  esac
  corpus="$dir/corpus/$name"
  findings="$dir/findings/$name"
  mkdir -p "$corpus" "$findings" "$seeds"
  echo "fuzz: $target for ${seconds}s"
  # The working corpus grows in the build directory; the seeds in the repository stay as they are.
  status=0
  "$dir/bin/$target" "$corpus" "$seeds" -max_total_time="$seconds" \
    -max_len="$max_len" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$findings/" >"$findings/log.txt" 2>&1 || status=$?
  tail -n 40 "$findings/log.txt"
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $target found a fault (status $status); see $findings" >&2
    exit 1
  fi
done
