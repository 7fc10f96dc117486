# A damaged data/sound.mp3 ends the run before the window opens, with the
# sound library's message and status 1; a file cut off after some audio plays
# what it has and the show still ends by itself.
source "$(dirname "$0")/lib/faults.bash"
make_workdir
sound=$WORK/data/sound.mp3
cp "$sound" "$WORK/sound.mp3.whole"

: >"$sound"
run_ruvo 30 203000
expect_error "Unknown file format"

head -c 300 "$WORK/sound.mp3.whole" >"$sound" # not even one whole frame
run_ruvo 30 203000
expect_error "Unknown file format"

cp "$WORK/data/loader/loading.png" "$sound"
run_ruvo 30 203000
expect_error "Unknown file format"

rm "$sound" && mkdir "$sound" # opens, but does not read
run_ruvo 30 203000
expect_error "Error loading file"
rmdir "$sound"

# Half the file: the show runs past the cut in silence, to its end.
head -c $(( $(stat -c %s "$WORK/sound.mp3.whole") / 2 )) "$WORK/sound.mp3.whole" >"$sound"
run_ruvo 60 203000
expect_clean_end
exit 0
