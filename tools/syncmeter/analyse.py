"""Reads a capture of the show and finds, for each beat mark, when it was
heard and when the picture answered it.

Times are wall-clock seconds, as ffmpeg stamps both captured streams with
-copyts. A sound is found by matching the captured audio against the
soundtrack itself around the mark (the mark is where the beat begins in the
music, so where that stretch of music is heard is where the beat is heard);
a flash is the first captured frame near it where most of the picture
changed (see Capture.flash).
"""

import subprocess

import numpy as np

RATE = 44100
# ffmpeg's PulseAudio timestamps settle only after a second or two.
SETTLE_SECONDS = 2.5
# The stretch of music matched around a mark, and how far off it may be.
MATCH_HALF_SECONDS = 0.15
MATCH_SEARCH_SECONDS = 0.04
# Below this a sample is silence (the sink plays exact zeros when idle).
SILENCE = 1e-3
# A match weaker than this is not the soundtrack (a gap, a dropout).
MIN_MATCH = 0.8
# The show's sound can slip later than its start promised: each dropout (a
# server's buffer running dry, a stall while a fresh server sets its graph
# up for a new stream) delays all that follows. It is followed through the
# play in steps this short, each searched as closely as a mark is, or, where
# the sound is not found there, this far either way (less than a beat, so
# not onto the next one).
FOLLOW_STEP_SECONDS = 0.25
SLIP_SEARCH_SECONDS = 0.3
# Steps of FOLLOW_STEP_SECONDS after its first sound in which the show's
# start is looked for.
START_STEPS = 8
# Where a picture may answer a sound: from before it (a picture early) to
# well after it (one late by several frames).
FLASH_BEFORE_SECONDS = 0.12
FLASH_AFTER_SECONDS = 0.3
# A change of the median pixel (0..255) smaller than this is not a flash.
MIN_STEP = 3.0
# How long after a flash its fading shows every new frame.
FADE_SECONDS = 0.15
# A mean change per pixel (0..255, on the small picture) that says a new
# frame of the show was grabbed.
MIN_CHANGE = 0.05


def _run(command):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout


def _probe(path, stream, entries):
    text = _run(["ffprobe", "-v", "error", "-select_streams", stream, "-show_entries", entries, "-of",
                 "csv=p=0", path]).decode()
    return [line.split(",") for line in text.split() if line]


def _time_base(path, stream):
    num, den = _probe(path, stream, "stream=time_base")[0][0].split("/")
    return float(num) / float(den)


def decode_audio(path):
    """Mono float samples at RATE, as ffmpeg decodes them."""
    raw = _run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a:0", "-ac", "1", "-ar", str(RATE), "-f", "f32le",
                "-"])
    return np.frombuffer(raw, dtype=np.float32)


class Capture:
    def __init__(self, path, width, height):
        base = _time_base(path, "v:0")
        self.video_times = np.array([float(row[0]) for row in _probe(path, "v:0", "frame=pts")]) * base
        raw = _run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:v:0", "-fps_mode", "passthrough", "-f",
                    "rawvideo", "-pix_fmt", "gray", "-"])
        frames = np.frombuffer(raw, dtype=np.uint8).reshape(-1, height * width).astype(np.float32)
        count = min(len(frames), len(self.video_times))
        self.video_times = self.video_times[:count]
        steps = np.diff(frames[:count], axis=0)
        self.step = np.r_[0.0, np.median(steps, axis=1)]
        self.change = np.r_[0.0, np.abs(steps).mean(axis=1)]

        base = _time_base(path, "a:0")
        packets = np.array([[float(row[0]), float(row[1])] for row in _probe(path, "a:0", "packet=pts,duration")])
        self.audio = decode_audio(path)
        starts = np.r_[0, np.cumsum(packets[:-1, 1])].astype(np.int64)
        keep = starts >= SETTLE_SECONDS * RATE
        self.packet_start = starts[keep]
        self.packet_time = packets[keep, 0] * base

    def sample_time(self, index):
        k = max(np.searchsorted(self.packet_start, index, side="right") - 1, 0)
        return self.packet_time[k] + (index - self.packet_start[k]) / RATE

    def sample_at(self, moment):
        k = max(np.searchsorted(self.packet_time, moment, side="right") - 1, 0)
        return int(round(self.packet_start[k] + (moment - self.packet_time[k]) * RATE))

    def frame_rate(self, flashes):
        """Frames of the show a second, counted from the grabbed pictures
        that changed in the moments after each flash, while it fades frame
        by frame (between beats a scene may hardly move)."""
        frames, seconds = 0, 0.0
        for seen in flashes:
            inside = (self.video_times >= seen) & (self.video_times <= seen + FADE_SECONDS)
            changes = self.video_times[inside & (self.change > MIN_CHANGE)]
            if len(changes) >= 2:
                frames += len(changes) - 1
                seconds += changes[-1] - changes[0]
        return frames / seconds if seconds else 0.0

    def flash(self, begin, end):
        """(time, step) of the frame between two moments where the picture
        answers a beat: the first whose median pixel changed by at least half
        as much as the most any frame there changed it. A flash lights most
        of the picture at once (something moving into view changes only part
        of it), and in some scenes it darkens the part grabbed. None where
        nothing changed enough."""
        inside = np.nonzero((self.video_times >= begin) & (self.video_times <= end))[0]
        inside = inside[inside > 0]
        if len(inside) == 0:
            return None
        steps = np.abs(self.step[inside])
        if steps.max() < MIN_STEP:
            return None
        first = int(np.argmax(steps >= steps.max() / 2))
        return self.video_times[inside[first]], float(self.step[inside[first]])

    def click(self, begin, end):
        """Time of the first sample of a click in silence between two moments."""
        first, last = self.sample_at(begin), self.sample_at(end)
        if first < 0 or last <= first or last > len(self.audio):
            return None
        window = np.abs(self.audio[first:last])
        peak = window.max()
        if peak < 0.05:
            return None
        return self.sample_time(first + int(np.argmax(window >= peak / 2)))

    def music(self, reference, position, guess, search_seconds=MATCH_SEARCH_SECONDS):
        """Time at which the soundtrack's sample `position` is heard, near the
        moment `guess`; None where the captured sound is not the soundtrack."""
        half = int(MATCH_HALF_SECONDS * RATE)
        search = int(search_seconds * RATE)
        if position - half < 0 or position + half > len(reference):
            return None
        pattern = reference[position - half:position + half]
        centre = self.sample_at(guess)
        first = centre - half - search
        if first < 0 or centre + half + search > len(self.audio):
            return None
        window = self.audio[first:centre + half + search]
        scores = np.correlate(window, pattern, mode="valid")
        best = int(np.argmax(scores))
        segment = window[best:best + len(pattern)]
        quality = scores[best] / (np.linalg.norm(pattern) * np.linalg.norm(segment) + 1e-12)
        if quality < MIN_MATCH:
            return None
        return self.sample_time(first + best + half)


def show_start(capture, reference, start_ms, launched):
    """Seconds to add to a music position to get the moment it is heard:
    the show's sound begins, after silence, with the music at `start_ms`.
    (The music repeats bar by bar, so matching a stretch of it anywhere could
    land a bar off.) Where the first moments do not match, a dropout just
    after the start having moved them, the sound is looked for a little
    further on, each step searched as a slip is (see SLIP_SEARCH_SECONDS)."""
    first = capture.sample_at(launched)
    sounding = np.nonzero(np.abs(capture.audio[first:]) > SILENCE)[0]
    if len(sounding) == 0:
        return None
    half = int(MATCH_HALF_SECONDS * RATE)
    onset = capture.sample_time(first + int(sounding[0]))
    for step in range(START_STEPS):
        later = step * FOLLOW_STEP_SECONDS
        position = int(round((start_ms / 1000 + later) * RATE)) + half
        guess = onset + later + half / RATE
        heard = capture.music(reference, position, guess, MATCH_SEARCH_SECONDS if step == 0 else SLIP_SEARCH_SECONDS)
        if heard is not None:
            return heard - position / RATE
    return None


def read_marks(path):
    """Mark start times in ms from a beat file (four header lines)."""
    marks = []
    with open(path) as text:
        for number, line in enumerate(text):
            fields = line.split()
            if number < 4 or len(fields) < 2 or len(fields[1]) < 12:
                continue
            stamp = fields[1]
            hours, minutes, seconds = int(stamp[0:2]), int(stamp[3:5]), int(stamp[6:8])
            marks.append(((hours * 60 + minutes) * 60 + seconds) * 1000 + int(stamp[9:12]))
    return marks


def chain_delays(capture, events):
    """Per calibration event: (picture capture delay, sound capture delay)
    in seconds, or None where either was not found."""
    found = []
    for heard, drawn in events:
        onset = capture.click(heard - 0.1, heard + 0.2)
        flash = capture.flash(drawn - 0.05, drawn + 0.15)
        found.append(None if onset is None or flash is None else (flash[0] - drawn, onset - heard))
    return found


def follow(capture, reference, shift, from_ms, to_ms):
    """The shift (see show_start) at music time `to_ms`, followed in short
    steps from the shift at `from_ms`, so that slips of the show's sound on
    the way (see FOLLOW_STEP_SECONDS) are taken along."""
    step_ms = FOLLOW_STEP_SECONDS * 1000
    for ms in np.arange(from_ms + step_ms, to_ms, step_ms):
        position = int(round(ms * RATE / 1000))
        heard = capture.music(reference, position, ms / 1000 + shift)
        if heard is None:
            heard = capture.music(reference, position, ms / 1000 + shift, SLIP_SEARCH_SECONDS)
        if heard is not None:
            shift = heard - position / RATE
    return shift


def show_offsets(capture, reference, start_ms, marks, other_marks, shift):
    """Per mark: (mark ms, heard, seen) with seen - heard the picture's lag
    (None where not found), and how many seconds the show's sound slipped
    from its start to the last mark. A mark's flash is looked for only up to
    halfway to the marks around it, so a neighbour's flash is not taken for
    its own."""
    every = sorted(set(marks) | set(other_marks))
    rows = []
    since_ms, followed = start_ms, shift
    for mark in sorted(marks):
        followed = follow(capture, reference, followed, since_ms, mark)
        position = int(round(mark * RATE / 1000))
        heard = capture.music(reference, position, mark / 1000 + followed)
        seen = None
        if heard is not None:
            since_ms, followed = mark, heard - position / RATE
            at = every.index(mark)
            before = (mark - every[at - 1]) / 2000 if at > 0 else FLASH_BEFORE_SECONDS
            after = (every[at + 1] - mark) / 2000 if at + 1 < len(every) else FLASH_AFTER_SECONDS
            flash = capture.flash(heard - min(before, FLASH_BEFORE_SECONDS), heard + min(after, FLASH_AFTER_SECONDS))
            seen = flash[0] if flash else None
        rows.append((mark, heard, seen))
    return rows, followed - shift
