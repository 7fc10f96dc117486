# On a 1920 x 1080 screen without a window manager (a bare X server, as
# kiosks run a show): the window covers the screen, and the 1024:600 picture
# is whole, 1843 x 1080 at x = 38, with black bands on both sides, whichever
# way it is drawn. Each way is told by the size it draws at (RUVO_DEBUG):
# the classic way at 1024 x 600, scaled up; natively at 1843 x 1080; by the
# automatic choice (the classic way on a software rasteriser, as the test
# display's GL is); and, without framebuffer objects, the classic way asked
# for but drawn at the window's size.
#
# The picture measured is the loading picture, replaced by one of pure red:
# it fills the picture to its edges, and loading is held on it (the clap
# file is a pipe the test fills later), so it stays on the screen until
# measured. The scenes' own frames fill it only at moments (the tube's
# background drops on each bass beat, its outline crosses the left edge).
# Once the show plays, its frames keep the bands black.
RUVO_TEST_SCREEN=1920x1080
source "$(dirname "$0")/lib/common.bash"
make_workdir
ffmpeg -nostdin -loglevel error -f lavfi -i "color=c=0xff0000:s=64x32,format=rgb24" -frames:v 1 -y "$WORK/data/loader/loading.png" ||
  fail "cannot write the red loading picture"

# Row $1 of the screen: "first last bandmax centre", the first and last
# column that is not black, the brightest channel sum outside 38..1880, and
# the colour of the middle column as R,G,B.
scan_row() {
  ffmpeg -nostdin -loglevel error -f x11grab -video_size 1920x1080 -i "$DISPLAY" -frames:v 1 \
    -vf "crop=1920:1:0:$1" -f rawvideo -pix_fmt rgb24 - | od -An -tu1 -v -w3 |
    awk '{ x = NR - 1; s = $1 + $2 + $3
           if (s > 0) { if (first == "") first = x; last = x }
           if ((x < 38 || x > 1880) && s > band) band = s
           if (x == 960) centre = $1 "," $2 "," $3 }
         END { print (first == "" ? -1 : first), (last == "" ? -1 : last), band + 0, centre }'
}

# Waits until the middle of the screen is red (or, with "not", no longer
# red); fails with $2 after a minute.
wait_for_red() {
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    read -r first last band centre < <(scan_row 540)
    if [ "$1" = not ]; then [ "$centre" != "255,0,0" ] && return 0; else [ "$centre" = "255,0,0" ] && return 0; fi
    kill -0 $PID 2>/dev/null || fail "$2 (the run ended)"
    sleep 0.1
  done
  fail "$2 (the middle of the screen is $centre)"
}

# Plays from 52 s with the given options and checks the drawing line
# RUVO_DEBUG prints against $1, then the picture on the screen.
check_drawing() {
  local expected=$1 what
  shift
  what="${*:-no option}"
  rm -f "$WORK/data/claps.txt" && mkfifo "$WORK/data/claps.txt"
  RUVO_DEBUG=1 start_ruvo "$@" 52000
  window=$(wait_for_window 'ruvo - .*' 60) || { kill -9 $PID; fail "$what: no window"; }
  geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                                           /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}')
  [ "$geometry" = "1920x1080+0+0" ] || fail "$what: the window is $geometry, not the whole screen"
  wait_for_pipe_open || { kill -9 $PID; fail "$what: loading never reached the clap file"; }
  grep -qF ", picture drawn at $expected" "$WORK/stderr" ||
    fail "$what: not drawn at $expected: $(grep '^Graphics - output' "$WORK/stderr")"
  wait_for_red is "$what: the loading picture never reached the screen"
  for row in 1 540 1078; do
    read -r first last band centre < <(scan_row $row)
    [ "$first" -ge 37 ] && [ "$first" -le 39 ] && [ "$last" -ge 1879 ] && [ "$last" -le 1881 ] ||
      fail "$what: row $row of the picture spans columns $first to $last, not 38 to 1880"
    [ "$band" -eq 0 ] || fail "$what: the bands of row $row are not black ($band)"
  done
  timeout 60 cp "$DATA_DIR/claps.txt" "$WORK/data/claps.txt" || fail "$what: the clap file was not read"
  wait_for_show
  wait_for_red not "$what: the show's frames never reached the screen"
  for row in 1 540 1078; do
    read -r first last band centre < <(scan_row $row)
    [ "$band" -eq 0 ] || fail "$what: in the show the bands of row $row are not black ($band)"
  done
  press_key "$window" Escape
  wait_for_end 30 "$what: Escape did not end the show"
  expect_status 0
}

check_drawing "1024 x 600 and scaled to 1843 x 1080 (classic)" --classic
check_drawing "1843 x 1080 (native)" --native
# The test display's GL is Mesa's software rasteriser.
check_drawing "1024 x 600 and scaled to 1843 x 1080 (classic: software renderer)"
grep -q "^Graphics - renderer .* (software)" "$WORK/stderr" || fail "the renderer is not taken for a software one"
RUVO_NO_FRAMEBUFFER_OBJECTS=1 check_drawing "1843 x 1080 (native)" --classic
grep -q "^Graphics - cannot draw the classic way (.*RUVO_NO_FRAMEBUFFER_OBJECTS" "$WORK/stderr" ||
  fail "no framebuffer objects: the fallback is not reported"
exit 0
