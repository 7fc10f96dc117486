# Without the soundtrack the run fails before any window is opened: even
# without a display the message is the sound error.
source "$(dirname "$0")/lib/common.bash"
make_workdir
rm "$WORK/data/sound.mp3"
run_ruvo 30
expect_status 1
expect_stderr_line "An error occurred: File not found"
(cd "$WORK" && env -u DISPLAY timeout 30 "$RUVO" >/dev/null 2>"$WORK/stderr")
STATUS=$?
expect_status 1
expect_stderr_line "An error occurred: File not found"
exit 0
