#!/usr/bin/env bash
# Checks that every MATLAB file of the acceptance kit (matlab/) parses, with GNU Octave's parser; MATLAB
# itself is not available here: scripts/matlab-check.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
QVX_SETUP_EXTRA="matlab" "$root/scripts/setup.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Octave resolves a class's superclass while parsing it: our runner's TestCase stands in for MATLAB's.
unittest="$root/matlab/octave/unittest"
cd "$root/matlab"
status=0
for file in *.m; do
  if octave-cli --no-gui --norc --quiet --eval "addpath('$unittest'); __parse_file__('$file');" >"$work/out" 2>&1; then
    echo "matlab: $file parses"
  else
    echo "matlab: $file does not parse:" >&2
    cat "$work/out" >&2
    status=1
  fi
done
exit "$status"
