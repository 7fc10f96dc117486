#!/usr/bin/env bash
# ruvo_install_packages PACKAGE...: installs those of the named Debian
# packages that are missing with apt-get: directly when run as root, through
# one sudo command otherwise (so at most one password prompt, and nothing
# else runs as root). Where sudo is absent or refused, it lists the packages
# with the command to run and fails. Sourced by setup.sh (the show's list)
# and by scripts that need packages the show must not pull in.

ruvo_install_packages() {
  local package missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  # One shell for both apt-get steps: sudo may ask for a password on each
  # command it runs (timestamp_timeout=0), and it resets the environment.
  local install='export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends "$@"'
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    sh -c "$install" sh "${missing[@]}"
    return
  fi
  if command -v sudo >/dev/null; then
    echo "Installing through sudo (as root; the rest runs as $(id -un)): ${missing[*]}"
    sudo -- sh -c "$install" sh "${missing[@]}" && return 0
    echo "Installing through sudo failed." >&2
  fi
  echo "These packages are missing; install them as root and run again:" >&2
  echo "  apt-get install ${missing[*]}" >&2
  return 1
}
