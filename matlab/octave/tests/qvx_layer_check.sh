#!/usr/bin/env bash
# Runs the Octave layer's checks (qvx_layer_check.m): scripts/matlab-run.sh calls it with the build
# directory and the adaptor library: matlab/octave/tests/qvx_layer_check.sh BUILD_DIR ADAPTOR
#
# Besides the checks of one plain Octave process it runs those that need a process of their own: a result
# that cannot be allocated (under a virtual memory limit), Ctrl-C during getdata and wait (on a
# pseudo-terminal, made by util-linux's script), and SIGTERM during a wait. Exits non-zero when one fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "$1" && pwd)
adaptor=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Octave writes its workspace into the current folder when a signal ends it: that folder is ours.
cd "$work"

paths="warning('off', 'Octave:shadowed-function'); addpath('$build/octave'); addpath('$root/matlab/octave/api');
       addpath('$root/matlab/octave/tests');"
octave=(octave-cli --no-gui --norc --quiet)
failed=0
fail() {
  echo "FAILED  layer: $*"
  failed=1
}
# Octave 7.3 as Debian packages it ends every octave-cli with this line on standard error.
quiet() { grep -av '^error: ignoring const execution_exception& while preparing to exit' || true; }

"${octave[@]}" --eval "$paths exit(qvx_layer_check('$adaptor'));" 2>&1 | quiet || failed=1
# 250 frames of 5 megabytes are logged in the buffer; as doubles they do not fit beside them.
(
  ulimit -v 2200000
  "${octave[@]}" --eval "$paths exit(qvx_layer_check('$adaptor', 'memory'));"
) 2>&1 | quiet || failed=1

# ---- Ctrl-C on a terminal ------------------------------------------------------------------------------
# Markers are printed as '<name>' from pieces, so that the terminal's echo of a command never matches.
out="$work/terminal.txt"
: >"$out"
waitfor() { # PATTERN SECONDS
  local tries=$(($2 * 20))
  while ! grep -aq "$1" "$out"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.05
  done
}
# Sends Ctrl-C once the command has begun to wait; prints the seconds until the marker ended came.
interrupt() { # COMMAND LABEL
  printf '%s\n' "t = tic; unwind_protect, printf('<%s>\n', '$2-waiting'); $1; unwind_protect_cleanup, printf('<%s %.3f>\n', '$2-ended', time()); end_unwind_protect"
  waitfor "<$2-waiting>" 30 || return 1
  sleep 1
  local sent
  sent=$(date +%s.%N)
  printf '\003'
  waitfor "<$2-ended " 10 || {
    echo "FAILED  layer: Ctrl-C: $2 did not end within 10 s" >&2
    return 1
  }
  local ended
  ended=$(grep -ao "<$2-ended [0-9.]*>" "$out" | head -1 | tr -dc '0-9.')
  echo "layer: Ctrl-C ended $2 after $(awk "BEGIN { printf \"%.3f\", $ended - $sent }") s" >&2
}
drive() {
  waitfor '<ready>' 60 || return 1
  interrupt "d = getdata(v, 1e5)" getdata || return 1
  printf '%s\n' "printf('<%s %d %d>\n', 'after-getdata', isrunning(v), size(getdata(v, 2), 4));"
  waitfor '<after-getdata' 10 || return 1
  interrupt "wait(v, 30)" wait || return 1
  printf '%s\n' "printf('<%s %d>\n', 'after-wait', isrunning(v)); stop(v); exit(0)"
  sleep 2 # Octave ends meanwhile; script ends with it
}
setup="$paths imaqregister('$adaptor'); v = videoinput('qvximaq', 1, 'PAL_B:RGB24 (384x288)');
       v.FramesPerTrigger = Inf; v.Timeout = Inf; start(v); printf('<%s>\n', 'ready');"
status=0
# script runs the command through $SHELL, or sh when the environment has none: the command is quoted for
# bash, and a shell between script and Octave must not turn Octave's exit after a Ctrl-C into status 130
# (dash does). A wait that ignores Ctrl-C would hold the terminal for good: killed after 90 s.
drive 2>"$work/drive.txt" |
  SHELL=$BASH timeout -s KILL 90 script -qfec "exec $(printf '%q ' "${octave[@]}" --persist --eval "$setup")" /dev/null \
    >"$out" 2>&1 || status=$?
cat "$work/drive.txt"
if ! grep -aq '<after-getdata 1 2>' "$out"; then
  fail "Ctrl-C during getdata: the video input did not keep running and delivering"
elif ! grep -aq '<after-wait 1>' "$out"; then
  fail "Ctrl-C during wait: the video input did not keep running"
elif [ "$status" != 0 ]; then
  fail "Ctrl-C: Octave ended with status $status"
else
  echo "passed  layer: interrupts on a terminal"
fi
grep -aq "^FAILED" "$work/drive.txt" && failed=1

# ---- SIGTERM during a wait ---------------------------------------------------------------------------
# As without the layer: Octave's own end for the signal, after the gateway stopped the camera threads.
"${octave[@]}" --eval "pause(30)" >/dev/null 2>&1 &
pid=$!
sleep 1
kill -TERM "$pid"
expected=0
wait "$pid" || expected=$?
: >"$out"
"${octave[@]}" --eval "$setup wait(v, Inf);" >"$out" 2>&1 &
pid=$!
if waitfor '<ready>' 60; then
  sleep 0.5
  kill -TERM "$pid"
fi
# One that ignores SIGTERM is killed after 20 s.
(sleep 20 && kill -KILL "$pid" 2>/dev/null) &
watchdog=$!
status=0
wait "$pid" || status=$?
kill "$watchdog" 2>/dev/null || true
if [ "$status" != "$expected" ] || grep -aqi 'terminate called\|segmentation\|abort' "$out"; then
  fail "SIGTERM during wait: status $status (Octave alone: $expected): $(quiet <"$out" | tail -3)"
else
  echo "passed  layer: SIGTERM during wait ends Octave as without the layer (status $status)"
fi
exit "$failed"
