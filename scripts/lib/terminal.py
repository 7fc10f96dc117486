"""Runs a command on a terminal of its own, as a user at a keyboard would.

Usage: terminal.py PASSWORD COUNT_FILE PTMX COMMAND...

The terminal is opened from PTMX, the multiplexer of the devpts instance
the command will see as its /dev/pts, so that programs that look their
terminal up by name (sudo) find it. The command leads a new session with
that terminal as its controlling one. Everything it writes is copied to
standard output; at every sudo password prompt PASSWORD is typed, and the
number of prompts is written to COUNT_FILE. Exits with the command's status.

Done here rather than with script(1): script stopped reading the terminal
for good in some runs (spinning, while the build blocked writing to it).
Here one loop reads until the command has ended and the terminal is dry.
"""

import errno
import fcntl
import os
import select
import struct
import subprocess
import sys
import termios

# From <asm-generic/ioctls.h>; Python's termios lacks them.
TIOCSPTLCK = 0x40045431  # lock or unlock a new terminal's other end
TIOCGPTPEER = 0x5441  # open the other end of this multiplexer's terminal
PROMPT = b"[sudo] password for "


def open_terminal(ptmx):
    master = os.open(ptmx, os.O_RDWR | os.O_NOCTTY)
    fcntl.ioctl(master, TIOCSPTLCK, struct.pack("i", 0))
    slave = fcntl.ioctl(master, TIOCGPTPEER, os.O_RDWR | os.O_NOCTTY)
    # A terminal of the usual size: some programs lay out progress by it.
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
    return master, slave


def take_terminal():
    # Runs in the child after setsid: the terminal on fd 0 becomes its own.
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


def main():
    password, count_file, ptmx = sys.argv[1].encode(), sys.argv[2], sys.argv[3]
    command = sys.argv[4:]
    master, slave = open_terminal(ptmx)
    child = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave,
                             start_new_session=True, preexec_fn=take_terminal)
    os.close(slave)
    prompts, tail = 0, b""
    out = sys.stdout.buffer
    while True:
        # Once the command has ended only what is already written remains.
        ended = child.poll() is not None
        ready, _, _ = select.select([master], [], [], 0 if ended else 1.0)
        if not ready:
            if ended:
                break
            continue
        try:
            chunk = os.read(master, 65536)
        except OSError as error:
            if error.errno != errno.EIO:  # EIO: no one has the terminal open
                raise
            chunk = b""
        if not chunk:
            if ended:
                break
            child.wait()
            continue
        out.write(chunk.replace(b"\r\n", b"\n"))
        out.flush()
        tail = (tail + chunk)[-256:]
        if PROMPT in tail:
            prompts += 1
            tail = b""
            os.write(master, password + b"\n")
    os.close(master)
    with open(count_file, "w") as counted:
        counted.write("%d\n" % prompts)
    status = child.wait()
    sys.exit(status if status >= 0 else 128 - status)


main()
