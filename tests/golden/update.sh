#!/usr/bin/env bash
# Rewrites the golden frames (tests/golden/*.png) from the current build,
# after a change meant to alter what the viewer sees.
# Usage: tests/golden/update.sh [build folder, default build]
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
build_dir="$(cd "${1:-$source_dir/build}" && pwd)"
cmake --build "$build_dir" -j"$(nproc)"
cd "$build_dir"
export SDL_AUDIODRIVER=dummy RUVO_NO_DIALOG=1 RUVO_UPDATE_GOLDEN=1
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest -R '^(GoldenFrames|ContinuousPlay)\.' -j"$(nproc)" --output-on-failure
unset RUVO_UPDATE_GOLDEN
# The fresh pictures must pass as they are.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest -R '^(Golden|ContinuousPlay)' -j"$(nproc)" --output-on-failure
git -C "$source_dir" status --short -- tests/golden
