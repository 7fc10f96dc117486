#!/usr/bin/env bash
# Installs what is missing (through sudo when not run as root), then
# configures and builds into build/ (which also generates build/data) as the
# user who runs it. Sourced by run.sh and test.sh.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/install-packages.sh"

# Everything the build, the show and the tests use beyond a minimal Debian 12.
# scripts/check-fresh.sh proves the list on a fresh root: run it after any
# change here or to what a test needs.
ruvo_packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl-image1.2-dev libmpg123-dev libmp3lame-dev
  libcairo2-dev libpng-dev fonts-dejavu-core fonts-dejavu-extra libgl1-mesa-dri libglu1-mesa-dev
  libgtest-dev googletest xvfb xauth xdotool x11-utils clang libclang-rt-14-dev ffmpeg
  xfonts-base # the X core fonts that SDL 2's error dialog draws its text with
)
ruvo_install_packages "${ruvo_packages[@]}"
# Tools run by hand install their own packages when they run, never here:
# scripts/check-fresh.sh (mmdebstrap python3 iproute2) and tools/syncmeter (ffmpeg
# pulseaudio-utils python3-numpy, libasound2-plugins for its ALSA route, and
# pulseaudio only where no sound server runs: on a desktop with PipeWire it
# would replace the user's server).

cmake -S . -B build -DCMAKE_BUILD_TYPE="${RUVO_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build build -j"$(nproc)"
