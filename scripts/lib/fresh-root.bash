# Throw-away minimal Debian roots for the checks that must not trust this
# machine's own packages (check-fresh.sh, check-release.sh). Sourced; needs
# root, since it builds roots and enters them with chroot.
#
#   fresh_prepare                 checks for root, installs mmdebstrap and the rest
#   fresh_pristine SUITE          the cached minbase root of a release (built if missing)
#   fresh_new_root SUITE DIR      a copy of it in DIR/root to run in ($fresh_root)
#   fresh_run on|off COMMAND...   runs COMMAND in $fresh_root, with the host's
#                                 network (on) or a network of its own (off)
#   fresh_on_terminal PASSWORD COUNT_FILE on|off COMMAND...
#                                 the same on a terminal of the root's own,
#                                 typing PASSWORD at every sudo prompt and
#                                 writing the number of prompts to COUNT_FILE
#   fresh_dispose DIR [KEEP]      undoes fresh_new_root (KEEP=1: leaves the root to look into)
#
# Environment:
#   RUVO_FRESH_CACHE   where the pristine roots, the downloaded packages and the
#                      logs are kept (default /var/cache/ruvo-fresh)
#   RUVO_FRESH_MIRROR  the Debian mirror (default http://deb.debian.org/debian)
#   RUVO_FRESH_REFRESH 1: build the cached roots again (they keep the packages of their day)

fresh_cache=${RUVO_FRESH_CACHE:-/var/cache/ruvo-fresh}
fresh_mirror=${RUVO_FRESH_MIRROR:-http://deb.debian.org/debian}
# The supported releases, oldest first.
fresh_suites=(bookworm trixie)
# python3 drives the terminal; ip brings up the loopback of a root's own network.
fresh_tools=(mmdebstrap python3 iproute2)
fresh_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

fresh_say() { echo "${fresh_name:-fresh-root}: $*" >&2; }

fresh_prepare() {
  if [ "$(id -u)" -ne 0 ]; then
    fresh_say "run this as root (it builds Debian roots and installs packages in them);"
    fresh_say "it uses: apt-get install ${fresh_tools[*]}"
    exit 2
  fi
  source "$fresh_lib/../install-packages.sh"
  ruvo_install_packages "${fresh_tools[@]}"
}

fresh_pristine() {
  local suite=$1 pristine=$fresh_cache/$1-minbase
  local security=${fresh_mirror%/debian}/debian-security
  mkdir -p "$fresh_cache/archives-$suite/partial"
  if [ "${RUVO_FRESH_REFRESH:-0}" = 1 ] || [ ! -d "$pristine" ]; then
    fresh_say "building the minimal $suite root (cached in $pristine)"
    rm -rf "$pristine.new"
    # minbase, plus what a desktop's first user has: certificates and sudo.
    mmdebstrap --quiet --mode=root --variant=minbase --include=ca-certificates,sudo "$suite" "$pristine.new" \
      "deb $fresh_mirror $suite main" "deb $fresh_mirror $suite-updates main" \
      "deb $security $suite-security main" >&2
    rm -rf "$pristine"
    mv "$pristine.new" "$pristine"
  fi
  echo "$pristine"
}

fresh_new_root() {
  local suite=$1 dir=$2 pristine
  pristine=$(fresh_pristine "$suite")
  fresh_root=$dir/root
  fresh_archives=$fresh_cache/archives-$suite
  cp -a "$pristine" "$fresh_root"
  # The host's name service for apt-get; the sandbox's own name for sudo.
  rm -f "$fresh_root/etc/resolv.conf"
  : >"$fresh_root/etc/resolv.conf"
  echo "127.0.1.1 ruvo-fresh" >>"$fresh_root/etc/hosts"
  # The root's terminals: a devpts instance of its own, mounted here so that
  # fresh_on_terminal can open one from outside, and bound into the root's
  # /dev/pts so that sudo finds the terminal it runs on by name.
  fresh_pts=$dir/pts
  mkdir -p "$fresh_pts"
  mount -t devpts -o newinstance,ptmxmode=0666,mode=620,gid=5 devpts "$fresh_pts"
}

fresh_dispose() {
  local dir=$1 keep=${2:-0}
  umount "$dir/pts" 2>/dev/null || true
  if [ "$keep" -eq 1 ]; then
    fresh_say "the run's root is kept in $dir/root"
  else
    rm -rf --one-file-system "$dir"
  fi
}

# The sandbox sees only the copied root (chrooted), with its own /proc, a
# /dev of the usual devices and its own terminals (sudo runs commands on a
# terminal of its own), /tmp (where Xvfb puts its sockets; open to all, as
# apt's unprivileged downloader and X expect) and its own process, IPC and
# host-name namespaces (Xvfb's shared memory). Not bubblewrap: it marks its
# processes no-new-privileges, under which sudo, being setuid, cannot become
# root, and a normal user's path would go unproven. Downloaded packages are
# kept between runs; what gets installed is still decided inside.
fresh_enter='set -e
root=$1 archives=$2 pts=$3 net=$4
shift 4
mount -t proc proc "$root/proc"
mount -t tmpfs -o mode=755,nosuid tmpfs "$root/dev"
for node in null zero full random urandom tty; do
  : >"$root/dev/$node"
  mount --bind "/dev/$node" "$root/dev/$node"
done
mkdir "$root/dev/pts" "$root/dev/shm"
mount --bind "$pts" "$root/dev/pts"
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

# fresh_command on|off COMMAND...: sets $fresh_cmd to run COMMAND in the root.
fresh_command() {
  local net=$1
  shift
  fresh_cmd=(unshare --mount --pid --fork --kill-child --ipc --uts)
  [ "$net" = off ] && fresh_cmd+=(--net)
  fresh_cmd+=(bash -c "$fresh_enter" enter "$fresh_root" "$fresh_archives" "$fresh_pts" "$net" "$@")
}

fresh_run() {
  fresh_command "$@"
  "${fresh_cmd[@]}"
}

fresh_on_terminal() {
  local password=$1 count_file=$2
  shift 2
  fresh_command "$@"
  /usr/bin/python3 "$fresh_lib/terminal.py" "$password" "$count_file" "$fresh_pts/ptmx" "${fresh_cmd[@]}"
}
