# Played from 180 s, the show runs through the box scene into the end scene
# and stops by itself when the music reaches 204 s, with status 0.
source "$(dirname "$0")/lib/common.bash"
make_workdir
start=$(date +%s)
(cd "$WORK" && RUVO_DEBUG=1 timeout --signal=KILL 90 "$RUVO" 180000 >"$WORK/stdout" 2>"$WORK/stderr")
STATUS=$?
elapsed=$(( $(date +%s) - start ))
expect_status 0
echo "ran ${elapsed}s"
# 24 s of music, plus loading.
[ "$elapsed" -ge 23 ] || fail "ended after ${elapsed}s, before the music reached the end"
[ "$elapsed" -le 60 ] || fail "took ${elapsed}s"
# The last bass mark (185 s, the end scene's first frame) was reached.
last=$(grep -c '^BASS$' "$WORK/stderr")
expected=$(awk 'NR > 4 && $2 >= "00:03:00.000"' "$DATA_DIR/bass.txt" | wc -l)
[ "$last" -ge "$expected" ] || fail "$last bass events after 180 s, the beat file has $expected"
exit 0
