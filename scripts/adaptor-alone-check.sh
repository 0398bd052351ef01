#!/usr/bin/env bash
# Installs the stand-ins of a build tree as the real grabber library and adaptor kit are installed,
# builds the adaptor alone against that installation (-DQVX_ADAPTOR_ONLY=ON) and runs the build tree's
# test suite with that adaptor: scripts/adaptor-alone-check.sh [BUILD_DIR] [ALONE_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
alone=${2:-"$root/build-alone"}
mkdir -p "$build" "$alone"
build=$(cd "$build" && pwd)
alone=$(cd "$alone" && pwd)
staging="$alone/staging"

"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build"

rm -rf "$staging"
cmake --install "$build" --component grabber --prefix "$staging/grabber" >/dev/null
cmake --install "$build" --component platform --prefix "$staging/grabber" >/dev/null
cmake --install "$build" --component imaqmex --prefix "$staging/imaqmex" >/dev/null
echo "alone: installed" $(cd "$staging" && find . -type f | sort)

cmake -S "$root" -B "$alone/adaptor" -DQVX_WERROR=ON -DQVX_ADAPTOR_ONLY=ON \
  -DQVX_GRABBER_ROOT="$staging/grabber" -DQVX_IMAQMEX_ROOT="$staging/imaqmex" >/dev/null
cmake --build "$alone/adaptor" -j"$(nproc)"
adaptor="$alone/adaptor/bin/libQVXImaq.so"

# The compiler's own dependency lists show which grabber headers the adaptor was built with (their
# paths may be relative when ccache serves the object).
used=$(find "$alone/adaptor/CMakeFiles/QVXImaq.dir" -name '*.d' -exec cat {} + | grep -o '[^ ]*grabber/grabber\.h' | sort -u)
if [ -z "$used" ] || grep -qv 'staging/grabber/include/grabber/grabber\.h$' <<<"$used"; then
  echo "alone: the adaptor was not built with the installed grabber headers alone:" $used >&2
  exit 1
fi
echo "alone: $adaptor built with the headers in $staging/grabber/include"

# MATLAB for Linux installs the kit as libmwimaqmex.so: a kit folder holding only that name is found too.
mw="$alone/mwimaqmex"
rm -rf "$mw" && mkdir -p "$mw/lib"
cp "$(find "$staging/imaqmex" -name 'libimaqmex.so' | head -n1)" "$mw/lib/libmwimaqmex.so"
rm -rf "$alone/adaptor-mw"
cmake -S "$root" -B "$alone/adaptor-mw" -DQVX_WERROR=ON -DQVX_ADAPTOR_ONLY=ON \
  -DQVX_GRABBER_ROOT="$staging/grabber" -DQVX_IMAQMEX_ROOT="$mw" >/dev/null
if ! grep -q "^QVX_IMAQMEX_LIBRARY:FILEPATH=$mw/lib/libmwimaqmex.so$" "$alone/adaptor-mw/CMakeCache.txt"; then
  echo "alone: the kit installed as libmwimaqmex.so was not found" >&2
  exit 1
fi
echo "alone: the kit is also found as $mw/lib/libmwimaqmex.so"

cd "$build"
QVX_ADAPTOR="$adaptor" ctest --output-on-failure -j"$(nproc)" --timeout 600
echo "alone: the test suite passed with $adaptor"
