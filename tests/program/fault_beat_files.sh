# Beat files are not validated: garbage, a file without its header, or one
# 10 MB line give whatever marks they spell, and the show plays to its end.
# A beat file that opens but cannot be read is an error like a missing one.
source "$(dirname "$0")/lib/faults.bash"
make_workdir

# Binary bytes, NULs included, from the middle of the soundtrack.
tail -c 200000 "$DATA_DIR/sound.mp3" | head -c 65536 >"$WORK/data/bass.txt"
run_ruvo 60 203000
expect_clean_end
cp "$DATA_DIR/bass.txt" "$WORK/data/"

# No header: the first four marks are taken for it.
tail -n +5 "$DATA_DIR/claps.txt" >"$WORK/data/claps.txt"
run_ruvo 60 203000
expect_clean_end
cp "$DATA_DIR/claps.txt" "$WORK/data/"

# One 10 MB line of well-formed marks; read in pieces, it makes about 20000
# marks, all due at once, reported one per frame.
{ head -n 4 "$DATA_DIR/bass.txt"; yes '1 00:03:23.100 00:03:23.150' | tr '\n' ' ' | head -c 10485760; } \
  >"$WORK/data/bass.txt"
run_ruvo 60 203000
expect_clean_end
cp "$DATA_DIR/bass.txt" "$WORK/data/"

rm "$WORK/data/claps.txt" && mkdir "$WORK/data/claps.txt"
run_ruvo 60 203000
expect_error "Unable to read synchronization file:data/claps.txt"
exit 0
