#!/usr/bin/env bash
# GenICam cameras against Aravis's fakes: the suite's GenICam tests, qvx-imaq against the GigE Vision fake,
# and the Octave layer with the acceptance kit against it: scripts/genicam-check.sh [BUILD_DIR]
#
# Everything that talks GigE Vision runs in a private network namespace of its own (unshare -rn, loopback
# only), so that parallel runs and other machines' cameras never meet; the fake is ended with the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)

if [ "${QVX_GENICAM_NETNS:-}" != 1 ]; then
  QVX_SETUP_EXTRA="genicam matlab" "$root/scripts/setup.sh"
  QVX_BUILD_TARGETS="qvx_genicam_tests qvx-imaq QVXImaq imaqmex" "$root/scripts/build.sh" "$build"
  if [ ! -x "$build/bin/qvx_genicam_tests" ]; then
    echo "genicam-check: the build has no GenICam cameras (is aravis-0.8 installed?)" >&2
    exit 1
  fi
  exec unshare -rn env QVX_GENICAM_NETNS=1 "$0" "$build"
fi

# ---- inside the namespace: loopback only ----
ip link set lo up
fake_pid=""
stop_fake() {
  if [ -n "$fake_pid" ]; then
    kill "$fake_pid" 2>/dev/null || true
    wait "$fake_pid" 2>/dev/null || true
    fake_pid=""
  fi
}
trap stop_fake EXIT
start_fake() {
  arv-fake-gv-camera-0.8 -i 127.0.0.1 "$@" >/dev/null 2>&1 &
  fake_pid=$!
  for _ in $(seq 50); do
    if "$cli" --cameras genicam:127.0.0.1 hwinfo >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "genicam-check: the GigE Vision fake did not answer" >&2
  exit 1
}
cli="$build/bin/qvx-imaq"
fail() {
  echo "genicam-check: $*" >&2
  exit 1
}

echo "genicam-check: the GenICam tests"
"$build/bin/qvx_genicam_tests" --gtest_brief=1

echo "genicam-check: qvx-imaq against the GigE Vision fake"
start_fake
cams=(--cameras genicam:127.0.0.1)
format="Y800 (2048x2048)"
"$cli" "${cams[@]}" hwinfo | grep -q "$format" || fail "hwinfo does not list $format"
"$cli" "${cams[@]}" describe 1 "$format" | grep -q "^GainRaw$" || fail "describe does not show GainRaw"
out=$(mktemp -d)
"$cli" "${cams[@]}" grab -n 5 --roi 16,8,320,240 -o "$out/region" 1 "$format" >/dev/null
[ "$(ls "$out/region" | wc -l)" -eq 5 ] || fail "grab --roi did not write 5 frames"
"$cli" "${cams[@]}" grab -n 2 1 "$format" >/dev/null
[ "$("$cli" "${cams[@]}" set 1 "$format" GainRaw=7)" = "GainRaw = 7" ] || fail "set GainRaw=7 did not read back"
[ "$("$cli" "${cams[@]}" get 1 "$format" GainRaw)" = "GainRaw = 7" ] || fail "get GainRaw does not show 7"
status=0
"$cli" "${cams[@]}" set 1 "$format" GainRaw=11 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "a gain beyond the camera's limit was not refused (exit $status)"
"$cli" "${cams[@]}" set 1 "$format" GainRaw=0 >/dev/null
# A camera that stops answering: qvx-imaq times out with its own error and exit 1.
(sleep 1.5 && kill "$fake_pid") &
status=0
"$cli" "${cams[@]}" grab -n 100000 --timeout 3 --roi 0,0,64,64 1 "$format" >/dev/null 2>"$out/lost.txt" || status=$?
wait
[ "$status" -eq 1 ] && grep -q "Timeout" "$out/lost.txt" || fail "a camera gone did not end in a timeout (exit $status)"
stop_fake
rm -rf "$out"

echo "genicam-check: the Octave layer and the acceptance kit against the GigE Vision fake"
start_fake
QVX_KIT_CAMERAS=genicam:127.0.0.1 "$root/scripts/matlab-run.sh" "$build"
# The README's session, through the Octave user's way in; the region must be the fake's picture.
QVX_CAMERAS=genicam:127.0.0.1 "$root/scripts/octave-imaq.sh" "$build" "
  info = imaqhwinfo('qvximaq');
  if ~any(strcmp(info.DeviceInfo(1).SupportedFormats, 'Y800 (2048x2048)')), error('no Y800 format'); end
  vid = videoinput('qvximaq', 1, 'Y800 (2048x2048)');
  src = getselectedsource(vid);
  p = propinfo(src, 'GainRaw');
  if ~isequal(p.ConstraintValue, [0 10]), error('GainRaw limits %s', mat2str(p.ConstraintValue)); end
  set(src, 'GainRaw', 7);
  if get(src, 'GainRaw') ~= 7, error('GainRaw did not read back'); end
  set(src, 'GainRaw', 0);
  vid.ROIPosition = [100 50 640 480];
  frame = double(getsnapshot(vid));
  if ~isequal(size(frame), [480 640]), error('frame of %s', mat2str(size(frame))); end
  [x, y] = meshgrid(0:639, 0:479);
  if any(any(frame ~= mod(x + y + frame(1, 1), 255))), error('not the fake picture'); end
  delete(vid);
  disp('octave-imaq: the session passed');" \
  2> >(grep -v '^error: ignoring const execution_exception& while preparing to exit$' >&2)
stop_fake
echo "genicam-check: passed"
