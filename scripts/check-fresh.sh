#!/usr/bin/env bash
# Runs the test command the way a new user would on a fresh Debian 12
# machine: in a throw-away minimal root that holds less than such a machine
# (Debian's minbase plus ca-certificates), on a clean clone of the committed
# project, as root. Whatever the build or a test needs must then come from
# the project's own set-up; a package installed by hand on a developer's
# machine cannot hide a gap in its list.
#
# Usage (as root): scripts/check-fresh.sh [--keep] [--refresh] [extra ./test.sh arguments]
#   --keep     leave the run's root behind (its path is printed) to look into a failure
#   --refresh  build the cached minimal root again (it keeps the packages of its day)
# Environment:
#   RUVO_FRESH_CACHE   where the pristine root, the downloaded packages and the last
#                      log are kept (default /var/cache/ruvo-fresh)
#   RUVO_FRESH_MIRROR  the Debian mirror (default http://deb.debian.org/debian)
set -euo pipefail

cache=${RUVO_FRESH_CACHE:-/var/cache/ruvo-fresh}
mirror=${RUVO_FRESH_MIRROR:-http://deb.debian.org/debian}
security_mirror=${mirror%/debian}/debian-security
suite=bookworm
tools=(mmdebstrap bubblewrap)

keep=0
refresh=0
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=1 ;;
    --refresh) refresh=1 ;;
    *) break ;;
  esac
  shift
done

say() { echo "check-fresh: $*" >&2; }

# Building a root and running apt-get and dpkg inside it take root's rights.
if [ "$(id -u)" -ne 0 ]; then
  say "run this as root (it builds a Debian root and installs packages in it);"
  say "it uses: apt-get install ${tools[*]}"
  exit 2
fi
source "$(dirname "$0")/install-packages.sh"
ruvo_install_packages "${tools[@]}"

repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
[ -n "$(git -C "$repo" status --porcelain)" ] && say "uncommitted changes are not tested; testing $commit"

started=$(date +%s)
pristine=$cache/$suite-minbase
mkdir -p "$cache/archives/partial"
if [ "$refresh" -eq 1 ] || [ ! -d "$pristine" ]; then
  say "building the minimal $suite root (cached in $pristine)"
  rm -rf "$pristine.new"
  mmdebstrap --quiet --mode=root --variant=minbase --include=ca-certificates "$suite" "$pristine.new" \
    "deb $mirror $suite main" "deb $mirror $suite-updates main" "deb $security_mirror $suite-security main"
  rm -rf "$pristine"
  mv "$pristine.new" "$pristine"
fi

# Each run works on its own copy; the pristine root is never run in.
scratch=$(mktemp -d /var/tmp/ruvo-fresh.XXXXXX)
root=$scratch/root
log=$cache/last-run.log
cleanup() {
  if [ "$keep" -eq 1 ]; then
    say "the run's root is kept in $root"
  else
    rm -rf --one-file-system "$scratch"
  fi
}
trap cleanup EXIT
cp -a "$pristine" "$root"
git clone --quiet --no-checkout "$repo" "$root/root/ruvo"
git -C "$root/root/ruvo" checkout --quiet --detach "$commit"

# The sandbox sees only the copied root, with its own /proc, /dev, /tmp (where
# Xvfb puts its sockets; open to all, as apt's unprivileged downloader and X
# expect) and its own process and IPC namespaces (Xvfb's shared memory).
# Downloaded packages are kept between runs; what gets installed is still
# decided inside.
sandbox() {
  bwrap --bind "$root" / --proc /proc --dev /dev --perms 1777 --tmpfs /dev/shm --perms 1777 --tmpfs /tmp \
    --tmpfs /run --ro-bind /etc/resolv.conf /etc/resolv.conf --bind "$cache/archives" /var/cache/apt/archives \
    --unshare-pid --unshare-ipc --unshare-uts --hostname ruvo-fresh --die-with-parent --cap-add ALL \
    --clearenv --setenv PATH /usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    --setenv HOME /root --setenv TERM dumb --chdir /root/ruvo "$@"
}

# First the set-up alone, with the host's network for apt-get. Then the whole
# test command without a network: the set-up finds its packages and its
# build in place, and no test can reach a host service or meet the host's
# X servers, whose sockets live in the network namespace.
say "running ./test.sh on $commit in a fresh root (log: $log)"
set +e
{
  sandbox bash scripts/setup.sh && sandbox --unshare-net ./test.sh "$@"
} 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e

minutes=$(( ($(date +%s) - started + 30) / 60 ))
if [ "$status" -eq 0 ]; then
  say "PASS: ./test.sh passed on a fresh root ($commit, $minutes min)"
else
  say "FAIL: ./test.sh ended with status $status on a fresh root ($commit, $minutes min)"
  # ctest's summary of each phase; without one the set-up or the build failed.
  failed=$(sed -n '/The following tests FAILED:/,/^Errors while running CTest/p' "$log" | grep -E '^\s+[0-9]+ - ' || true)
  if [ -n "$failed" ]; then
    say "failing tests:"
    echo "$failed" >&2
  else
    say "no test summary: the set-up or a build failed; see the end of $log"
  fi
fi
exit "$status"
