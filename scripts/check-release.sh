#!/usr/bin/env bash
# The release check: what cpack makes installs and plays on fresh Debian roots
# that hold none of this machine's packages.
#   1. Builds the artefacts from a clean clone of the committed HEAD, each on
#      the release it is made on: the archive in a fresh Debian 12 root (the
#      oldest supported release, so that one archive runs on both), the
#      package in a fresh Debian 13 root (library packages differ between
#      releases); there ./run.sh's set-up, `file` (cpack's dependency step
#      uses it) and cpack.
#   2. Installs the package with apt-get in a fresh Debian 13 root with no
#      compiler: it must pull in no compiler and no -dev package. Then
#      `cd / && ruvo 200000` under Xvfb plays to the end with status 0.
#   3. Unpacks the archive in fresh Debian 12 and 13 roots, read-only. There
#      start.sh must refuse and name the packages to install; with those (and
#      Xvfb, for a display) installed, `cd / && start.sh 200000` plays to the
#      end with status 0.
# The artefacts are kept in build/release/ of this checkout.
#
# Usage (as root): scripts/check-release.sh [--keep] [--refresh]
#   --keep     leave each run's root behind (its path is printed)
#   --refresh  build the cached minimal roots again
set -euo pipefail
fresh_name=check-release
source "$(dirname "$0")/lib/fresh-root.bash"
say() { fresh_say "$@"; }

keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=1 ;;
    --refresh) export RUVO_FRESH_REFRESH=1 ;;
    *)
      say "usage: scripts/check-release.sh [--keep] [--refresh]"
      exit 2
      ;;
  esac
  shift
done

fresh_prepare
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
[ -n "$(git -C "$repo" status --porcelain)" ] && say "uncommitted changes are not checked; checking $commit"
out=$repo/build/release
mkdir -p "$out"
log=$fresh_cache/last-release.log
: >"$log"
oldest=${fresh_suites[0]}
newest=${fresh_suites[-1]}
as_root=(env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin:/usr/games HOME=/root TERM=dumb)
apt_install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq)
# What an installed show must never bring along.
build_tools='^(gcc|g\+\+|cpp|clang|llvm|binutils|make|cmake|build-essential)(-[0-9.]+)?$|-dev$'
# A display for the show, and nothing else: X's virtual server and xvfb-run's xauth.
display_packages=(xvfb xauth)
play=(env SDL_AUDIODRIVER=dummy RUVO_NO_DIALOG=1 timeout 300 xvfb-run -a -s "-screen 0 1024x768x24")

scratch=
dispose() {
  [ -n "$scratch" ] || return 0
  umount "$fresh_root/opt/ruvo" 2>/dev/null || true
  fresh_dispose "$scratch" "$keep"
  scratch=
}

new_root() {
  scratch=$(mktemp -d /var/tmp/ruvo-release.XXXXXX)
  fresh_new_root "$1" "$scratch"
}

installed_packages() { dpkg --root="$fresh_root" -l | awk '/^ii/ {print $2}' | sed 's/:.*//' | sort; }

# build SUITE GENERATOR: the artefact cpack's GENERATOR makes on a fresh SUITE
# root, copied into $out; sets $made to its name.
build() {
  local suite=$1 generator=$2
  new_root "$suite"
  git clone --quiet --no-checkout "$repo" "$fresh_root/root/ruvo"
  git -C "$fresh_root/root/ruvo" checkout --quiet --detach "$commit"
  say "$suite: building the $generator artefact of $commit (set-up, build, cpack)"
  fresh_run on "${as_root[@]}" sh -c 'set -e
    cd /root/ruvo
    bash scripts/setup.sh play
    '"${apt_install[*]}"' --no-install-recommends file
    cd build
    cpack -G "$1"' sh "$generator" >>"$log" 2>&1
  made=$(find "$fresh_root/root/ruvo/build" -maxdepth 1 \( -name 'ruvo*.deb' -o -name 'ruvo*.tar.gz' \) -print -quit)
  [ -n "$made" ] || { say "$suite: cpack made no $generator artefact (see $log)"; exit 1; }
  cp "$made" "$out/"
  made=$(basename "$made")
  dispose
}

# plays SUITE COMMAND...: runs COMMAND (the show from /) without a network in
# the current root, and says whether it played to the end.
plays() {
  local suite=$1 status
  shift
  set +e
  fresh_run off "${as_root[@]}" "${play[@]}" sh -c 'cd / && exec "$@"' sh "$@" >>"$log" 2>&1
  status=$?
  set -e
  if [ "$status" -ne 0 ]; then
    say "$suite: '$*' from / ended with status $status (see $log)"
    exit 1
  fi
  say "$suite: '$*' from / played to the end (status 0)"
}

check_package() {
  local package=$1 suite=$newest pulled
  new_root "$suite"
  cp "$out/$package" "$fresh_root/root/"
  installed_packages >"$scratch/before"
  fresh_run on "${as_root[@]}" sh -c 'apt-get update -qq && '"${apt_install[*]}"' "/root/$1"' sh "$package" >>"$log" 2>&1
  installed_packages >"$scratch/after"
  pulled=$(comm -13 "$scratch/before" "$scratch/after")
  say "$suite: apt-get install ./$package installed $(echo "$pulled" | wc -l) packages:" $pulled
  if echo "$pulled" | grep -E "$build_tools" >&2; then
    say "$suite: the package pulled in the build tools above"
    exit 1
  fi
  fresh_run on "${as_root[@]}" "${apt_install[@]}" --no-install-recommends "${display_packages[@]}" >>"$log" 2>&1
  plays "$suite" ruvo 200000
  dispose
}

check_archive() {
  local archive=$1 suite=$2 folder status listed
  new_root "$suite"
  mkdir -p "$fresh_root/opt/ruvo"
  tar -xzf "$out/$archive" -C "$fresh_root/opt/ruvo"
  folder=/opt/ruvo/${archive%.tar.gz} # cpack names the archive after its folder
  [ -x "$fresh_root$folder/start.sh" ] || { say "the archive has no $folder/start.sh"; exit 1; }
  # Read-only, as on a party's media: the bind is made before the run's own
  # mount namespace copies the host's.
  mount --bind "$fresh_root/opt/ruvo" "$fresh_root/opt/ruvo"
  mount -o remount,bind,ro "$fresh_root/opt/ruvo"
  fresh_run on "${as_root[@]}" apt-get update -qq >>"$log" 2>&1
  set +e
  fresh_run off "${as_root[@]}" "$folder/start.sh" 200000 >"$scratch/refusal" 2>&1
  status=$?
  set -e
  cat "$scratch/refusal" >>"$log"
  listed=$(sed -n 's/^ *sudo apt-get install //p' "$scratch/refusal")
  if [ "$status" -ne 1 ] || [ -z "$listed" ]; then
    say "$suite: start.sh without the libraries: status $status and no apt command:"
    cat "$scratch/refusal" >&2
    exit 1
  fi
  say "$suite: start.sh asks for: $listed"
  fresh_run on "${as_root[@]}" "${apt_install[@]}" --no-install-recommends $listed "${display_packages[@]}" >>"$log" 2>&1
  plays "$suite" "$folder/start.sh" 200000
  dispose
}

started=$(date +%s)
finish() {
  local status=$? minutes
  dispose
  minutes=$((($(date +%s) - started + 30) / 60))
  if [ "$status" -eq 0 ]; then
    say "PASS: the package on $newest, the archive on ${fresh_suites[*]} ($commit, $minutes min)"
  else
    say "FAIL: status $status ($commit, $minutes min); the whole log is $log"
  fi
}
trap finish EXIT

build "$oldest" TGZ
archive=$made
say "the archive: $out/$archive, $(du -h "$out/$archive" | cut -f1)"
build "$newest" DEB
package=$made
say "the package: $out/$package; Depends: $(dpkg-deb -f "$out/$package" Depends)"
check_package "$package"
for suite in "${fresh_suites[@]}"; do
  check_archive "$archive" "$suite"
done
