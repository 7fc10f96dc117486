#!/usr/bin/env bash
# The sanitizer phase of the test command: builds the show and its tests with
# AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs
# the suite there (less the fuzzers, which carry their own sanitizers, the
# video render, which only adds ffmpeg time, the tests labelled heavy, which
# play a long stretch of the show through scene code the other tests already
# run, and the picture comparisons, golden frames and the city's glow, which
# draw through that same scene code and only judge pixels, and the 24 s of
# music the last scenes' program test plays in real time: the scene tests
# and the leak check's run to the show's end cover that code here), then the
# leak check of a real run. Any sanitizer report fails the phase.
# Usage: scripts/sanitize.sh [extra ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-asan

# Reports end the process with a status no test expects (errors give 1), and
# UBSan stops at its first report. Leaks are checked by leak_check.sh only:
# Mesa's and X's own allocations would drown the suite in them.
export ASAN_OPTIONS=detect_leaks=0:halt_on_error=1:exitcode=86
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=86
export SDL_AUDIODRIVER=dummy RUVO_NO_DIALOG=1

# The plain build's data is copied rather than generated again.
reuse=
[ -f "$root/build/data/sound.mp3" ] && [ -f "$root/build/data/.pictures-stamp" ] && reuse=$root/build/data

start=$(date +%s)
cmake -S "$root" -B "$build" -DRUVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" -DRUVO_TESTS=ON -DRUVO_REUSE_DATA="$reuse" >/dev/null
cmake --build "$build" -j"$(nproc)"
built=$(date +%s)

cd "$build"
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
  ctest --output-on-failure -j"$(nproc)" -LE '^(fuzz|heavy)$' -E '^(program\.render_video|program\.last_scenes|GoldenFrames\..*|CityGlow\..*)$' "$@"
bash "$root/tests/sanitizer/leak_check.sh" "$build/ruvo" # it opens a display of its own
echo "sanitizer phase: build $((built - start)) s, tests $(( $(date +%s) - built )) s"
