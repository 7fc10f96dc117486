# Start times out of range: past the end (also one that does not fit 32 bits)
# ends the run after loading with status 0; a negative or non-numeric one
# plays the show from its start.
source "$(dirname "$0")/lib/faults.bash"
make_workdir

for start in 250000 4294967296 99999999999999999999; do
  run_ruvo 60 "$start"
  expect_clean_end
done

# From the start, the first bass mark comes at 10 s: none may show in the
# first seconds of play (a start read as a later time would fire a burst).
for start in -5000 abc; do
  (cd "$WORK" && exec env RUVO_DEBUG=1 "$RUVO" "$start" >"$WORK/stdout" 2>"$WORK/stderr") &
  PID=$!
  expect_window
  # Loading ends when its last picture is in, however long a loaded machine
  # takes; then a second of play, far from the first beat at 10 s.
  for _ in $(seq 1 600); do
    grep -q "New texture data/end/text.png" "$WORK/stderr" && break
    kill -0 "$PID" 2>/dev/null || break
    sleep 0.1
  done
  grep -q "New texture data/end/text.png" "$WORK/stderr" || fail "start $start: loading did not finish"
  sleep 1
  kill -0 "$PID" 2>/dev/null || fail "start $start: the show ended by itself"
  press_key "$WINDOW" Escape
  wait_for_end 10
  expect_status 0
  grep -q "^An error occurred" "$WORK/stderr" && fail "start $start: an error"
  grep -qx "BASS" "$WORK/stderr" && fail "start $start: beats fired, so it did not start at 0"
done
exit 0
