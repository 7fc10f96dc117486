# With ffmpeg at hand the renderer writes an MP4 with picture and sound.
source "$(dirname "$0")/lib/common.bash"
RENDER=$(dirname "$RUVO")/ruvo-render
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed"; exit 1; }
make_workdir
cd "$WORK"
"$RENDER" --start 60000 --end 61000 --fps 30 --video "$WORK/show.mp4" 2>"$WORK/stderr" || fail "render failed"
[ -s "$WORK/show.mp4" ] || fail "no video"
streams=$(ffprobe -v error -show_entries stream=codec_name,width,height,nb_frames -of csv=p=0 "$WORK/show.mp4")
echo "$streams"
echo "$streams" | grep -q "^h264,1024,768,30$" || fail "video stream is not 30 frames of 1024x768 H.264"
echo "$streams" | grep -q "^aac" || fail "no sound in the video"
exit 0
