# Escape ends the show with status 0.
source "$(dirname "$0")/lib/common.bash"
make_workdir
start_ruvo 10000
window=$(wait_for_window 'ruvo - .*' 60) || { kill -9 $PID; fail "no window"; }
sleep 2 # let loading finish and frames run
kill -0 $PID 2>/dev/null || fail "the show ended before Escape"
press_key "$window" Escape
wait_for_end 10 "Escape did not end the show"
expect_status 0
exit 0
