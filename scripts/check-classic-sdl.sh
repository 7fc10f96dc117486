#!/usr/bin/env bash
# Runs the test suite on classic SDL 1.2.15 instead of the SDL 2 based
# compatibility layer the build links: the SDL 1.2 that Ubuntu 22.04 and
# Linux Mint 21 ship, where party machines play the show. Debian 12 offers
# it as libsdl1.2debian, which would replace the compatibility layer's
# runtime if installed; instead its library is downloaded and unpacked into
# build/classic-sdl and put first on the library path of the tests, so
# nothing on the machine changes. Needs a built tree (./test.sh or
# scripts/setup.sh test) and, the first time, the network (apt-get download
# runs as the calling user).
# Usage: scripts/check-classic-sdl.sh [extra ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
unpacked=$build/classic-sdl
say() { echo "check-classic-sdl: $*" >&2; }

[ -x "$build/ruvo" ] && [ -f "$build/CTestTestfile.cmake" ] || {
  say "no built tree with tests in $build: run ./test.sh (or scripts/setup.sh test) first"
  exit 2
}

# The classic library and those of its own dependencies this machine lacks.
libdir=$unpacked/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)
if [ ! -e "$libdir/libSDL-1.2.so.0" ]; then
  version=$(apt-cache policy libsdl1.2debian | sed -n 's/^ *Candidate: //p')
  case $version in
    1.2.15*) ;;
    *)
      say "this release offers libsdl1.2debian as '${version:-nothing}', not classic SDL 1.2.15 (Debian 12 has it)"
      exit 2
      ;;
  esac
  packages=(libsdl1.2debian)
  for dependency in $(apt-cache depends --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances libsdl1.2debian | sed -n 's/^ *Depends: \([^<]*\)$/\1/p'); do
    dpkg-query -W -f='${Status}' "$dependency" 2>/dev/null | grep -q "ok installed" || packages+=("$dependency")
  done
  rm -rf "$unpacked"
  mkdir -p "$unpacked/debs"
  (cd "$unpacked/debs" && apt-get download "${packages[@]}")
  for deb in "$unpacked"/debs/*.deb; do
    dpkg-deb -x "$deb" "$unpacked"
  done
fi

# Proof that the programs the tests run load the classic library.
loaded=$(LD_LIBRARY_PATH=$libdir ldd "$build/ruvo" | awk '/libSDL-1.2.so.0/ {print $3}')
[ "$(readlink -f "$loaded")" = "$(readlink -f "$libdir/libSDL-1.2.so.0")" ] || {
  say "build/ruvo would load $loaded, not the unpacked classic SDL"
  exit 1
}
say "testing with $(readlink -f "$loaded")"

cd "$build"
export SDL_AUDIODRIVER=dummy RUVO_NO_DIALOG=1 LD_LIBRARY_PATH=$libdir
# The fuzzers do not use SDL.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure -j"$(nproc)" -LE '^fuzz$' "$@"
