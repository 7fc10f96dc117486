# Helpers of the fault tests (fault_*.sh), on top of common.bash.
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"

# The run failed as it should: status 1 and the message line.
expect_error() {
  expect_status 1
  expect_stderr_line "An error occurred: $1"
}

# The run failed with status 1 and a message, whatever its words.
expect_some_error() {
  expect_status 1
  grep -q "^An error occurred: ." "$WORK/stderr" || fail "stderr lacks the error line"
}

# The run ended normally: status 0 and nothing on stderr.
expect_clean_end() {
  expect_status 0
  [ -s "$WORK/stderr" ] && fail "unexpected output on stderr"
  return 0
}

# Waits for the show's window, then checks that the run is still going.
expect_window() {
  WINDOW=$(wait_for_window 'ruvo - .*' 60) || { kill -9 "$PID"; fail "no window"; }
}

# Runs the rest of the test on a second X server, started with the extra
# Xvfb arguments given (to leave out an extension, say).
private_display() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp "$@" 3>"$WORK/display" 2>/dev/null &
  XSERVER=$!
  trap 'kill $XSERVER 2>/dev/null; rm -rf "$WORK"' EXIT
  for _ in $(seq 1 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
  done
  [ -s "$WORK/display" ] || fail "no X server of its own"
  export DISPLAY=:$(head -1 "$WORK/display")
}
