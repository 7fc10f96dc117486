#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/ (which
# also generates build/data). Sourced by run.sh and test.sh.
set -euo pipefail

ruvo_packages=(
  build-essential cmake pkg-config
  libsdl1.2-compat-dev libsdl-image1.2-dev libmpg123-dev libmp3lame-dev
  libcairo2-dev fonts-dejavu-core libgl1-mesa-dri libglu1-mesa-dev
  libgtest-dev googletest xvfb xauth xdotool x11-utils clang libclang-rt-14-dev ffmpeg
)

missing=()
for package in "${ruvo_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  else
    echo "These packages are missing; install them as root and run again:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    exit 1
  fi
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE="${RUVO_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build build -j"$(nproc)"
