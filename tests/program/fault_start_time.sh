# Start times and the command line: past the end (also one that does not fit
# 32 bits) ends the run after loading with status 0; a negative one plays the
# show from its start; a word that is not a number, an unknown option, a
# second start time, a window size that is none and a size where the start
# time goes are refused with the usage and status 2; --help prints it
# with status 0; a program under a path with a space reads its start time.
source "$(dirname "$0")/lib/faults.bash"
make_workdir

for start in 250000 4294967296 99999999999999999999; do
  run_ruvo 60 "$start"
  expect_clean_end
done

for words in "abc" "--bogus" "60000 12" "--window 0x0" "-w 100000x100000" "--window -1x5" "1280x720"; do
  # shellcheck disable=SC2086 # the words are meant to split
  run_ruvo 20 $words
  expect_status 2
  grep -q "^Usage: ruvo " "$WORK/stderr" || fail "'$words': no usage on stderr"
  [ -s "$WORK/stdout" ] && fail "'$words': output on stdout"
done
run_ruvo 20 --help
expect_status 0
grep -q "^Usage: ruvo " "$WORK/stdout" || fail "--help: no usage on stdout"
grep -q "RUVO_VSYNC" "$WORK/stdout" || fail "--help: the environment is not described"

# Starts the show with the given words and reports on stdout whether its
# first frame fired a bass beat. From the start the first bass mark comes
# at 10 s; at 60 s one is due at the start itself, which the first frame
# fires. Everything up to the first frame's line is that frame's.
first_frame_beat() {
  local program=$1
  shift
  (cd "$WORK" && exec env RUVO_DEBUG=1 "$program" "$@" >"$WORK/stdout" 2>"$WORK/stderr") &
  PID=$!
  expect_window
  wait_for_show
  press_key "$WINDOW" Escape
  wait_for_end 30
  expect_status 0
  grep -q "^An error occurred" "$WORK/stderr" && fail "start $*: an error"
  sed "/^$FIRST_FRAME_LINE\$/q" "$WORK/stderr" | grep -qx "BASS" && echo yes || echo no
}

[ "$(first_frame_beat "$RUVO" -5000)" = no ] || fail "start -5000 did not start at 0"
mkdir -p "$WORK/my demos"
cp "$RUVO" "$WORK/my demos/ruvo"
[ "$(first_frame_beat "$WORK/my demos/ruvo" 60000)" = yes ] ||
  fail "a program under a path with a space did not start at 60 s"
exit 0
