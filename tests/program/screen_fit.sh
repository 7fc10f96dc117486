# On a 1920 x 1080 screen without a window manager (a bare X server, as
# kiosks run a show): the window covers the screen, and the 1024:600 picture
# is whole, 1843 x 1080 at x = 38, with black bands on both sides, drawn the
# classic way and natively.
RUVO_TEST_SCREEN=1920x1080
source "$(dirname "$0")/lib/common.bash"
make_workdir

# Columns of row $1 of the screen: "first last bandmax", the first and last
# column that is not black and the brightest channel sum outside 38..1880.
scan_row() {
  ffmpeg -nostdin -loglevel error -f x11grab -video_size 1920x1080 -i "$DISPLAY" -frames:v 1 \
    -vf "crop=1920:1:0:$1" -f rawvideo -pix_fmt rgb24 - | od -An -tu1 -v -w3 |
    awk '{ x = NR - 1; s = $1 + $2 + $3
           if (s > 0) { if (first == "") first = x; last = x }
           if ((x < 38 || x > 1880) && s > band) band = s }
         END { print (first == "" ? -1 : first), (last == "" ? -1 : last), band + 0 }'
}

for mode in --classic --native; do
  # The tube's background fills the whole picture, edges included.
  start_ruvo "$mode" 52000
  window=$(wait_for_window 'ruvo - .*' 60) || { kill -9 $PID; fail "$mode: no window"; }
  geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                                           /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}')
  [ "$geometry" = "1920x1080+0+0" ] || fail "$mode: the window is $geometry, not the whole screen"
  # Loading takes a moment: wait for the picture to appear.
  for _ in $(seq 1 300); do
    read -r first last band < <(scan_row 540)
    [ "$first" -ge 0 ] && break
    kill -0 $PID 2>/dev/null || fail "$mode: the show ended early"
    sleep 0.1
  done
  for row in 1 540 1078; do
    read -r first last band < <(scan_row $row)
    [ "$first" -ge 37 ] && [ "$first" -le 39 ] && [ "$last" -ge 1879 ] && [ "$last" -le 1881 ] ||
      fail "$mode: row $row of the picture spans columns $first to $last, not 38 to 1880"
    [ "$band" -eq 0 ] || fail "$mode: the bands of row $row are not black ($band)"
  done
  press_key "$window" Escape
  wait_for_end 10 "$mode: Escape did not end the show"
  expect_status 0
done
exit 0
