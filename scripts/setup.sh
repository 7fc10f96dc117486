#!/usr/bin/env bash
# Installs what is missing (through sudo when not run as root), then
# configures and builds into build/ as the user who runs it.
#   scripts/setup.sh play   what playing needs: the show and its data (run.sh)
#   scripts/setup.sh test   that, the test tools, and every program and test (test.sh)
# Sourced by run.sh and test.sh, or run on its own.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/install-packages.sh"

ruvo_setup_mode=${1:-test}
case $ruvo_setup_mode in
  play | test) ;;
  *)
    echo "usage: scripts/setup.sh play|test" >&2
    exit 2
    ;;
esac

# Everything the build and the show use beyond a minimal Debian 12 or 13.
# scripts/check-fresh.sh proves both lists on fresh roots of both releases:
# run it after any change here or to what a test needs. Names that differ
# between releases are written as install-packages.sh describes.
ruvo_play_packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl-image1.2-dev libmpg123-dev libmp3lame-dev
  libcairo2-dev libpng-dev fonts-dejavu-core fonts-dejavu-extra libgl1-mesa-dri libglu1-mesa-dev
  xfonts-base # the X core fonts that SDL 2's error dialog draws its text with
)
# What the tests add: GoogleTest, a virtual X display and the tools that
# look at and type into it, clang with the runtime of its own version for
# the fuzzers, and ffmpeg for the video render.
ruvo_test_packages=(
  libgtest-dev googletest xvfb xauth xdotool x11-utils
  clang libclang-rt-@clang@-dev ffmpeg
)
if [ "$ruvo_setup_mode" = play ]; then
  ruvo_install_packages "${ruvo_play_packages[@]}"
else
  ruvo_install_packages "${ruvo_play_packages[@]}" "${ruvo_test_packages[@]}"
fi
# Tools run by hand install their own packages when they run, never here:
# scripts/check-fresh.sh (mmdebstrap python3 iproute2) and tools/syncmeter (ffmpeg
# pulseaudio-utils python3-numpy, libasound2-plugins for its ALSA route, and
# pulseaudio only where no sound server runs: on a desktop with PipeWire it
# would replace the user's server).

if [ "$ruvo_setup_mode" = play ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE="${RUVO_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
  cmake --build build -j"$(nproc)" --target show
else
  cmake -S . -B build -DCMAKE_BUILD_TYPE="${RUVO_BUILD_TYPE:-RelWithDebInfo}" -DRUVO_TESTS=ON >/dev/null
  cmake --build build -j"$(nproc)"
fi
