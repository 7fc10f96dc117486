#!/bin/sh
# Starts the show from this folder, from any working folder: the program finds
# the data/ beside itself. Nothing is written here, so the folder may be on
# read-only media. Where a library the program needs is missing, it names the
# Debian or Ubuntu packages that bring the missing ones, as one apt command,
# instead of the loader's message.
# Usage: start.sh [ruvo's options and start time, see README.md]
here=$(dirname "$(readlink -f "$0")")
program=$here/ruvo

# The packages that ship a library, the newer releases' name first (Debian 13
# and Ubuntu 24.04 renamed some for 64-bit time); the first that this
# system's apt knows is named.
packages_for() {
    case $1 in
    libSDL-1.2.so.0) echo "libsdl1.2-compat libsdl1.2debian" ;;
    libSDL_image-1.2.so.0) echo libsdl-image1.2 ;;
    libmpg123.so.0) echo "libmpg123-0t64 libmpg123-0" ;;
    libOpenGL.so.0) echo libopengl0 ;;
    libGLU.so.1) echo libglu1-mesa ;;
    # Opened by SDL while running, with Mesa's drivers behind it.
    libGL.so.1) echo "libgl1 libgl1-mesa-dri" ;;
    esac
}

first_known() {
    for name in "$@"; do
        if apt-cache policy "$name" 2>/dev/null | grep -q "^ *Candidate: [^(]"; then
            echo "$name"
            return
        fi
    done
    echo "$1"
}

# The program's own libraries, and the OpenGL library SDL opens by name.
missing=$(ldd "$program" 2>/dev/null | awk '$2 == "=>" && $3 == "not" { print $1 }')
if ! /sbin/ldconfig -p 2>/dev/null | grep -q '^[[:space:]]*libGL\.so\.1 '; then
    missing="$missing libGL.so.1"
fi

if [ -n "$missing" ]; then
    install=""
    unknown=""
    for library in $missing; do
        names=$(packages_for "$library")
        case $library in
        libGL.so.1) install="$install $names" ;; # both are needed, not one of them
        *) if [ -n "$names" ]; then install="$install $(first_known $names)"; else unknown="$unknown $library"; fi ;;
        esac
    done
    echo "ruvo: this system lacks libraries the show needs:" $missing >&2
    [ -n "$install" ] && echo "Install them (Debian 12 or 13, Ubuntu 22.04 or newer) with:
  sudo apt-get install$install" >&2
    [ -n "$unknown" ] && echo "No package is known here for:$unknown" >&2
    exit 1
fi
exec "$program" "$@"
