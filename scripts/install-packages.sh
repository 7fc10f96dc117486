#!/usr/bin/env bash
# ruvo_install_packages WORD...: installs those of the named Debian packages
# that are missing with apt-get: directly when run as root, through one sudo
# command otherwise (so at most one password prompt, and nothing else runs
# as root). Where sudo is absent or refused, it lists the packages with the
# command to run and fails. Sourced by setup.sh (the show's lists) and by
# scripts that need packages the show must not pull in.
#
# A word is a package name, or one that differs between releases:
#   a|b          the first of these that the release offers
#   x-@clang@-y  with @clang@ the major version of the clang that the
#                `clang` package brings (libclang-rt-@clang@-dev: the
#                runtime that matches the installed compiler)
# Such words are settled against the release's own package lists, after
# apt-get update, in the same root shell that installs them.

# ruvo_resolve_package WORD: the package a word stands for on this release,
# or nothing where the release has none. Reads dpkg's and apt's lists only.
ruvo_resolve_package() {
  local word=$1 name version
  case $word in
    *@clang@*)
      # An installed clang decides; otherwise the one apt would install.
      version=$(dpkg-query -W -f='${Status}|${Depends}\n' clang 2>/dev/null |
        sed -n 's/^install ok installed|.*\bclang-\([0-9][0-9]*\)\b.*/\1/p')
      [ -n "$version" ] || version=$(apt-cache depends clang 2>/dev/null |
        sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
      [ -n "$version" ] && echo "${word//@clang@/$version}"
      ;;
    *'|'*)
      local IFS='|'
      for name in $word; do
        if apt-cache policy "$name" 2>/dev/null | grep -q '^ *Candidate: [^(]'; then
          echo "$name"
          return
        fi
      done
      ;;
    *) echo "$word" ;;
  esac
}

# ruvo_package_installed WORD: whether what the word stands for is installed.
ruvo_package_installed() {
  local name
  case $1 in
    *'|'*)
      local IFS='|'
      for name in $1; do
        ruvo_package_installed "$name" && return 0
      done
      return 1
      ;;
    *@clang@*) name=$(ruvo_resolve_package "$1") ;;
    *) name=$1 ;;
  esac
  [ -n "$name" ] && dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed"
}

ruvo_install_packages() {
  local word name missing=() shown=()
  for word in "$@"; do
    ruvo_package_installed "$word" && continue
    missing+=("$word")
    # What is said names packages where the lists at hand can tell.
    name=$(ruvo_resolve_package "$word")
    shown+=("${name:-$word}")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  # One shell for both apt-get steps: sudo may ask for a password on each
  # command it runs (timestamp_timeout=0), and it resets the environment.
  # The words are settled only after the update: a fresh machine's lists
  # may be empty or stale before it.
  local install
  install="$(declare -f ruvo_resolve_package)"'
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || exit
    names=()
    for word in "$@"; do
      name=$(ruvo_resolve_package "$word")
      if [ -z "$name" ]; then
        echo "This release has no package for: $word" >&2
        exit 1
      fi
      names+=("$name")
    done
    apt-get install -y -qq --no-install-recommends "${names[@]}"'
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${shown[*]}"
    bash -c "$install" bash "${missing[@]}"
    return
  fi
  if command -v sudo >/dev/null; then
    echo "Installing through sudo (as root; the rest runs as $(id -un)): ${shown[*]}"
    sudo -- bash -c "$install" bash "${missing[@]}" && return 0
    echo "Installing through sudo failed." >&2
  fi
  echo "These packages are missing; install them as root and run again:" >&2
  echo "  apt-get install ${shown[*]}" >&2
  return 1
}
