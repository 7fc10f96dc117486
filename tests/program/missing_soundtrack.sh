# Without the soundtrack in any of the places the data may be, the run fails
# before any window is opened, even without a display, and the message names
# every place it looked. A copy of the program runs, so that build/data beside
# the build's own program is not one of them.
source "$(dirname "$0")/lib/faults.bash"
make_workdir
use_program_copy
rm "$WORK/data/sound.mp3"
lookup="The show's data was not found: looked for sound.mp3 in data/ (working folder $WORK), $WORK/share/ruvo, $WORK/bin/data"
run_ruvo 30
expect_error "$lookup"
(cd "$WORK" && env -u DISPLAY timeout 30 "$RUVO" >/dev/null 2>"$WORK/stderr")
STATUS=$?
expect_error "$lookup"
exit 0
