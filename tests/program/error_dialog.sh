# Without RUVO_NO_DIALOG the error is also shown in a dialog, after the show's
# window has closed; Return dismisses it and the run ends with status 1. Where
# no dialog can be drawn, the run does not wait for one: stderr has the text.
source "$(dirname "$0")/lib/faults.bash"
make_workdir
rm "$WORK/data/bass.txt"
(cd "$WORK" && exec env -u RUVO_NO_DIALOG "$RUVO" >"$WORK/stdout" 2>"$WORK/stderr") &
PID=$!
dialog=$(wait_for_window 'An error occurred' 60) ||
  { kill -9 $PID; fail "no dialog (SDL 2's X11 message box draws with the X core fonts of xfonts-base)"; }
[ -n "$(find_window 'ruvo - .*')" ] && { kill -9 $PID; fail "the show's window is still open"; }
kill -0 $PID 2>/dev/null || fail "the program ended without waiting for the dialog"
wait_for_viewable "$dialog" 60 || { kill -9 $PID; fail "the dialog was never shown"; }
press_key "$dialog" Return
wait_for_end 30 "Return did not dismiss the dialog"
expect_status 1
expect_stderr_line "An error occurred: Unable to read synchronization file:data/bass.txt"

# An X server with only its built-in fonts: SDL's box cannot load a font (and,
# with nothing on PATH, SDL's fallback to zenity finds none either).
private_display -fp built-ins
(cd "$WORK" && exec timeout --signal=KILL 30 env -u RUVO_NO_DIALOG PATH=/nonexistent "$RUVO" \
  >"$WORK/stdout" 2>"$WORK/stderr")
STATUS=$?
expect_error "Unable to read synchronization file:data/bass.txt"
exit 0
