#!/usr/bin/env bash
# Installs what is missing, builds, generates the data and plays the show.
# Usage: ./run.sh [start time in ms]
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh play
cd build
exec ./ruvo "$@"
