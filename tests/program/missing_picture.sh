# A missing picture ends the run with the decoder's message; the loading
# picture is needed before anything else is read.
source "$(dirname "$0")/lib/common.bash"
make_workdir
rm "$WORK/data/loader/loading.png" "$WORK/data/bass.txt"
run_ruvo 60
expect_status 1
grep -q "^An error occurred: .*data/loader/loading.png" "$WORK/stderr" || fail "message does not name the loading picture"
cp "$DATA_DIR/loader/loading.png" "$WORK/data/loader/" && cp "$DATA_DIR/bass.txt" "$WORK/data/"
: > "$WORK/data/end/text.png"
run_ruvo 60
expect_status 1
grep -q "^An error occurred: " "$WORK/stderr" || fail "no error message for an empty picture"
exit 0
