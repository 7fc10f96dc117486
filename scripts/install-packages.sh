#!/usr/bin/env bash
# ruvo_install_packages PACKAGE...: installs those of the named Debian
# packages that are missing, with apt-get when run as root; as another user
# it lists them with the command to run and fails. Sourced by setup.sh (the
# show's list) and by scripts that need packages the show must not pull in.

ruvo_install_packages() {
  local package missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing; install them as root and run again:" >&2
    echo "  apt-get install ${missing[*]}" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
