# Machines the show cannot play on: no display, an X server without GLX, an
# audio driver that does not exist. Each ends with its message and status 1.
source "$(dirname "$0")/lib/faults.bash"
make_workdir

(cd "$WORK" && env -u DISPLAY timeout --signal=KILL 30 "$RUVO" >"$WORK/stdout" 2>"$WORK/stderr")
STATUS=$?
expect_error "No available video device"

# Sound comes up before the window, so this fails before any window opens.
(cd "$WORK" && SDL_AUDIODRIVER=nonexistent timeout --signal=KILL 30 "$RUVO" >"$WORK/stdout" 2>"$WORK/stderr")
STATUS=$?
expect_error "Error initializing output device."

private_display -extension GLX
run_ruvo 30
expect_error "GLX is not supported"
exit 0
