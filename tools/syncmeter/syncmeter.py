"""Measures how far the show's picture is from its sound, end to end.

Plays a stretch of the show on a real sound server while one ffmpeg process
captures the screen and the sound the server plays, then reports, for every
beat mark in the stretch, how long after the beat was heard the picture
answered it (negative: the picture came first). The capture chain's own
delays are measured by clicks and flashes at known instants before and
after the show, and taken out.

Run it through tools/syncmeter/syncmeter, which first makes sure the
programs it needs are there.
"""

import argparse
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import numpy as np

# No compiled copies of the two modules beside them in the source tree.
sys.dont_write_bytecode = True
import analyse  # noqa: E402
import calibrate  # noqa: E402

SCENES = {
    # name: (play from ms, first ms, last ms, channel whose marks are measured)
    "cylinder": (45000, 52000, 66000, "claps"),  # the full-screen clap flash
    "boxes": (145000, 156000, 170000, "bass"),  # the background flash on the bass drum
    "drink": (89000, 96000, 110000, "bass"),  # the full-screen flash on the bass drum
}
# A show started late drops the marks before its start (its first frame fires
# only one due in it) and answers beats on time from there. The plays still
# start this early, so that no measured beat falls in the first frames after
# the start, which are drawn at the start time and lead the display by a
# median of only a few frame intervals.
DEFAULT_LEAD_MS = 7000
SINK = "ruvo_syncmeter"
# The capture runs this long before anything is measured: ffmpeg's sound
# timestamps settle (see analyse.SETTLE_SECONDS).
LEAD_IN_SECONDS = 3.0
# Room for the show's loading before the music starts.
SHOW_LOAD_SECONDS = 4.0
CALIBRATION_EVENTS = 10
GRAB_SIZE = (64, 8)
FRAGMENT_MS = 10


def log(text):
    print(text, file=sys.stderr, flush=True)


class Servers:
    """The X display and sound server sink to measure on: the ones already
    running where there are, private ones (stopped at the end) where not or
    where asked for."""

    def __init__(self, work, private_display, server):
        self.work = work
        self.processes = []
        self.module = None
        self.env = dict(os.environ)
        try:
            self._start(private_display, server)
        except BaseException:
            self.close()
            raise
        # The calibration clicks and flashes are made from this process.
        os.environ.update(self.env)

    def _start(self, private_display, server):
        if private_display or not os.environ.get("DISPLAY"):
            self._start_xvfb()
        self.display = self.env["DISPLAY"]
        if server == "pipewire":
            self._start_pipewire()
            self._add_sink()
            # A native PipeWire client without a target plays on the
            # default sink; on a private server that may as well be ours.
            self._make_default_sink()
        elif server == "auto" and self._pulse_answers():
            # Someone's own server (PulseAudio, or PipeWire's pulse server):
            # a sink of our own on it, removed again at the end.
            self._add_sink()
            log("syncmeter: measuring on the running sound server (sink %s)" % SINK)
        else:
            self._start_pulseaudio()
        # The show's stream goes to that sink: PulseAudio clients (SDL's
        # pulseaudio driver) read PULSE_SINK, native PipeWire clients (its
        # pipewire driver) PIPEWIRE_NODE, which names their target node.
        self.env["PULSE_SINK"] = SINK
        self.env["PIPEWIRE_NODE"] = SINK

    def _pulse_answers(self):
        return subprocess.run(["pactl", "info"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0

    def _add_sink(self):
        out = subprocess.run(["pactl", "load-module", "module-null-sink", "sink_name=" + SINK], env=self.env,
                             check=True, stdout=subprocess.PIPE).stdout
        self.module = out.decode().strip()

    def _make_default_sink(self):
        # The session manager keeps the default; until it runs, asking
        # changes nothing, so ask until it answers with ours.
        for _ in range(100):
            subprocess.run(["pactl", "set-default-sink", SINK], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            current = subprocess.run(["pactl", "get-default-sink"], env=self.env, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL).stdout.decode().strip()
            if current == SINK:
                return
            time.sleep(0.1)
        raise RuntimeError("the private PipeWire did not take %s as its default sink" % SINK)

    def _spawn(self, name, command, env):
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                   stderr=open(os.path.join(self.work, name + ".log"), "w"))
        self.processes.append(process)
        return process

    def _wait_for(self, what, ready, process, name):
        for _ in range(100):
            if ready():
                return
            if process.poll() is not None:
                break
            time.sleep(0.1)
        raise RuntimeError("%s did not start (see %s/%s.log)" % (what, self.work, name))

    def _start_pipewire(self):
        """PipeWire, its session manager WirePlumber and its PulseAudio
        server, on a session bus of their own, with a runtime folder, home
        and state of their own: nothing of a desktop's sound session is
        touched, and a server's state starts afresh each time."""
        runtime = tempfile.mkdtemp(prefix="pipewire-", dir=self.work)
        env = {name: value for name, value in self.env.items()
               if not name.startswith(("PULSE_", "PIPEWIRE_", "DBUS_", "XDG_")) and name != "DISPLAY"}
        env.update(XDG_RUNTIME_DIR=runtime, PIPEWIRE_RUNTIME_DIR=runtime, HOME=runtime,
                   XDG_CONFIG_HOME=os.path.join(runtime, "config"), XDG_STATE_HOME=os.path.join(runtime, "state"),
                   XDG_DATA_HOME=os.path.join(runtime, "data"), XDG_CACHE_HOME=os.path.join(runtime, "cache"))
        bus = os.path.join(runtime, "bus")
        dbus = self._spawn("dbus", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                    "--address=unix:path=" + bus], env)
        self._wait_for("the private session bus", lambda: os.path.exists(bus), dbus, "dbus")
        env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + bus
        pipewire = self._spawn("pipewire", ["pipewire"], env)
        self._wait_for("the private PipeWire", lambda: os.path.exists(os.path.join(runtime, "pipewire-0")),
                       pipewire, "pipewire")
        self._spawn("wireplumber", ["wireplumber"], env)
        pulse = self._spawn("pipewire-pulse", ["pipewire-pulse"], env)
        self.env.update(XDG_RUNTIME_DIR=runtime, PIPEWIRE_RUNTIME_DIR=runtime,
                        PULSE_SERVER="unix:" + os.path.join(runtime, "pulse", "native"))
        self._wait_for("the private PipeWire's pulse server", self._pulse_answers, pulse, "pipewire-pulse")
        log("syncmeter: private PipeWire (PIDs %s)" % " ".join(str(p.pid) for p in self.processes[-4:]))

    def _start_xvfb(self):
        read, write = os.pipe()
        process = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten",
                                    "tcp"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        self.processes.append(process)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number

    def _start_pulseaudio(self):
        runtime = tempfile.mkdtemp(prefix="pulse-", dir=self.work)
        socket = os.path.join(runtime, "native")
        env = dict(self.env, XDG_RUNTIME_DIR=runtime, PULSE_RUNTIME_PATH=runtime, PULSE_STATE_PATH=runtime,
                   HOME=runtime)
        process = subprocess.Popen(
            ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disallow-exit",
             "-L", "module-native-protocol-unix socket=%s auth-anonymous=1" % socket,
             "-L", "module-null-sink sink_name=" + SINK],
            env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.work, "pulseaudio.log"), "w"))
        self.processes.append(process)
        self.env["PULSE_SERVER"] = "unix:" + socket
        for _ in range(100):
            if subprocess.run(["pactl", "info"], env=self.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL).returncode == 0:
                log("syncmeter: private PulseAudio server, PID %d" % process.pid)
                return
            if process.poll() is not None:
                break
            time.sleep(0.1)
        raise RuntimeError("the private PulseAudio server did not start (see %s/pulseaudio.log)" % self.work)

    def close(self):
        if self.module:
            subprocess.run(["pactl", "unload-module", self.module], env=self.env)
        for process in reversed(self.processes):
            stop(process, signal.SIGTERM)


def stop(process, sig):
    if process.poll() is None:
        process.send_signal(sig)
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def screen_size(env):
    out = subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode()
    for line in out.splitlines():
        if "dimensions:" in line:
            width, height = line.split()[1].split("x")
            return int(width), int(height)
    return 1024, 768


def capture(servers, path, grab_fps, size):
    """Starts ffmpeg grabbing a band of the screen and the sink's monitor in
    one process, both stamped on the wall clock, the pictures kept small for
    the analysis."""
    # A band across the whole width, an eighth of the height, an eighth from
    # the top: inside the letterboxed picture, clear of what scenes put in
    # the middle (the tube covers it), and small enough to grab many times a
    # second without slowing the show down much.
    width, height = size[0] & ~1, size[1] // 8 & ~1
    command = [
        "ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error",
        "-thread_queue_size", "1024", "-f", "x11grab", "-framerate", str(grab_fps),
        "-video_size", "%dx%d" % (width, height),
        "-i", "%s+0,%d" % (servers.display, height),
        # A short fragment for the sound: the sink then runs at this latency
        # whoever else plays on it, and ffmpeg's sound timestamps, which are
        # off by about the sink's latency, stay put from the clicks of the
        # calibration to the show and back.
        "-thread_queue_size", "1024", "-f", "pulse", "-sample_rate", str(analyse.RATE), "-channels", "2",
        "-fragment_size", str(FRAGMENT_MS * analyse.RATE // 1000 * 4), "-i", SINK + ".monitor",
        # Each input keeps its own timestamps (else ffmpeg moves each to
        # start at zero), the pictures in microseconds.
        "-copyts", "-map", "0:v", "-map", "1:a",
        "-vf", "scale=%d:%d:flags=area,format=gray" % GRAB_SIZE, "-c:v", "rawvideo",
        "-enc_time_base:v", "1:1000000", "-fps_mode:v", "passthrough",
        "-c:a", "pcm_s16le", "-f", "nut", "-y", path,
    ]
    return subprocess.Popen(command, env=servers.env, stderr=open(path + ".log", "w"))


def play(servers, binary, driver, start_ms, end_ms):
    env = dict(servers.env, SDL_AUDIODRIVER=driver, RUVO_NO_DIALOG="1")
    if driver == "default":
        del env["SDL_AUDIODRIVER"]
    show = subprocess.Popen([os.path.abspath(binary), str(start_ms)], cwd=os.path.dirname(os.path.abspath(binary)),
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        show.wait(SHOW_LOAD_SECONDS + (end_ms - start_ms) / 1000.0)
    except subprocess.TimeoutExpired:
        pass
    finally:
        stop(show, signal.SIGTERM)
    errors = show.stderr.read().decode().strip()
    if show.returncode not in (0, -signal.SIGTERM):
        raise RuntimeError("the show failed (status %s): %s" % (show.returncode, errors))


def record(servers, options, path):
    """Captures one play of the stretch between two calibrations; returns
    what the analysis needs besides the capture."""
    size = screen_size(servers.env)
    start_ms, begin_ms, end_ms, channel = options.range
    grabber = capture(servers, path, options.grab_fps, size)
    try:
        time.sleep(LEAD_IN_SECONDS)
        before = calibrate.calibrate(servers.display, SINK, CALIBRATION_EVENTS, *size)
        show_started = time.time()
        play(servers, options.binary, options.driver, start_ms, end_ms)
        after = calibrate.calibrate(servers.display, SINK, CALIBRATION_EVENTS, *size)
    finally:
        stop(grabber, signal.SIGINT)
    if grabber.returncode not in (0, 255):
        raise RuntimeError("ffmpeg failed: " + open(path + ".log").read())
    notes = {"before": before, "after": after, "show_started": show_started, "start_ms": start_ms,
             "range": [begin_ms, end_ms, channel], "data": os.path.join(os.path.dirname(os.path.abspath(
                 options.binary)), "data")}
    with open(path + ".json", "w") as out:
        json.dump(notes, out)
    return notes


def measure(path, notes):
    """The figures of one capture."""
    data = notes["data"]
    begin_ms, end_ms, channel = notes["range"]
    cap = analyse.Capture(path, *GRAB_SIZE)
    reference = analyse.decode_audio(os.path.join(data, "sound.mp3"))
    marks = [m for m in analyse.read_marks(os.path.join(data, channel + ".txt")) if begin_ms <= m <= end_ms]
    others = analyse.read_marks(os.path.join(data, ("bass" if channel == "claps" else "claps") + ".txt"))

    first = [d for d in analyse.chain_delays(cap, notes["before"]) if d]
    second = [d for d in analyse.chain_delays(cap, notes["after"]) if d]
    chain = np.array(first + second)
    if len(chain) < CALIBRATION_EVENTS:
        raise RuntimeError("only %d of %d calibration flashes were found" % (len(chain), 2 * CALIBRATION_EVENTS))
    # A flash waits for the next grab: uniformly up to a grab period, so the
    # mean is what a show's flash waits on average.
    picture_delay, sound_delay = chain.mean(axis=0)
    drift = 0.0
    if first and second:
        drift = (np.mean([d[0] - d[1] for d in second]) - np.mean([d[0] - d[1] for d in first])) * 1000

    shift = analyse.show_start(cap, reference, notes["start_ms"], notes["show_started"])
    if shift is None:
        raise RuntimeError("the show's sound was not found in the capture")
    rows, slip = analyse.show_offsets(cap, reference, notes["start_ms"], marks, others, shift)
    fps = cap.frame_rate([r[2] for r in rows if r[2] is not None])
    return {
        "rows": rows,
        "chain_ms": (picture_delay - sound_delay) * 1000,
        "picture_delay_ms": picture_delay * 1000,
        "sound_delay_ms": sound_delay * 1000,
        "drift_ms": drift,
        "slip_ms": slip * 1000,
        "fps": fps,
    }


def summarise(offsets, frame_ms):
    values = np.array(offsets)
    if len(values) == 0:
        return "no events found"
    p10, median, p90 = np.percentile(values, [10, 50, 90])
    within = np.mean(np.abs(values) <= frame_ms) * 100
    return ("%3d events  median %+6.1f ms  10-90%% %+6.1f .. %+6.1f ms  mean %+6.1f ms  within a frame (%.0f ms) %3.0f%%"
            % (len(values), median, p10, p90, values.mean(), frame_ms, within))


def report(result, run, verbose):
    frame_ms = 1000.0 / result["fps"] if result["fps"] else float("nan")
    print("run %d: capture chain: picture %+.1f ms, sound %+.1f ms, picture minus sound %+.1f ms "
          "(after the show minus before %+.1f ms); the show at %.1f frames/s while captured; its sound slipped "
          "%+.1f ms from its start to the last mark"
          % (run, result["picture_delay_ms"], result["sound_delay_ms"], result["chain_ms"], result["drift_ms"],
             result["fps"], result["slip_ms"]))
    offsets = []
    for mark, heard, seen in result["rows"]:
        if heard is None or seen is None:
            if verbose:
                print("  %7d ms  %s" % (mark, "not heard" if heard is None else "no flash"))
            continue
        offset = (seen - heard) * 1000 - result["chain_ms"]
        offsets.append(offset)
        if verbose:
            print("  %7d ms  picture minus sound %+6.1f ms" % (mark, offset))
    print("run %d: %s" % (run, summarise(offsets, frame_ms)))
    return offsets, frame_ms


def parse(argv):
    parser = argparse.ArgumentParser(prog="syncmeter", description=__doc__.split("\n\n")[0])
    parser.add_argument("--scene", choices=sorted(SCENES), default="cylinder",
                        help="a stretch with a clear beat response (default cylinder: %d-%d ms, %s)"
                        % SCENES["cylinder"][1:])
    parser.add_argument("--range", metavar="FIRST-LAST:CHANNEL",
                        help="any stretch instead, e.g. 52000-66000:claps (channel claps or bass), played from "
                        "%d ms before it" % DEFAULT_LEAD_MS)
    parser.add_argument("--runs", type=int, help="plays of the stretch (default 3; with --reanalyse, all kept)")
    parser.add_argument("--driver", default="pulseaudio",
                        help="SDL audio driver for the show: pulseaudio (default), pipewire (native), alsa (through "
                        "the pulse plugin), or default (SDL_AUDIODRIVER unset: SDL's own choice)")
    parser.add_argument("--server", choices=("auto", "pipewire", "pulseaudio"), default="auto",
                        help="sound server: auto (default: the running one, else a private PulseAudio), or a "
                        "private PipeWire (with WirePlumber and its pulse server) or PulseAudio in any case")
    parser.add_argument("--binary", default=os.path.join("build", "ruvo"), help="the show (default build/ruvo)")
    parser.add_argument("--grab-fps", type=int, default=200, help="grabs of the screen a second (default 200)")
    parser.add_argument("--xvfb", action="store_true", help="play on a private Xvfb even where DISPLAY is set")
    parser.add_argument("--keep", metavar="DIR", help="keep the captures in DIR")
    parser.add_argument("--reanalyse", metavar="DIR", help="analyse the captures kept in DIR again, without playing")
    parser.add_argument("-v", "--verbose", action="store_true", help="print every event")
    options = parser.parse_args(argv)
    if options.range:
        try:
            span, channel = options.range.split(":")
            first, last = (int(v) for v in span.split("-"))
        except ValueError:
            parser.error("--range takes FIRST-LAST:CHANNEL, e.g. 52000-66000:claps")
        if channel not in ("claps", "bass") or not 0 <= first < last:
            parser.error("--range takes FIRST-LAST:CHANNEL with FIRST < LAST and CHANNEL claps or bass")
        options.range = (max(0, first - DEFAULT_LEAD_MS), first, last, channel)
    else:
        options.range = SCENES[options.scene]
    if options.reanalyse:
        kept = len([name for name in os.listdir(options.reanalyse) if name.endswith(".nut.json")])
        options.runs = min(options.runs or kept, kept)
    elif not options.runs:
        options.runs = 3
    if not options.reanalyse and not os.access(options.binary, os.X_OK):
        parser.error("no show at %s (build it first, or give --binary)" % options.binary)
    return options


def main(argv):
    options = parse(argv)
    # Stopped from outside, it still stops what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))
    work = options.reanalyse or options.keep or tempfile.mkdtemp(prefix="ruvo-syncmeter-")
    os.makedirs(work, exist_ok=True)
    servers = None
    try:
        if not options.reanalyse:
            servers = Servers(work, options.xvfb, options.server)
        if options.reanalyse:
            print("syncmeter: the captures kept in %s" % options.reanalyse, flush=True)
        else:
            print("syncmeter: %s, %d-%d ms, %s marks, SDL audio driver %s" % (
                options.binary, options.range[1], options.range[2], options.range[3], options.driver), flush=True)
        every, medians, frames = [], [], []
        for run in range(1, options.runs + 1):
            path = os.path.join(work, "capture-%d.nut" % run)
            if options.reanalyse:
                with open(path + ".json") as saved:
                    notes = json.load(saved)
            else:
                notes = record(servers, options, path)
            offsets, frame_ms = report(measure(path, notes), run, options.verbose)
            every += offsets
            frames.append(frame_ms)
            if offsets:
                medians.append(np.median(offsets))
            sys.stdout.flush()
        if options.runs > 1:
            print("all runs: %s; run medians %s" % (summarise(every, np.nanmedian(frames)),
                                                     " ".join("%+.1f" % m for m in medians)))
    except (RuntimeError, subprocess.CalledProcessError) as error:
        print("syncmeter: %s" % error, file=sys.stderr)
        return 1
    finally:
        if servers:
            servers.close()
        if not options.keep and not options.reanalyse:
            shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
