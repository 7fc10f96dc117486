# The offline renderer writes every frame of a range as numbered PNG files,
# letterbox bands included, and leaves nothing behind when it fails.
source "$(dirname "$0")/lib/common.bash"
RENDER=$(dirname "$RUVO")/ruvo-render
make_workdir
cd "$WORK"
"$RENDER" --help | grep -q -- "--frames" || fail "no help"

"$RENDER" --start 36950 --end 37050 --frames "$WORK/frames" 2>"$WORK/stderr" || fail "render failed"
count=$(ls "$WORK/frames" | wc -l)
[ "$count" -eq 6 ] || fail "expected 6 frames, got $count"
[ -f "$WORK/frames/frame-000005.png" ] || fail "frames are not numbered from 0"
grep -q "frame 6/6" "$WORK/stderr" || fail "no progress line"
ls "$WORK" | grep -q partial && fail "scratch output left behind"

# Failures: exit 1 with a message, nothing half-written.
expect_render_failure() {
  local what=$1
  shift
  "$@" 2>"$WORK/stderr" && fail "$what: succeeded"
  [ $? -eq 1 ] || fail "$what: status is not 1"
  grep -q "^ruvo-render: " "$WORK/stderr" || fail "$what: no message"
  ls "$WORK" | grep -q partial && fail "$what: scratch output left behind"
  return 0
}
expect_render_failure "empty range" "$RENDER" --start 5000 --end 5000 --frames "$WORK/none"
[ -e "$WORK/none" ] && fail "output made for an empty range"
expect_render_failure "frames beyond the frame memory" "$RENDER" --size 16384x16384 --frames "$WORK/huge"
grep -q "16384x16384.*512 MiB" "$WORK/stderr" || fail "frames beyond the frame memory: the size or limit unnamed"
expect_render_failure "existing folder" "$RENDER" --start 0 --end 20 --frames "$WORK/frames"
expect_render_failure "unwritable folder" "$RENDER" --start 0 --end 20 --frames /proc/ruvo-frames
expect_render_failure "no ffmpeg" env PATH=/nonexistent "$RENDER" --start 0 --end 20 --video "$WORK/show.mp4"
[ -e "$WORK/show.mp4" ] && fail "video made without ffmpeg"
env -u DISPLAY "$RENDER" --start 0 --end 20 --frames "$WORK/nodisplay" 2>"$WORK/stderr" && fail "rendered without a display"
[ -e "$WORK/nodisplay" ] && fail "output left without a display"
ls "$WORK" | grep -q partial && fail "scratch output left without a display"
exit 0
