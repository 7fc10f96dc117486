# Machines the show cannot play on: no display, an X server without GLX, an
# audio driver that does not exist. Each ends with an error and status 1;
# the sound failure alone adds how to play without sound. What SDL says of
# a missing display or GLX is its own and differs between its versions (and
# between SDL 1.2 and its SDL 2 compatibility layer), so only the sound
# failure's own words are checked.
source "$(dirname "$0")/lib/faults.bash"
make_workdir

(cd "$WORK" && env -u DISPLAY timeout --signal=KILL 30 "$RUVO" >"$WORK/stdout" 2>"$WORK/stderr")
STATUS=$?
expect_some_error
grep -q SDL_AUDIODRIVER "$WORK/stderr" && fail "a video failure suggests a sound driver"

# Sound comes up before the window, so this fails before any window opens.
(cd "$WORK" && SDL_AUDIODRIVER=nonexistent timeout --signal=KILL 30 "$RUVO" >"$WORK/stdout" 2>"$WORK/stderr")
STATUS=$?
expect_error "Error initializing output device."
# SDL's own words for the cause vary between its versions.
grep -qxE "No sound output could be opened( \(.*\))?; to play without sound, run with SDL_AUDIODRIVER=dummy" \
  "$WORK/stderr" || fail "stderr lacks how to play without sound"

private_display -extension GLX
run_ruvo 30
expect_some_error
exit 0
