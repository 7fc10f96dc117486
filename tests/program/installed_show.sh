# The installed show plays from any working folder: installed into a scratch
# prefix and started from /, it finds <prefix>/share/ruvo and plays to the
# end. A working folder's data/ that is not the show's (a home folder's) is
# passed over, and data/ beside the program (the portable archive's layout)
# is found as well.
source "$(dirname "$0")/lib/faults.bash"
make_workdir
prefix=$WORK/prefix
cmake --install "$PWD" --prefix "$prefix" >"$WORK/install.log" 2>&1 || fail "cmake --install failed: $(tail -3 "$WORK/install.log")"
[ -f "$prefix/share/ruvo/sound.mp3" ] || fail "no data in $prefix/share/ruvo"
installed=$prefix/games/ruvo

RUVO=$installed RUN_IN=/ run_ruvo 120 200000
expect_clean_end

mkdir -p "$WORK/home/data" && echo "my notes" >"$WORK/home/data/notes.txt"
RUVO=$installed RUN_IN=$WORK/home run_ruvo 120 203000
expect_clean_end

# Only beside the program: a copy with the data moved next to it.
use_program_copy
mv "$WORK/data" "$WORK/bin/data"
RUN_IN=/ run_ruvo 120 203000
expect_clean_end
exit 0
