#!/usr/bin/env bash
# Cross-builds the Windows DLLs and programs, checks the adaptor's export and import tables, and runs the
# test suite and the command line under Wine: scripts/windows-check.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build-win"}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

QVX_SETUP_EXTRA="windows" "$root/scripts/setup.sh"

echo "windows: cross-building in $dir"
# The project's default options, as a newcomer configures it: qvx_frame_cost, which needs no Google
# Benchmark, is built; qvx_bench is left out on Windows. Options an earlier run left in the cache are
# dropped, so the defaults hold in a reused folder too.
cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
  -UQVX_BUILD_BENCH -UQVX_BUILD_FUZZ -UQVX_BUILD_TESTS \
  -DQVX_WERROR=ON -DCMAKE_BUILD_TYPE=Release >"$dir/configure.log"
grep -q "qvx_bench is not built" "$dir/configure.log" && echo "windows: qvx_bench is left out on Windows"
cmake --build "$dir" -j"$(nproc)"

bin="$dir/bin"
if [ ! -f "$bin/qvx_frame_cost.exe" ]; then
  echo "windows: the default build made no qvx_frame_cost.exe" >&2
  exit 1
fi
objdump=x86_64-w64-mingw32-objdump

# The names in a PE file's export name table (mawk: no \s), and the DLLs it imports. The dump is read
# whole, so no early-exiting reader makes objdump fail under pipefail.
exported_names() {
  "$objdump" -p "$1" | awk '/\[Ordinal\/Name Pointer\] Table/ {inside = 1; next}
    inside && /^[ \t]*\[/ {print $NF; next}
    inside {inside = 0}' | sort
}
imported_dlls() {
  "$objdump" -p "$1" | awk '/DLL Name:/ {print tolower($3)}' | sort -u
}

# Only Windows' own DLLs and our two stand-ins may be needed: no compiler runtime DLL.
system_dll='^(kernel32|user32|ole32|oleaut32|advapi32|msvcrt|ucrtbase|ws2_32|shell32|api-ms-win-[a-z0-9-]+)\.dll$'
ours_dll='^(qvx_kapri10_x64|imaqmex)\.dll$'
status=0
expected=$(printf '%s\n' createInstance getAvailHW getDeviceAttributes initializeAdaptor uninitializeAdaptor | sort)
actual=$(exported_names "$bin/QVXImaq.dll")
if [ "$actual" != "$expected" ]; then
  echo "windows: QVXImaq.dll exports" $actual "instead of exactly" $expected >&2
  status=1
fi
if ! grep -q "Export Address Table -- Ordinal Base" <<<"$("$objdump" -p "$bin/QVXImaq.dll")"; then
  echo "windows: QVXImaq.dll has no export table" >&2
  status=1
fi
for file in "$bin"/*.dll "$bin"/*.exe; do
  for dll in $(imported_dlls "$file"); do
    if ! [[ "$dll" =~ $system_dll || "$dll" =~ $ours_dll ]]; then
      echo "windows: $(basename "$file") needs $dll, which is neither a system DLL nor ours" >&2
      status=1
    fi
  done
done
for dll in qvx_kapri10_x64.dll imaqmex.dll; do
  grep -qx "$dll" <<<"$(imported_dlls "$bin/QVXImaq.dll")" || { echo "windows: QVXImaq.dll does not import $dll" >&2; status=1; }
done
if [ "$status" -ne 0 ]; then exit "$status"; fi
echo "windows: QVXImaq.dll exports exactly:" $actual
echo "windows: QVXImaq.dll imports:" $(imported_dlls "$bin/QVXImaq.dll")

# The adaptor alone, against the stand-ins installed as the real products are (DLLs and import libraries).
staging="$dir/staging"
rm -rf "$staging"
cmake --install "$dir" --component grabber --prefix "$staging/grabber" >/dev/null
cmake --install "$dir" --component imaqmex --prefix "$staging/imaqmex" >/dev/null
cmake -S "$root" -B "$dir/alone" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" -DQVX_WERROR=ON \
  -DCMAKE_BUILD_TYPE=Release -DQVX_ADAPTOR_ONLY=ON -DQVX_GRABBER_ROOT="$staging/grabber" \
  -DQVX_IMAQMEX_ROOT="$staging/imaqmex" >/dev/null
cmake --build "$dir/alone" -j"$(nproc)"
alone_exports=$(exported_names "$dir/alone/bin/QVXImaq.dll")
if [ "$alone_exports" != "$expected" ]; then
  echo "windows: the adaptor built alone exports" $alone_exports >&2
  exit 1
fi
echo "windows: the adaptor built alone against $staging imports:" $(imported_dlls "$dir/alone/bin/QVXImaq.dll")

# Wine, headless and private to this build tree.
export WINEPREFIX="$dir/wineprefix" WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installer prompts when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || command -v wine || true)
if [ -z "$wine" ]; then
  echo "windows: wine is not installed although setup.sh installs it" >&2
  exit 1
fi
mkdir -p "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Wine's background processes inherit the standard streams of the program that starts them, so every
# Wine run writes to a file: a pipe would stay open after the program ends.
probe="$dir/wine-probe.log"
timeout 300 "$wine" wineboot --init >"$probe" 2>&1 </dev/null || true
timeout 120 "$wine" cmd.exe /c echo qvx-wine-ok >>"$probe" 2>&1 </dev/null || true
if ! grep -q qvx-wine-ok "$probe"; then
  echo "windows: SKIPPED the Wine runs: Wine cannot start a Windows program here. Its output:" >&2
  tail -20 "$probe" >&2
  exit 0
fi

cd "$dir"
echo "windows: running the test suite under Wine"
log="$dir/wine-tests.log"
tests=0
timeout 900 "$wine" "$bin/qvx_tests.exe" --gtest_color=no >"$log" 2>&1 </dev/null || tests=$?
grep -E '^\[  (FAILED|SKIPPED) |^\[==========\]|^\[  PASSED  \]' "$log" || true
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -1)
skipped=$(sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?,.*/\1/p' "$log" | tail -1)
failed=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?,.*/\1/p' "$log" | tail -1)
# A crash under Wine can end the program with status 0: only GoogleTest's closing line counts as a pass.
if [ "$tests" -ne 0 ] || [ -z "$passed" ] || [ -n "$failed" ]; then
  echo "windows: the test suite failed under Wine (exit $tests); the full log is $log" >&2
  grep -B30 '^\[  FAILED  \]' "$log" | head -300 >&2 || grep -B20 -A25 -m1 'Unhandled' "$log" >&2 || tail -80 "$log" >&2
  exit 1
fi

echo "windows: the command line under Wine"
timeout 300 "$wine" "$bin/qvx-imaq.exe" hwinfo >"$dir/wine-hwinfo.log" 2>&1 </dev/null
cat "$dir/wine-hwinfo.log"
grep -q "AdaptorName: qvximaq" "$dir/wine-hwinfo.log"
out="$dir/wine-grab"
rm -rf "$out" && mkdir -p "$out"
timeout 300 "$wine" "$bin/qvx-imaq.exe" grab "QVX ROI Cam R-5M" "Y800 (2448x2048)" -n 3 --roi 64,32,320,240 \
  -o "$out" >"$dir/wine-grab.log" 2>&1 </dev/null || { cat "$dir/wine-grab.log" >&2; exit 1; }
cat "$dir/wine-grab.log"
pngs=$(find "$out" -name '*.png' | sort)
if [ "$(wc -l <<<"$pngs")" -ne 3 ]; then
  echo "windows: grab under Wine did not write 3 PNG files into $out" >&2
  exit 1
fi
for png in $pngs; do
  grep -q "PNG image data, 320 x 240" <<<"$(file "$png")" || { echo "windows: $(file "$png")" >&2; exit 1; }
done
echo "windows: grab wrote" $(basename -a $pngs)
echo "windows: ${passed:-0} passed, ${failed:-0} failed, ${skipped:-0} skipped"
