# Started a second before the end, the show ends by itself with status 0.
source "$(dirname "$0")/lib/common.bash"
make_workdir
start=$(date +%s)
run_ruvo 60 203000
expect_status 0
[ -s "$WORK/stderr" ] && fail "unexpected output on stderr"
elapsed=$(( $(date +%s) - start ))
echo "ran ${elapsed}s"
# Loading plus one second of music; a clock that stopped would hit the limit.
[ "$elapsed" -lt 40 ] || fail "took ${elapsed}s"
# A start at or past the end draws nothing and leaves at once.
run_ruvo 60 204000
expect_status 0
run_ruvo 60 4294967296
expect_status 0
exit 0
