# Where the GL driver offers no framebuffer objects (pretended here with
# RUVO_NO_FRAMEBUFFER_OBJECTS), frames cannot be drawn off screen: the
# renderer and the bench's --size refuse with a message that says so,
# status 1, and nothing written. (The show draws at the window's size
# instead: screen_fit.sh.)
source "$(dirname "$0")/lib/common.bash"
RENDER=$(dirname "$RUVO")/ruvo-render
BENCH=$(dirname "$RUVO")/ruvo-bench
make_workdir
cd "$WORK"
export RUVO_NO_FRAMEBUFFER_OBJECTS=1

"$RENDER" --start 36950 --end 37050 --frames "$WORK/frames" 2>"$WORK/stderr" && fail "ruvo-render: rendered"
[ $? -eq 1 ] || fail "ruvo-render: status is not 1"
grep -q "^ruvo-render: .*framebuffer objects" "$WORK/stderr" || fail "ruvo-render: no message naming framebuffer objects"
[ -e "$WORK/frames" ] && fail "ruvo-render: output made"
ls -A "$WORK" | grep -q partial && fail "ruvo-render: scratch output left behind"

# The sanitizer build has no bench: it replaces malloc, which the sanitizers own.
[ -x "$BENCH" ] || exit 0
"$BENCH" --size 1280x720 logo >"$WORK/stdout" 2>"$WORK/stderr" && fail "ruvo-bench --size: measured"
[ $? -eq 1 ] || fail "ruvo-bench --size: status is not 1"
grep -q "^ruvo-bench: .*framebuffer objects" "$WORK/stderr" || fail "ruvo-bench --size: no message naming framebuffer objects"
exit 0
