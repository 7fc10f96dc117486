# Escape ends the show with status 0.
source "$(dirname "$0")/lib/common.bash"
make_workdir
(cd "$WORK" && exec "$RUVO" 10000 >"$WORK/stdout" 2>"$WORK/stderr") &
pid=$!
window=$(wait_for_window 'ruvo - .*' 60) || { kill -9 $pid; fail "no window"; }
sleep 2 # let loading finish and frames run
kill -0 $pid 2>/dev/null || fail "the show ended before Escape"
press_key "$window" Escape
for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then kill -9 $pid; fail "Escape did not end the show"; fi
wait $pid
STATUS=$?
expect_status 0
exit 0
