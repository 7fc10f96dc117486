# Escape ends the show with status 0, full screen and in a window.
source "$(dirname "$0")/lib/common.bash"
make_workdir
for options in "" "--window 800x600"; do
  # shellcheck disable=SC2086 # the options are meant to split
  RUVO_DEBUG=1 start_ruvo $options 10000
  window=$(wait_for_window 'ruvo - .*' 60) || { kill -9 $PID; fail "no window ($options)"; }
  if [ -n "$options" ]; then
    size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
    [ "$size" = 800x600 ] || fail "the window is $size, not 800x600"
  fi
  wait_for_show
  press_key "$window" Escape
  wait_for_end 30 "Escape did not end the show ($options)"
  expect_status 0
done
exit 0
