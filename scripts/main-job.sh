#!/usr/bin/env bash
# Sets up, builds, lists the virtual cameras and grabs frames from the built-in region-of-interest camera.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build"
"$root/scripts/setup.sh"
# Only the command line, which brings the adaptor and the two stand-ins it loads; the tests are
# scripts/test.sh's business.
QVX_BUILD_TARGETS="qvx-imaq" "$root/scripts/build.sh" "$dir"
"$dir/bin/qvx-imaq" hwinfo
out=${QVX_OUT:-"$root/out"}
mkdir -p "$out"
"$dir/bin/qvx-imaq" grab "QVX ROI Cam R-5M" "Y800 (2448x2048)" -n 5 --roi 400,300,640,480 -o "$out" --montage "$out/montage.png" \
  --overwrite
echo "frames written to $out"
