# A missing beat file ends the run during loading with its message, status 1,
# and the window closed; with both missing the bass file is named.
source "$(dirname "$0")/lib/common.bash"
make_workdir
rm "$WORK/data/claps.txt"
run_ruvo 60
expect_status 1
expect_stderr_line "An error occurred: Unable to read synchronization file:data/claps.txt"
rm "$WORK/data/bass.txt"
run_ruvo 60
expect_status 1
expect_stderr_line "An error occurred: Unable to read synchronization file:data/bass.txt"
[ -n "$(find_window 'ruvo - .*')" ] && fail "the window outlived the run"
exit 0
