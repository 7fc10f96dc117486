# The renderer never loses or replaces a file: an empty folder named with a
# trailing slash (as shell completion types it) receives the frames; a folder
# that holds something and an existing video are refused before any frame is
# drawn, with status 1, and left as they were.
source "$(dirname "$0")/lib/common.bash"
RENDER=$(dirname "$RUVO")/ruvo-render
make_workdir
cd "$WORK"
# Three frames at 10 fps: the check is where they go, not what they show.
range=(--fps 10 --start 36950 --end 37250)

mkdir "$WORK/empty"
"$RENDER" "${range[@]}" --frames "$WORK/empty/" 2>"$WORK/stderr" || fail "render into an empty folder failed"
[ "$(ls "$WORK/empty" | wc -l)" -eq 3 ] || fail "expected 3 frames in the folder: $(ls -A "$WORK/empty")"
[ -f "$WORK/empty/frame-000002.png" ] || fail "frames not written into the folder"
ls -A "$WORK" | grep -q partial && fail "scratch output left behind"

snapshot() { (cd "$WORK" && find . \( -path ./data -o -name stderr \) -prune -o -printf '%p %s %T@\n' | sort); }
expect_refusal() {
  local what=$1
  shift
  local before
  before=$(snapshot)
  "$RENDER" "${range[@]}" "$@" 2>"$WORK/stderr" && fail "$what: succeeded"
  [ $? -eq 1 ] || fail "$what: status is not 1"
  grep -q "^ruvo-render: .*already exists" "$WORK/stderr" || fail "$what: no message"
  grep -q "frame 1/" "$WORK/stderr" && fail "$what: frames were drawn before the refusal"
  [ "$(snapshot)" = "$before" ] || fail "$what: files changed: $(diff <(echo "$before") <(snapshot))"
  return 0
}
expect_refusal "a folder with frames" --frames "$WORK/empty/"
echo "an earlier video" >"$WORK/show.mp4"
expect_refusal "an existing video" --video "$WORK/show.mp4"
expect_refusal "an existing video, named with ./" --video "$WORK/./show.mp4"
[ "$(cat "$WORK/show.mp4")" = "an earlier video" ] || fail "the video was changed"
exit 0
