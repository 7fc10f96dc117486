"""Clicks and screen flashes at known instants, to measure the capture chain.

Each click goes to the PulseAudio sink that is being captured, and the whole
screen turns white at the moment the server says the click is played. Both
instants are recorded on the wall clock that ffmpeg stamps its captured
frames and sound with, so the analysis can tell how late the capture sees a
picture and how late it hears a sound, and take both out of the show's
figures.

Only the system's shared libraries are used (through ctypes): libpulse-simple
for the sound and libX11 for the flash, so no development package is needed.
"""

import ctypes
import random
import time

RATE = 44100
CLICK_SAMPLES = 44  # 1 ms: short enough to time, loud enough to find
CHUNK_SAMPLES = 441  # 10 ms per write
# The stream's buffer: long enough that sleeping until a click is heard never
# runs it dry, short enough that the next click is not far off.
TARGET_BUFFER_MS = 200
FLASH_MS = 120

PA_SAMPLE_S16LE = 3
PA_STREAM_PLAYBACK = 1
CW_OVERRIDE_REDIRECT = 1 << 9


class SampleSpec(ctypes.Structure):
    _fields_ = [("format", ctypes.c_int), ("rate", ctypes.c_uint32), ("channels", ctypes.c_uint8)]


class BufferAttr(ctypes.Structure):
    _fields_ = [(name, ctypes.c_uint32) for name in ("maxlength", "tlength", "prebuf", "minreq", "fragsize")]


class SetWindowAttributes(ctypes.Structure):
    _fields_ = [
        ("background_pixmap", ctypes.c_ulong), ("background_pixel", ctypes.c_ulong),
        ("border_pixmap", ctypes.c_ulong), ("border_pixel", ctypes.c_ulong),
        ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
        ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
        ("event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int), ("colormap", ctypes.c_ulong), ("cursor", ctypes.c_ulong),
    ]


class Screen:
    """A borderless black window over the screen's top left corner."""

    def __init__(self, display_name, width, height):
        x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XRootWindow.restype = ctypes.c_ulong
        x.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XDefaultScreen.argtypes = [ctypes.c_void_p]
        x.XBlackPixel.restype = x.XWhitePixel.restype = ctypes.c_ulong
        x.XBlackPixel.argtypes = x.XWhitePixel.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCreateSimpleWindow.restype = ctypes.c_ulong
        x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 4 + [
            ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
        x.XChangeWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                              ctypes.POINTER(SetWindowAttributes)]
        x.XDefaultGC.restype = ctypes.c_void_p
        x.XDefaultGC.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XSetForeground.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_ulong]
        x.XFillRectangle.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p] + [ctypes.c_int] * 2 + [
            ctypes.c_uint] * 2
        for name in ("XMapRaised", "XDestroyWindow"):
            getattr(x, name).argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.x = x
        self.display = x.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError("cannot open display " + display_name)
        screen = x.XDefaultScreen(self.display)
        self.black = x.XBlackPixel(self.display, screen)
        self.white = x.XWhitePixel(self.display, screen)
        self.size = (width, height)
        self.window = x.XCreateSimpleWindow(self.display, x.XRootWindow(self.display, screen), 0, 0, width, height,
                                            0, self.black, self.black)
        # No window manager may move it or draw a frame around it.
        attributes = SetWindowAttributes()
        attributes.override_redirect = 1
        x.XChangeWindowAttributes(self.display, self.window, CW_OVERRIDE_REDIRECT, ctypes.byref(attributes))
        x.XMapRaised(self.display, self.window)
        self.gc = x.XDefaultGC(self.display, screen)
        self.fill(self.black)

    def fill(self, pixel):
        """Fills the window and returns once the server has drawn it."""
        self.x.XSetForeground(self.display, self.gc, pixel)
        self.x.XFillRectangle(self.display, self.window, self.gc, 0, 0, *self.size)
        self.x.XSync(self.display, 0)

    def close(self):
        self.x.XDestroyWindow(self.display, self.window)
        self.x.XCloseDisplay(self.display)


class Speaker:
    """A mono playback stream that knows when what it wrote will be heard."""

    def __init__(self, sink):
        pa = ctypes.CDLL("libpulse-simple.so.0")
        pa.pa_simple_new.restype = ctypes.c_void_p
        pa.pa_simple_new.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p,
                                     ctypes.c_char_p, ctypes.POINTER(SampleSpec), ctypes.c_void_p,
                                     ctypes.POINTER(BufferAttr), ctypes.POINTER(ctypes.c_int)]
        pa.pa_simple_write.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t,
                                       ctypes.POINTER(ctypes.c_int)]
        pa.pa_simple_get_latency.restype = ctypes.c_uint64
        pa.pa_simple_get_latency.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
        pa.pa_simple_free.argtypes = [ctypes.c_void_p]
        self.pa = pa
        sample_format = SampleSpec(PA_SAMPLE_S16LE, RATE, 1)
        unset = 0xFFFFFFFF
        attr = BufferAttr(unset, TARGET_BUFFER_MS * RATE // 1000 * 2, unset, unset, unset)
        error = ctypes.c_int(0)
        self.stream = pa.pa_simple_new(None, b"ruvo-syncmeter", PA_STREAM_PLAYBACK, sink.encode() if sink else None,
                                       b"calibration clicks", ctypes.byref(sample_format), None, ctypes.byref(attr),
                                       ctypes.byref(error))
        if not self.stream:
            raise RuntimeError("cannot open a PulseAudio playback stream (error %d)" % error.value)
        self.silence = (ctypes.c_int16 * CHUNK_SAMPLES)()
        self.click = (ctypes.c_int16 * CHUNK_SAMPLES)()
        for i in range(CLICK_SAMPLES):
            self.click[i] = 24000

    def write(self, chunk):
        """Writes one chunk; returns the wall-clock time its first sample is heard."""
        error = ctypes.c_int(0)
        if self.pa.pa_simple_write(self.stream, chunk, ctypes.sizeof(chunk), ctypes.byref(error)) < 0:
            raise RuntimeError("PulseAudio write failed (error %d)" % error.value)
        now = time.time()
        latency = self.pa.pa_simple_get_latency(self.stream, ctypes.byref(error)) / 1e6
        # The latency is until the last sample written is heard.
        return now + latency - (CHUNK_SAMPLES - 1) / RATE

    def fill(self, seconds):
        for _ in range(int(seconds * RATE / CHUNK_SAMPLES)):
            self.write(self.silence)

    def close(self):
        self.pa.pa_simple_free(self.stream)


def sleep_until(moment):
    while True:
        left = moment - time.time()
        if left <= 0:
            return
        # Sleep most of the way, then spin: the flash should be on time to a
        # fraction of a millisecond.
        time.sleep(left - 0.002 if left > 0.003 else 0)


def calibrate(display_name, sink, count, width, height, spacing=0.35):
    """Makes `count` clicks with flashes; returns [(click heard, flash drawn)]
    as wall-clock seconds."""
    screen = Screen(display_name, width, height)
    speaker = Speaker(sink)
    events = []
    try:
        speaker.fill(TARGET_BUFFER_MS / 1000.0)
        for _ in range(count):
            heard = speaker.write(speaker.click)
            # Keep the stream fed while the click travels through the buffer.
            speaker.fill(TARGET_BUFFER_MS / 2000.0)
            sleep_until(heard)
            before = time.time()
            screen.fill(screen.white)
            events.append((heard, (before + time.time()) / 2))
            speaker.fill(FLASH_MS / 1000.0)
            screen.fill(screen.black)
            # An uneven spacing puts the flashes at every phase of the grab.
            speaker.fill(spacing * (0.5 + random.random()))
    finally:
        speaker.close()
        screen.close()
    return events
