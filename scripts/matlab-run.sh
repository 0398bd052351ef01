#!/usr/bin/env bash
# Runs the MATLAB acceptance kit and example under GNU Octave, on the toolbox's Octave layer (matlab/octave/)
# and the adaptor, headless: scripts/matlab-run.sh [BUILD_DIR]
#
# QVX_ADAPTOR: the adaptor library to register (default: the build's own bin/libQVXImaq.so).
# Cameras: the built-in virtual set. QVX_CAMERAS is not passed on, so that a value left in a shell does
# not change what the kit sees; QVX_KIT_CAMERAS runs the kit on other cameras instead: a camera file
# (file.json), or any other value QVX_CAMERAS takes (genicam:127.0.0.1), passed on unchanged. Then
# QVXIMAQ_REGION_CAMERAS, QVXIMAQ_PUSH_BUTTONS, QVXIMAQ_UNPACED_CAMERAS and QVXIMAQ_DEVICE_PROPERTIES are
# the caller's to set, and a test that cannot apply there ends incomplete, with its reason.
# On the built-in set every test has a case: an incomplete test fails, and the kit is told each
# camera's property names, as they follow from its description (cameras/default.json).
# Exits non-zero when a test fails, the example fails, or Octave does not end cleanly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)
if [ ! -f "$root/matlab/octave/unittest/runtests.m" ]; then
  echo "matlab-run: the runner of matlab.unittest classes (matlab/octave/unittest/) is missing" >&2
  exit 2
fi
QVX_SETUP_EXTRA="matlab" "$root/scripts/setup.sh"

# The adaptor and the kit stand-in (and what they link), unless the build tree has them up to date.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DQVX_WERROR=ON -DQVX_BUILD_TESTS=OFF -DQVX_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target QVXImaq imaqmex -j"$(nproc)" >/dev/null

# The gateway, a MEX file built by mkoctfile against the build's libimaqmex, into the build tree.
gateway="$build/octave/qvximaq_gateway.mex"
sources=("$root"/matlab/octave/gateway/*.cpp "$root"/matlab/octave/gateway/*.h "$root"/sim/toolbox/toolbox.h)
stale=0
if [ ! -f "$gateway" ]; then
  stale=1
else
  for file in "${sources[@]}" "$build/bin/libimaqmex.so"; do
    if [ "$file" -nt "$gateway" ]; then stale=1; fi
  done
fi
if [ "$stale" = 1 ]; then
  mkdir -p "$build/octave"
  echo "matlab-run: building $gateway"
  CXXFLAGS="$(mkoctfile -p CXXFLAGS) -std=c++17 -Wall -Wextra -Werror" \
    mkoctfile --mex -o "$gateway" -I"$root" "$root"/matlab/octave/gateway/*.cpp \
    -L"$build/bin" -limaqmex -Wl,-rpath,"$build/bin"
fi

adaptor=$(realpath "${QVX_ADAPTOR:-$build/bin/libQVXImaq.so}")
unset QVX_CAMERAS
described=""
if [ -n "${QVX_KIT_CAMERAS:-}" ]; then
  if [ -e "$QVX_KIT_CAMERAS" ]; then
    export QVX_CAMERAS=$(realpath "$QVX_KIT_CAMERAS")
  else
    export QVX_CAMERAS=$QVX_KIT_CAMERAS
  fi
else
  # Of the built-in cameras, this one has hardware regions: the kit fails if it delivers whole frames.
  export QVXIMAQ_REGION_CAMERAS=${QVXIMAQ_REGION_CAMERAS-"QVX ROI Cam R-5M"}
  described="$root/cameras/default.json"
fi
unset DISPLAY
echo "matlab-run: the acceptance kit and the example under Octave, adaptor $adaptor"
# Octave 7.3 as Debian packages it prints "error: ignoring const execution_exception& while preparing to
# exit" whenever octave-cli ends, even after `--eval 'x=1;'` (its exit code stays 0); that one line is
# dropped, everything else Octave writes to standard error passes.
status=0
octave-cli --no-gui --norc --quiet --eval "
  warning('off', 'Octave:shadowed-function');
  addpath('$root/matlab');
  addpath('$build/octave');
  addpath('$root/matlab/octave/api');
  addpath('$root/matlab/octave/unittest');
  addpath('$root/matlab/octave');
  exit(qvxkit_run('$adaptor', '$described'));" \
  2> >(grep -v --line-buffered '^error: ignoring const execution_exception& while preparing to exit$' >&2) \
  || status=$?
wait
if [ "$status" -ge 128 ]; then
  echo "matlab-run: Octave ended by signal $((status - 128))" >&2
elif [ "$status" -ne 0 ]; then
  echo "matlab-run: the kit or the example failed" >&2
else
  echo "matlab-run: the kit and the example passed"
fi

# The Octave layer's own checks, on the built-in cameras: interrupts, frame memory, numbers, metadata,
# messages (matlab/octave/tests/qvx_layer_check.sh).
layer=0
env -u QVX_CAMERAS -u QVXIMAQ_REGION_CAMERAS "$root/matlab/octave/tests/qvx_layer_check.sh" "$build" "$adaptor" ||
  layer=$?
if [ "$layer" -ne 0 ]; then
  echo "matlab-run: the Octave layer's checks failed" >&2
  [ "$status" -ne 0 ] || status=1
else
  echo "matlab-run: the Octave layer's checks passed"
fi
exit "$status"
