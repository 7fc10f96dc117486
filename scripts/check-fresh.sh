#!/usr/bin/env bash
# Runs the test command the way a new user would on a fresh Debian 12
# machine: in a throw-away minimal root that holds less than such a machine
# (Debian's minbase plus ca-certificates and sudo), on a clean clone of the
# committed project, as an ordinary user who may use sudo (the sudo group,
# with a password, as Debian's installer sets up a desktop's first user).
# Whatever the build or a test needs must then come from the project's own
# set-up, installed through sudo after one password prompt, while the build
# and the tests run as that user; a package installed by hand on a
# developer's machine cannot hide a gap in the list.
#
# Usage (as root): scripts/check-fresh.sh [--keep] [--refresh] [--as-root] [extra ./test.sh arguments]
#   --keep     leave the run's root behind (its path is printed) to look into a failure
#   --refresh  build the cached minimal root again (it keeps the packages of its day)
#   --as-root  run ./test.sh as root instead (apt-get without sudo)
# Environment:
#   RUVO_FRESH_CACHE   where the pristine root, the downloaded packages and the last
#                      log are kept (default /var/cache/ruvo-fresh)
#   RUVO_FRESH_MIRROR  the Debian mirror (default http://deb.debian.org/debian)
set -euo pipefail

cache=${RUVO_FRESH_CACHE:-/var/cache/ruvo-fresh}
mirror=${RUVO_FRESH_MIRROR:-http://deb.debian.org/debian}
security_mirror=${mirror%/debian}/debian-security
suite=bookworm
# python3 answers sudo's password prompt; ip brings up the loopback of the
# sandbox's own network.
tools=(mmdebstrap python3 iproute2)
user=viewer

keep=0
refresh=0
as_root=0
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=1 ;;
    --refresh) refresh=1 ;;
    --as-root) as_root=1 ;;
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
  mmdebstrap --quiet --mode=root --variant=minbase --include=ca-certificates,sudo "$suite" "$pristine.new" \
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
# The host's name service for apt-get; the sandbox's own name for sudo.
rm -f "$root/etc/resolv.conf"
: >"$root/etc/resolv.conf"
echo "127.0.1.1 ruvo-fresh" >>"$root/etc/hosts"

# The sandbox sees only the copied root (chrooted), with its own /proc, a
# /dev of the usual devices and its own terminals (sudo runs commands on a
# terminal of its own), /tmp (where Xvfb puts its sockets; open to all, as
# apt's unprivileged downloader and X expect) and its own process, IPC and
# host-name namespaces (Xvfb's shared memory). Not bubblewrap: it marks its
# processes no-new-privileges, under which sudo, being setuid, cannot become
# root, and the normal user's path would go unproven. Downloaded packages are
# kept between runs; what gets installed is still decided inside.
enter='set -e
root=$1 archives=$2 net=$3
shift 3
mount -t proc proc "$root/proc"
mount -t tmpfs -o mode=755,nosuid tmpfs "$root/dev"
for node in null zero full random urandom tty; do
  : >"$root/dev/$node"
  mount --bind "/dev/$node" "$root/dev/$node"
done
mkdir "$root/dev/pts" "$root/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=620,gid=5 devpts "$root/dev/pts"
ln -s pts/ptmx "$root/dev/ptmx"
ln -s /proc/self/fd "$root/dev/fd"
ln -s /proc/self/fd/0 "$root/dev/stdin"
ln -s /proc/self/fd/1 "$root/dev/stdout"
ln -s /proc/self/fd/2 "$root/dev/stderr"
mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
mount -t tmpfs -o mode=755 tmpfs "$root/run"
mount --bind /etc/resolv.conf "$root/etc/resolv.conf"
mount --bind "$archives" "$root/var/cache/apt/archives"
echo ruvo-fresh >/proc/sys/kernel/hostname
if [ "$net" = off ]; then ip link set lo up; fi
exec chroot "$root" "$@"'
# sandbox_command on|off COMMAND...: sets $command to run COMMAND in the
# sandbox, with the host's network (on) or a network of its own (off).
sandbox_command() {
  local net=$1
  shift
  command=(unshare --mount --pid --fork --kill-child --ipc --uts)
  [ "$net" = off ] && command+=(--net)
  command+=(bash -c "$enter" enter "$root" "$cache/archives" "$net" "$@")
}
sandbox() {
  sandbox_command "$@"
  "${command[@]}"
}

if [ "$as_root" -eq 1 ]; then
  home=/root
  run_as=(env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root TERM=dumb)
else
  home=/home/$user
  run_as=(setpriv --reuid="$user" --regid="$user" --init-groups
    env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" USER="$user" LOGNAME="$user" TERM=dumb)
  # A root cached before sudo was part of it gets sudo in the run's copy.
  password=$(head -c 12 /dev/urandom | base64)
  sandbox on sh -c 'set -e
    if ! command -v sudo >/dev/null; then
      apt-get update -qq
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends sudo
    fi
    useradd --create-home --shell /bin/bash --groups sudo "$1"
    printf "%s:%s\n" "$1" "$2" | chpasswd' sh "$user" "$password"
fi
checkout=$home/ruvo
git clone --quiet --no-checkout "$repo" "$root$checkout"
git -C "$root$checkout" checkout --quiet --detach "$commit"
chown -R --reference="$root$home" "$root$checkout"

# Answers sudo's password prompts on the terminal that script(1) gives the
# set-up, and counts them.
answer='
import os, subprocess, sys
password, count_file, command = sys.argv[1].encode(), sys.argv[2], sys.argv[3:]
prompt = b"[sudo] password for "
child = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
prompts, tail = 0, b""
while True:
    chunk = os.read(child.stdout.fileno(), 65536)
    if not chunk:
        break
    sys.stdout.buffer.write(chunk.replace(b"\r\n", b"\n"))
    sys.stdout.flush()
    tail = (tail + chunk)[-256:]
    if prompt in tail:
        prompts += 1
        tail = b""
        child.stdin.write(password + b"\n")
        child.stdin.flush()
child.stdin.close()
with open(count_file, "w") as out:
    out.write("%d\n" % prompts)
status = child.wait()
sys.exit(status if status >= 0 else 128 - status)
'

# First the set-up alone, with the host's network for apt-get. Then the whole
# test command without a network: the set-up finds its packages and its
# build in place, and no test can reach a host service or meet the host's
# X servers, whose sockets live in the network namespace.
in_checkout=(sh -c 'cd "$HOME/ruvo" && exec "$@"' sh)
who=root
[ "$as_root" -eq 1 ] || who="user $user (sudo group, password asked on a terminal)"
say "running ./test.sh on $commit in a fresh root as $who (log: $log)"
set +e
{
  if [ "$as_root" -eq 1 ]; then
    sandbox on "${run_as[@]}" "${in_checkout[@]}" bash scripts/setup.sh
  else
    sandbox_command on "${run_as[@]}" script --quiet --flush --return \
      --command 'cd "$HOME/ruvo" && bash scripts/setup.sh' /dev/null
    /usr/bin/python3 -c "$answer" "$password" "$scratch/prompts" "${command[@]}"
  fi && sandbox off "${run_as[@]}" "${in_checkout[@]}" ./test.sh "$@"
} 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e

# The user's path holds only if sudo asked once and everything the set-up,
# the build and the tests left in the checkout belongs to the user.
if [ "$as_root" -eq 0 ] && [ "$status" -eq 0 ]; then
  prompts=$(cat "$scratch/prompts")
  foreign=$(find "$root$checkout" ! -user "$(stat -c %u "$root$home")" -print -quit)
  if [ "$prompts" -ne 1 ]; then
    say "sudo asked for the password $prompts times in the set-up, not once"
    status=1
  elif [ -n "$foreign" ]; then
    say "not the user's: $foreign"
    status=1
  else
    say "the packages came through sudo after one password prompt; all in the checkout (builds included) is $user's"
  fi
fi

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
