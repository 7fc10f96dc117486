# SIGINT and SIGTERM, during loading and during play: the window closes, the
# sound stops, and the run ends by the signal (128 + its number from the
# shell), without an error message and without a core.
source "$(dirname "$0")/lib/faults.bash"
make_workdir
ulimit -c unlimited # a crash on the way out would leave a core here

expect_stopped_by() {
  local name=$1 number=$2
  expect_status $((128 + number))
  grep -q "^An error occurred" "$WORK/stderr" && fail "$name: an error was reported"
  ls "$WORK" | grep -q '^core' && fail "$name: a core was dumped"
  [ -n "$(find_window 'ruvo - .*')" ] && fail "$name: the window is still open"
  return 0
}

# Loading is held at the clap file, a pipe that gets its text only after the
# signal; the signal must neither break that read nor let the music start.
for signal in INT:2 TERM:15; do
  name=${signal%:*} number=${signal#*:}
  rm -f "$WORK/data/claps.txt" && mkfifo "$WORK/data/claps.txt"
  start_ruvo 10000
  expect_window
  wait_for_pipe_open || { kill -9 "$PID"; fail "SIG$name during loading: the clap file was never opened"; }
  kill -"$name" "$PID"
  # A run that the signal ended leaves the pipe without a reader: cp waits.
  timeout 60 cp "$DATA_DIR/claps.txt" "$WORK/data/claps.txt" ||
    fail "SIG$name during loading: the pipe was not read (the run ended before loading went on)"
  wait_for_end 30
  expect_stopped_by "SIG$name during loading" "$number"
done
rm "$WORK/data/claps.txt" && cp "$DATA_DIR/claps.txt" "$WORK/data/"

for signal in INT:2 TERM:15; do
  name=${signal%:*} number=${signal#*:}
  RUVO_DEBUG=1 start_ruvo 10000
  expect_window
  wait_for_show
  kill -"$name" "$PID"
  wait_for_end 30
  expect_stopped_by "SIG$name during play" "$number"
done

# The error dialog waits for the viewer, but not against a stop signal.
rm "$WORK/data/bass.txt"
(cd "$WORK" && exec env -u RUVO_NO_DIALOG "$RUVO" >"$WORK/stdout" 2>"$WORK/stderr") &
PID=$!
wait_for_window 'An error occurred' 60 >/dev/null || { kill -9 "$PID"; fail "no dialog"; }
kill -TERM "$PID"
wait_for_end 30
expect_status 143
for _ in $(seq 1 300); do
  [ -z "$(find_window 'An error occurred')" ] && break
  sleep 0.1
done
[ -n "$(find_window 'An error occurred')" ] && fail "the dialog outlived the run"
exit 0
