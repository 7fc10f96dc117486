#!/usr/bin/env bash
# Runs the README's two commands the way a new user would on a fresh Debian
# 12 or 13 machine: in a throw-away minimal root that holds less than such a
# machine (Debian's minbase plus ca-certificates and sudo), on a clean clone
# of the committed project, as an ordinary user who may use sudo (the sudo
# group, with a password, as Debian's installer sets up a desktop's first
# user). Whatever the build or a test needs must then come from the
# project's own set-up, installed through sudo after one password prompt,
# while the build and the tests run as that user; a package installed by
# hand on a developer's machine cannot hide a gap in the lists.
#
# First the viewer's set-up (./run.sh's: scripts/setup.sh play), which must
# install no test tool and build only the show; then the tester's
# (scripts/setup.sh test); both with the host's network, on a terminal where
# the script types the password when sudo asks. Then the whole test command
# without a network.
#
# Usage (as root): scripts/check-fresh.sh [--suite bookworm|trixie] [--keep] [--refresh] [--as-root]
#                                         [extra ./test.sh arguments]
#   --suite    the release to check (may be given twice); both by default
#   --keep     leave each run's root behind (its path is printed) to look into a failure
#   --refresh  build the cached minimal roots again (they keep the packages of their day)
#   --as-root  run the set-ups and ./test.sh as root instead (apt-get without sudo)
# Environment: as scripts/lib/fresh-root.bash says (RUVO_FRESH_CACHE, RUVO_FRESH_MIRROR).
set -euo pipefail
fresh_name=check-fresh
source "$(dirname "$0")/lib/fresh-root.bash"
say() { fresh_say "$@"; }

suites=()
keep=0
as_root=0
while [ $# -gt 0 ]; do
  case $1 in
    --suite)
      case ${2:-} in
        bookworm | trixie) suites+=("$2") ;;
        *)
          say "--suite takes one of: ${fresh_suites[*]}"
          exit 2
          ;;
      esac
      shift
      ;;
    --keep) keep=1 ;;
    --refresh) export RUVO_FRESH_REFRESH=1 ;;
    --as-root) as_root=1 ;;
    *) break ;;
  esac
  shift
done
[ ${#suites[@]} -gt 0 ] || suites=("${fresh_suites[@]}")

fresh_prepare
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
[ -n "$(git -C "$repo" status --porcelain)" ] && say "uncommitted changes are not tested; testing $commit"
user=viewer
# Test tools, which the viewer's set-up must not install.
test_tools='^(googletest|libgtest-dev|xvfb|xdotool|x11-utils|clang|clang-[0-9]+|libclang-rt-[0-9]+-dev|ffmpeg)$'

# check SUITE: one whole run on a fresh root of that release; its status.
check() {
  local suite=$1 started home checkout run_as password status
  shift
  started=$(date +%s)
  scratch=$(mktemp -d /var/tmp/ruvo-fresh.XXXXXX)
  local log=$fresh_cache/last-run-$suite.log
  fresh_new_root "$suite" "$scratch"

  if [ "$as_root" -eq 1 ]; then
    home=/root
    run_as=(env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root TERM=dumb)
  else
    home=/home/$user
    run_as=(setpriv --reuid="$user" --regid="$user" --init-groups
      env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" USER="$user" LOGNAME="$user" TERM=dumb)
    password=$(head -c 12 /dev/urandom | base64)
    # A root cached before sudo was part of it gets sudo in the run's copy.
    fresh_run on sh -c 'set -e
      if ! command -v sudo >/dev/null; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends sudo
      fi
      useradd --create-home --shell /bin/bash --groups sudo "$1"
      printf "%s:%s\n" "$1" "$2" | chpasswd' sh "$user" "$password"
  fi
  checkout=$home/ruvo
  git clone --quiet --no-checkout "$repo" "$fresh_root$checkout"
  git -C "$fresh_root$checkout" checkout --quiet --detach "$commit"
  chown -R --reference="$fresh_root$home" "$fresh_root$checkout"
  dpkg --root="$fresh_root" -l | awk '/^ii/ {print $2}' | sed 's/:.*//' | sort >"$scratch/packages-before"

  local in_checkout=(sh -c 'cd "$HOME/ruvo" && exec "$@"' sh)
  local who=root
  [ "$as_root" -eq 1 ] || who="user $user (sudo group, password asked on a terminal)"
  say "$suite: the set-ups and ./test.sh on $commit in a fresh root as $who (log: $log)"
  # setup MODE: one set-up, on a terminal where the user types the password.
  setup() {
    if [ "$as_root" -eq 1 ]; then
      fresh_run on "${run_as[@]}" "${in_checkout[@]}" bash scripts/setup.sh "$1"
    else
      fresh_on_terminal "$password" "$scratch/prompts-$1" on "${run_as[@]}" "${in_checkout[@]}" \
        bash scripts/setup.sh "$1"
    fi
  }
  set +e
  (
    set -e
    setup play
    # What the viewer's set-up installed and built.
    dpkg --root="$fresh_root" -l | awk '/^ii/ {print $2}' | sed 's/:.*//' | sort >"$scratch/packages-play"
    installed=$(comm -13 "$scratch/packages-before" "$scratch/packages-play")
    echo "check-fresh: ./run.sh's set-up installed $(echo "$installed" | wc -l) packages:" $installed
    if echo "$installed" | grep -E "$test_tools"; then
      echo "check-fresh: ./run.sh's set-up installed the test tools above" >&2
      exit 1
    fi
    [ -x "$fresh_root$checkout/build/ruvo" ] && [ -f "$fresh_root$checkout/build/data/sound.mp3" ] || {
      echo "check-fresh: ./run.sh's set-up built no show or no data" >&2
      exit 1
    }
    [ ! -e "$fresh_root$checkout/build/ruvo-render" ] || {
      echo "check-fresh: ./run.sh's set-up built more than the show" >&2
      exit 1
    }
    setup test
    fresh_run off "${run_as[@]}" "${in_checkout[@]}" ./test.sh "$@"
  ) 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  set -e

  # The user's path holds only if sudo asked once in each set-up and
  # everything the set-ups, the builds and the tests left in the checkout
  # belongs to the user.
  if [ "$as_root" -eq 0 ] && [ "$status" -eq 0 ]; then
    local prompts foreign
    prompts="$(cat "$scratch/prompts-play") $(cat "$scratch/prompts-test")"
    foreign=$(find "$fresh_root$checkout" ! -user "$(stat -c %u "$fresh_root$home")" -print -quit)
    if [ "$prompts" != "1 1" ]; then
      say "$suite: sudo asked for the password $prompts times in the two set-ups, not once each"
      status=1
    elif [ -n "$foreign" ]; then
      say "$suite: not the user's: $foreign"
      status=1
    else
      say "$suite: the packages came through sudo after one password prompt a set-up; all in the checkout (builds included) is $user's"
    fi
  fi

  local minutes=$((($(date +%s) - started + 30) / 60))
  if [ "$status" -eq 0 ]; then
    say "PASS: $suite: ./run.sh's set-up and ./test.sh passed on a fresh root ($commit, $minutes min)"
  else
    say "FAIL: $suite: ended with status $status on a fresh root ($commit, $minutes min)"
    # ctest's summary of each phase; without one a set-up or a build failed.
    local failed
    failed=$(sed -n '/The following tests FAILED:/,/^Errors while running CTest/p' "$log" | grep -E '^\s+[0-9]+ - ' || true)
    if [ -n "$failed" ]; then
      say "failing tests:"
      echo "$failed" >&2
    else
      say "no test summary: a set-up or a build failed; see the end of $log"
    fi
  fi
  dispose
  return "$status"
}

# The run in hand's root goes when it ends, also when the script is stopped.
scratch=
dispose() {
  [ -n "$scratch" ] || return 0
  fresh_dispose "$scratch" "$keep"
  scratch=
}
trap dispose EXIT

overall=0
for suite in "${suites[@]}"; do
  check "$suite" "$@" || overall=1
done
exit "$overall"
