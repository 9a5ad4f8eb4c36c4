"""A small X client of the benchmark's own, through ctypes: it presses keys
with the XTEST extension, watches windows being mapped, and has a window of
its own that timestamps the key events the X server delivers to it."""

import ctypes
import select
import time

_x = ctypes.cdll.LoadLibrary("libX11.so.6")
_xtest = ctypes.cdll.LoadLibrary("libXtst.so.6")

_x.XOpenDisplay.restype = ctypes.c_void_p
_x.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x.XDefaultRootWindow.restype = ctypes.c_ulong
_x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
_x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
_x.XPending.argtypes = [ctypes.c_void_p]
_x.XConnectionNumber.argtypes = [ctypes.c_void_p]
_x.XFlush.argtypes = [ctypes.c_void_p]
_x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x.XStringToKeysym.restype = ctypes.c_ulong
_x.XStringToKeysym.argtypes = [ctypes.c_char_p]
_x.XKeysymToKeycode.restype = ctypes.c_ubyte
_x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x.XCreateSimpleWindow.restype = ctypes.c_ulong
_x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                   ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                   ctypes.c_ulong]
_x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x.XSetInputFocus.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_ulong]
_xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

KEY_PRESS = 2
MAP_NOTIFY = 19
KEY_PRESS_MASK = 1 << 0
STRUCTURE_NOTIFY_MASK = 1 << 17
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
REVERT_TO_PARENT = 2


class _MapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", _MapEvent), ("pad", ctypes.c_long * 24)]


def now_us():
    """CLOCK_MONOTONIC in microseconds: the clock of the simulator's log."""
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC) // 1000


# A window that goes away between being looked up and being focused is no
# reason to end the benchmark: X errors are ignored, not fatal.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
    lambda display, error: 0)
_x.XSetErrorHandler(_ERROR_HANDLER)


class Display:
    def __init__(self, name):
        self.handle = _x.XOpenDisplay(name.encode())
        if not self.handle:
            raise RuntimeError("cannot open display " + name)
        self.root = _x.XDefaultRootWindow(self.handle)

    def close(self):
        _x.XCloseDisplay(self.handle)

    def keycode(self, keysym_name):
        return _x.XKeysymToKeycode(self.handle, _x.XStringToKeysym(keysym_name.encode()))

    def focus(self, window):
        _x.XSetInputFocus(self.handle, window, REVERT_TO_PARENT, 0)
        _x.XSync(self.handle, 0)

    def key(self, keycode, down):
        _xtest.XTestFakeKeyEvent(self.handle, keycode, 1 if down else 0, 0)
        _x.XFlush(self.handle)

    def next_event(self, timeout):
        """The next event, or None when none came within `timeout` seconds."""
        event = _Event()
        deadline = time.monotonic() + timeout
        while _x.XPending(self.handle) == 0:
            left = deadline - time.monotonic()
            if left <= 0:
                return None
            select.select([_x.XConnectionNumber(self.handle)], [], [], left)
        _x.XNextEvent(self.handle, ctypes.byref(event))
        return event

    def watch_maps(self):
        """Report every top-level window mapped from now on; what was mapped
        before (our own key window included) is forgotten."""
        _x.XSelectInput(self.handle, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        _x.XSync(self.handle, 1)

    def wait_for_map(self, timeout):
        """The monotonic time (us) at which the next top-level window was mapped."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            event = self.next_event(deadline - time.monotonic())
            if event is not None and event.type == MAP_NOTIFY:
                return now_us()
        return None

    def delivery_times(self, keysym_name, count):
        """Key press to KeyPress event at a window of our own, in microseconds:
        the X server's and Xlib's share of a key's road, with no program of
        ours in it."""
        window = _x.XCreateSimpleWindow(self.handle, self.root, 0, 0, 50, 50, 0, 0, 0)
        _x.XSelectInput(self.handle, window, KEY_PRESS_MASK | STRUCTURE_NOTIFY_MASK)
        _x.XMapWindow(self.handle, window)
        while True:
            event = self.next_event(5)
            if event is None or event.type == MAP_NOTIFY:
                break
        self.focus(window)
        code = self.keycode(keysym_name)
        times = []
        for _ in range(count):
            start = now_us()
            self.key(code, True)
            while True:
                event = self.next_event(1)
                if event is None or event.type == KEY_PRESS:
                    break
            if event is not None:
                times.append(now_us() - start)
            self.key(code, False)
            time.sleep(0.01)
        _x.XDestroyWindow(self.handle, window)
        _x.XSync(self.handle, 0)
        return times
