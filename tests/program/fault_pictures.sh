# Every scene's pictures and the loading picture, each damaged one way:
# missing, zero bytes, cut off, or a text file named .png. Loading stops at
# the damaged picture with status 1 and a message naming it; the cause after
# the colon is the C library's or the decoder's, worded as their versions do.
source "$(dirname "$0")/lib/faults.bash"
make_workdir

damage() {
  local file=$WORK/data/$1
  case $2 in
    missing) rm "$file" ;;
    empty) : >"$file" ;;
    cut) head -c $(( $(stat -c %s "$DATA_DIR/$1") / 2 )) "$DATA_DIR/$1" >"$file" ;;
    text) echo "this is not a picture" >"$file" ;;
  esac
}

check() {
  local picture=$1 fault=$2 message
  case $fault in
    missing) message="Couldn't open data/$picture: " ;;
    empty | text | cut) message="Couldn't load data/$picture: " ;;
  esac
  damage "$picture" "$fault"
  run_ruvo 60 203000
  [ "$STATUS" -eq 1 ] || fail "$picture $fault: exit status $STATUS, expected 1"
  grep -q "^An error occurred: $message." "$WORK/stderr" || fail "$picture $fault: no line '$message<cause>'"
  cp "$DATA_DIR/$picture" "$WORK/data/$picture"
}

check loader/loading.png missing
check logo/logo.png empty
check partikler/blomst.png cut
check cylinder/texture2.png text
check balls/sloer.png missing
check drink/caipirinha.png empty
check flat/cityFront.png cut
check kasser/greetings7.png text
check end/text.png cut
exit 0
