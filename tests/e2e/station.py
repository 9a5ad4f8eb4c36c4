"""One run of the real program against quelmo-sim, under a private X server.

A Station is a temporary working folder with quelmo.cfg, a test voice and
COM1 (the simulator's pseudo-terminal); quelmo runs there with its sound going
to a file through SDL's disk driver, so that what it said can be decoded back
into words.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time

from command_forms import malformed_commands
from test_voice import decode_words, write_test_voice

QUELMO = os.environ.get("QUELMO", "quelmo")
QUELMO_SIM = os.environ.get("QUELMO_SIM", "quelmo-sim")
QUELMO_CHECK = os.environ.get("QUELMO_CHECK", "quelmo-check")
# flush_sound.cpp, built beside the program: the sound output file then grows
# buffer by buffer as the program hands them out.
FLUSH_SOUND = os.environ.get("QUELMO_FLUSH_SOUND")
WINDOW_TITLE = "Quelmo Front Panel"

# The eight positional lines: port 1 (5 characters), 38400 baud from
# position 7, power 100 (any 9 characters), SWR not spoken by itself, carrier
# tuning, bands up to 70 cm, power switching off, traffic log on.
STATION_CONFIG = ["port1", "SPEED=38400", "POWER=100", "SWR=0", "TUN=1",
                  "BANDMAX=7", "PWRCTL=0", "DEBUG=1"]

# The program's questions (the poll's, and the radio's identity), left out
# when looking at what keys sent.
POLL_QUERIES = {"FA;", "SM0;", "RM6;", "MD0;"}


def wait_until(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


class XServer:
    """An Xvfb on a display number of its own choosing."""

    def __init__(self, screen="1280x800x24"):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen,
             "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as reader:
            while not number.endswith(b"\n"):
                byte = reader.read(1)
                if not byte:
                    raise RuntimeError("Xvfb did not start")
                number += byte
        self.display = ":" + number.decode().strip()

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


class Station:
    """`config` replaces the station's quelmo.cfg lines (None: no file);
    `sim_port` names the simulator's COMn link (None: no simulator at all)."""

    def __init__(self, x_server, sim_options=(), memory_lines=None, config=STATION_CONFIG,
                 sim_port=1):
        self.x = x_server
        self.folder = tempfile.mkdtemp(prefix="quelmo-e2e-")
        # The sound output lives outside the working folder, so the folder
        # itself can be made read-only or full.
        self.audio_folder = tempfile.mkdtemp(prefix="quelmo-e2e-audio-")
        self.audio_file = os.path.join(self.audio_folder, "speech.raw")
        self.sim_log = os.path.join(self.folder, "radio.log")
        self.quelmo = None
        self.sim = None
        if config is not None:
            with open(os.path.join(self.folder, "quelmo.cfg"), "w", newline="") as file:
                file.write("\r\n".join(config) + "\r\n")
        if memory_lines is not None:
            with open(os.path.join(self.folder, "memory.dat"), "w", newline="") as memory:
                memory.write("\r\n".join(memory_lines) + "\r\n")
        write_test_voice(os.path.join(self.folder, "wave"))
        if sim_port is not None:
            self.sim = subprocess.Popen(
                [QUELMO_SIM, "--dir", self.folder, "--port", str(sim_port), "--log",
                 self.sim_log, "--seed", "5", *sim_options],
                stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            ready = self.sim.stdout.readline()
            if not ready.startswith("ready "):
                raise RuntimeError("quelmo-sim did not start: " + ready)

    # --- the program ---

    def _environment(self):
        return dict(os.environ, DISPLAY=self.x.display, SDL_AUDIODRIVER="disk",
                    SDL_DISKAUDIOFILE=self.audio_file)

    def start(self, wrapper=(), wait_for_window=True):
        """Starts quelmo, through `wrapper` when given (a command that ends by
        running its last argument, the program, in the working folder)."""
        environment = self._environment()
        if FLUSH_SOUND and not wrapper:
            environment["LD_PRELOAD"] = FLUSH_SOUND
        self.quelmo = subprocess.Popen([*wrapper, QUELMO], cwd=self.folder, env=environment,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if wait_for_window:
            wait_until(self._find_window, 30, "the quelmo window")
        return self

    def second_program(self):
        """Starts the program again in the working folder, its sound in a
        file of its own, and waits for it to end: its exit code, its
        standard error and the words it said."""
        audio = os.path.join(self.audio_folder, "second.raw")
        result = subprocess.run([QUELMO], cwd=self.folder,
                                env=dict(self._environment(), SDL_DISKAUDIOFILE=audio),
                                capture_output=True, text=True, timeout=60)
        return result.returncode, result.stderr, decode_words(audio)

    def check(self, wrapper=()):
        """Runs the station check in the working folder: its exit code, what
        it printed and the words it said."""
        result = subprocess.run([*wrapper, QUELMO_CHECK], cwd=self.folder, env=self._environment(),
                                capture_output=True, text=True, timeout=30)
        return result.returncode, result.stdout, self.words()

    def cpu_seconds(self):
        """User and system time quelmo has used so far."""
        with open("/proc/%d/stat" % self.quelmo.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def cpu_share(self, seconds):
        """The share of one core, in percent, that quelmo's threads used over
        the next `seconds`, from the scheduler's nanosecond counts."""
        def on_cpu_ns():
            total = 0
            for task in os.listdir("/proc/%d/task" % self.quelmo.pid):
                with open("/proc/%d/task/%s/schedstat" % (self.quelmo.pid, task)) as stat:
                    total += int(stat.read().split()[0])
            return total
        before, start = on_cpu_ns(), time.monotonic()
        time.sleep(seconds)
        return 100.0 * (on_cpu_ns() - before) / 1e9 / (time.monotonic() - start)

    def resident_kb(self):
        with open("/proc/%d/status" % self.quelmo.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    def _find_window(self):
        if self.quelmo.poll() is not None:
            raise AssertionError("quelmo ended at start: " + self.quelmo.stderr.read().decode())
        found = self.xdotool("search", "--onlyvisible", "--name", WINDOW_TITLE, check=False)
        return found.split()[-1] if found else None

    @property
    def window(self):
        """The window's id, looked up each time: the window may be created
        again while the renderer starts."""
        return wait_until(self._find_window, 5, "the quelmo window")

    def running(self):
        return self.quelmo.poll() is None

    def wait_for_exit(self, timeout=10):
        return self.quelmo.wait(timeout=timeout)

    def xdotool(self, *arguments, check=True):
        result = subprocess.run(["xdotool", *arguments], capture_output=True, text=True,
                                env=dict(os.environ, DISPLAY=self.x.display))
        if result.returncode != 0:
            if check:
                raise AssertionError("xdotool %s: %s" % (arguments, result.stderr))
            return None
        return result.stdout.strip()

    def press(self, *keys, delay_ms=120):
        """Real key presses (down and up) into the program's window, one
        every `delay_ms`."""
        self.focus()
        self.xdotool("key", "--delay", str(delay_ms), *keys)

    def focus(self):
        # The window may still be replaced while the renderer starts, between
        # looking it up and focusing it: then it is looked up again.
        for attempt in range(5):
            if self.xdotool("windowfocus", "--sync", self.window, check=attempt == 4) is not None:
                return
            time.sleep(0.2)

    def close_box(self):
        """What the window manager sends when the close box is clicked; the
        moment (time.monotonic()) it was sent."""
        return send_close_request(self.x.display, int(self.window))

    # --- what the radio received ---

    def _radio_log(self):
        """(monotonic seconds, text) of each line of the radio's log: the
        commands it received, and its knob lines ("knob freq 7100000") as
        they took effect."""
        try:
            with open(self.sim_log) as log:
                lines = [line.rstrip("\n").split(" ", 2) for line in log if line.count(" ") >= 2]
        except FileNotFoundError:
            return []
        return [(int(stamp) / 1e6, text) for _, stamp, text in lines]

    def radio_commands(self):
        return [text for _, text in self._radio_log() if not text.startswith("knob ")]

    def commands_after(self, moment):
        """The commands the radio received after `moment` (time.monotonic())."""
        return [text for stamp, text in self._radio_log()
                if stamp > moment and not text.startswith("knob ")]

    def first_command_after(self, moment, command=None):
        """Seconds from `moment` (time.monotonic()) to the first command the
        radio received after it (the first `command`, when given); None when
        none came."""
        for stamp, text in self._radio_log():
            if stamp >= moment and not text.startswith("knob ") and command in (None, text):
                return stamp - moment
        return None

    def knob_turned(self, line, timeout=5):
        """Turns a knob (a knob line) and waits until the radio has taken it:
        the moment (time.monotonic()) it did."""
        self.knob(line)
        return wait_until(lambda: next((stamp for stamp, text in reversed(self._radio_log())
                                        if text == "knob " + line), None),
                          timeout, "the knob line " + line)

    def key_commands(self, since=0):
        """Commands after index `since` of the radio's log, without the poll."""
        return [c for c in self.radio_commands()[since:] if c not in POLL_QUERIES]

    def wait_for_key_commands(self, since, count, timeout=8):
        return wait_until(lambda: len(self.key_commands(since)) >= count and self.key_commands(since),
                          timeout, "%d commands at the radio" % count)

    def malformed_commands(self):
        """Commands at the radio that are not of the program's forms."""
        return malformed_commands(self.radio_commands())

    def knob(self, line):
        self.sim.stdin.write(line + "\n")
        self.sim.stdin.flush()

    # --- the program's files ---

    def read_lines(self, name):
        try:
            with open(os.path.join(self.folder, name), newline="", encoding="latin-1") as file:
                return file.read().split("\r\n")[:-1]
        except FileNotFoundError:
            return None

    def debug_lines(self):
        return self.read_lines("debug.dat") or []

    def wait_connected(self, timeout=10):
        """Until the program has connected to the radio: keys then work. The
        traffic log says so the moment it does."""
        wait_until(lambda: any(l.startswith("LINK=radio connected, ") for l in self.debug_lines()),
                   timeout, "the radio connected")

    # --- speech and screen ---

    def words(self):
        return decode_words(self.audio_file)

    def wait_for_words(self, expected, timeout=8):
        def heard():
            words = self.words()
            return words if contains_in_order(words, expected) else None
        try:
            return wait_until(heard, timeout, "the words %s" % expected)
        except AssertionError:
            raise AssertionError("wanted %s, heard %s" % (expected, self.words()))

    def geometry(self):
        """The window's place and size on the screen: X, Y, WIDTH, HEIGHT."""
        return {key: int(value) for key, value in
                (line.split("=") for line in
                 self.xdotool("getwindowgeometry", "--shell", self.window).splitlines())}

    def area(self, x, y, width, height):
        """Raw grey pixels of a part of the window (x, y within the window)."""
        where = self.geometry()
        return subprocess.run(
            ["import", "-display", self.x.display, "-window", "root",
             "-crop", "%dx%d+%d+%d" % (width, height, where["X"] + x, where["Y"] + y),
             "-depth", "8", "gray:-"],
            capture_output=True, check=True).stdout

    def frequency_area(self):
        """The window's frequency text as raw grey pixels."""
        return self.area(285, 150, 660, 80)

    def screenshot(self, name):
        path = os.path.join(self.folder, name)
        subprocess.run(["import", "-display", self.x.display, "-window", "root", path],
                       check=True)
        return path

    def stop(self):
        for process in (self.quelmo, self.sim):
            if process is not None and process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if self.quelmo is not None and self.quelmo.stderr:
            self.quelmo.stderr.close()
        if self.sim is not None:
            self.sim.stdin.close()
            self.sim.stdout.close()
        if os.environ.get("QUELMO_E2E_KEEP"):
            print("kept", self.folder, self.audio_folder)
        else:
            shutil.rmtree(self.folder, ignore_errors=True)
            shutil.rmtree(self.audio_folder, ignore_errors=True)


def private_mounts_work():
    """Whether this machine lets a private mount namespace bind and remount
    a folder (as root in most containers and on CI it does)."""
    folder = tempfile.mkdtemp(prefix="quelmo-mount-probe-")
    try:
        probe = subprocess.run(
            ["unshare", "-m", "sh", "-c",
             'mount --bind "$0" "$0" && mount -o remount,ro,bind "$0" "$0"', folder],
            capture_output=True)
        return probe.returncode == 0
    except FileNotFoundError:
        return False
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def fault_lines(log_lines):
    """The traffic log's lines of what went wrong with the link: its "LINK="
    lines, less those that say the radio connected."""
    return [l for l in log_lines
            if l.startswith("LINK=") and not l.startswith("LINK=radio connected, ")]


def contains_in_order(sequence, wanted):
    """True when `wanted` occurs in `sequence` as a contiguous run."""
    n = len(wanted)
    return any(sequence[i:i + n] == wanted for i in range(len(sequence) - n + 1))


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def send_close_request(display_name, window):
    """WM_DELETE_WINDOW to the window, as a window manager's close box does;
    the moment (time.monotonic()) it was sent."""
    xlib = ctypes.cdll.LoadLibrary("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(_XEvent)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(display_name.encode())
    if not display:
        raise AssertionError("cannot open display " + display_name)
    event = _XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    event.xclient.data[1] = 0  # CurrentTime
    sent = time.monotonic()
    xlib.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    xlib.XFlush(display)
    xlib.XCloseDisplay(display)
    return sent
