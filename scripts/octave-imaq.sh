#!/usr/bin/env bash
# Opens GNU Octave with the toolbox's user API on its path, the gateway built and the adaptor registered:
#   scripts/octave-imaq.sh [BUILD_DIR] [CODE]
# Without CODE an interactive Octave; with CODE, Octave runs it and exits with its status. The cameras
# are what QVX_CAMERAS says: unset, the built-in virtual cameras; a camera file; "genicam" for every
# GenICam camera Aravis finds; "genicam:ID-OR-ADDRESS[;...]" for the named ones.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)
code=${2:-}
extras="matlab"
if [[ ${QVX_CAMERAS:-} == genicam* ]]; then extras="matlab genicam"; fi
QVX_SETUP_EXTRA="$extras" "$root/scripts/setup.sh" >&2

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DQVX_BUILD_TESTS=OFF -DQVX_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target QVXImaq imaqmex -j"$(nproc)" >/dev/null

# The gateway, a MEX file built by mkoctfile against the build's libimaqmex, rebuilt when its sources change.
gateway="$build/octave/qvximaq_gateway.mex"
stale=0
[ -f "$gateway" ] || stale=1
for file in "$root"/matlab/octave/gateway/*.cpp "$root"/matlab/octave/gateway/*.h "$root"/sim/toolbox/toolbox.h \
  "$build/bin/libimaqmex.so"; do
  if [ "$file" -nt "$gateway" ]; then stale=1; fi
done
if [ "$stale" = 1 ]; then
  mkdir -p "$build/octave"
  echo "octave-imaq: building $gateway" >&2
  CXXFLAGS="$(mkoctfile -p CXXFLAGS) -std=c++17" mkoctfile --mex -o "$gateway" -I"$root" \
    "$root"/matlab/octave/gateway/*.cpp -L"$build/bin" -limaqmex -Wl,-rpath,"$build/bin" >&2
fi

adaptor=$(realpath "${QVX_ADAPTOR:-$build/bin/libQVXImaq.so}")
setup="warning('off', 'Octave:shadowed-function');
  addpath('$build/octave'); addpath('$root/matlab/octave/api'); addpath('$root/matlab');
  imaqregister('$adaptor');"
if [ -n "$code" ]; then
  exec octave-cli --no-gui --norc --quiet --eval "$setup
  try
    $code
  catch err
    fprintf(2, 'error: %s\n', err.message);
    exit(1);
  end"
fi
echo "octave-imaq: the adaptor $adaptor is registered; try imaqhwinfo('qvximaq')" >&2
exec octave --no-gui --norc --quiet --persist --eval "$setup"
