#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: a virtual
# X display with Mesa's software GL, and SDL's dummy audio driver.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh test
cd build
export SDL_AUDIODRIVER=dummy RUVO_NO_DIALOG=1
# -noreset: Xvfb otherwise resets whenever its last client leaves, and a test
# starting at that moment cannot open the display (about 1 in 14 connections
# with two clients coming and going).
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure -j"$(nproc)" "$@"
../scripts/sanitize.sh "$@" # ASan+UBSan suite and leak check
