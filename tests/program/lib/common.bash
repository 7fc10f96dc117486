# Shared by the whole-program tests. Each test gets the ruvo binary as $1 and
# runs from the build folder, where the generated data/ lives.
set -u

# Each program test gets an X display of its own, so that tests running side
# by side never see (or type into) each other's windows; a test may set
# RUVO_TEST_SCREEN (WxH) before sourcing this for a screen of another size.
if [ -z "${RUVO_PRIVATE_DISPLAY:-}" ]; then
  export RUVO_PRIVATE_DISPLAY=1
  exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 ${RUVO_TEST_SCREEN:-1024x768}x24 -noreset" bash "$0" "$@"
fi

RUVO=$1
DATA_DIR=$PWD/data

fail() {
  echo "FAIL: $*" >&2
  [ -n "${WORK:-}" ] && [ -f "$WORK/stderr" ] && { echo "--- stderr of the run:" >&2; cat "$WORK/stderr" >&2; }
  exit 1
}

# A scratch working directory holding a copy of the generated data; tests
# damage or remove files in it.
make_workdir() {
  WORK=$(mktemp -d /tmp/ruvo-program-XXXXXX)
  trap 'rm -rf "$WORK"' EXIT
  cp -r "$DATA_DIR" "$WORK/data" || fail "no generated data in $DATA_DIR"
}

# The id of a top-level window whose quoted name matches the extended
# regular expression $1 (xwininfo sees names that xdotool's search misses).
find_window() {
  xwininfo -root -tree 2>/dev/null | grep -E "^ +0x[0-9a-f]+ \"$1\"" | awk '{print $1; exit}'
}

# Waits until such a window exists; prints its id.
wait_for_window() {
  local pattern=$1 limit=${2:-60} id
  for _ in $(seq 1 $((limit * 10))); do
    id=$(find_window "$pattern")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until a window is mapped and shown (a key typed into it before that
# goes nowhere).
wait_for_viewable() {
  local id=$1 limit=${2:-60}
  for _ in $(seq 1 $((limit * 10))); do
    xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" && return 0
    sleep 0.1
  done
  return 1
}

# Types a key into a window. There is no window manager, and the server does
# not reset between clients, so when a focused window closes the focus falls
# to nothing rather than back to the pointer: give it to the window outright.
press_key() {
  xdotool mousemove --window "$1" 20 20
  xdotool windowfocus "$1"
  xdotool key "$2"
}

# A copy of the program in $WORK/bin, with no data beside it nor where an
# install would put it ($WORK/share/ruvo): run from $WORK, it sees only
# $WORK/data, where the build's program would also find build/data.
use_program_copy() {
  mkdir -p "$WORK/bin" && cp "$RUVO" "$WORK/bin/ruvo" || fail "cannot copy $RUVO"
  RUVO=$WORK/bin/ruvo
}

# Runs ruvo in $WORK (or in $RUN_IN) with the given arguments and a time
# limit; sets STATUS.
run_ruvo() {
  local limit=$1
  shift
  (cd "${RUN_IN:-$WORK}" && timeout --signal=KILL "$limit" "$RUVO" "$@" >"$WORK/stdout" 2>"$WORK/stderr")
  STATUS=$?
}

# Starts ruvo in $WORK in the background; sets PID.
start_ruvo() {
  (cd "$WORK" && exec "$RUVO" "$@" >"$WORK/stdout" 2>"$WORK/stderr") &
  PID=$!
}

# Waits up to $1 seconds for the background run to end; sets STATUS. A run
# still going then is killed and the test fails with $2 (or the time).
wait_for_end() {
  for _ in $(seq 1 $(($1 * 10))); do
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$PID" 2>/dev/null; then
    kill -9 "$PID"
    fail "${2:-the run did not end within $1 s}"
  fi
  wait "$PID"
  STATUS=$?
}

# Waits until the background run is held opening a pipe, waiting for a
# writer (the kernel names where a process sleeps in /proc/PID/wchan).
wait_for_pipe_open() {
  for _ in $(seq 1 1200); do
    [ "$(cat "/proc/$PID/wchan" 2>/dev/null)" = wait_for_partner ] && return 0
    kill -0 "$PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# The line a run with RUVO_DEBUG set prints once the show's first frame is
# presented: the loading picture is gone and the show plays.
FIRST_FRAME_LINE="Demo - first frame of the show presented"

# Waits until the background run (started with RUVO_DEBUG=1) shows the
# show itself, however long loading takes; fails if it ends before that.
wait_for_show() {
  local limit=${1:-120}
  for _ in $(seq 1 $((limit * 10))); do
    grep -qxF "$FIRST_FRAME_LINE" "$WORK/stderr" && return 0
    if ! kill -0 "$PID" 2>/dev/null; then
      grep -qxF "$FIRST_FRAME_LINE" "$WORK/stderr" && return 0
      fail "the run ended before the show began"
    fi
    sleep 0.1
  done
  kill -9 "$PID"
  fail "the show did not begin within $limit s"
}

expect_status() {
  [ "$STATUS" -eq "$1" ] || fail "exit status $STATUS, expected $1"
}

expect_stderr_line() {
  grep -qxF -- "$1" "$WORK/stderr" || fail "stderr lacks the line: $1"
}
