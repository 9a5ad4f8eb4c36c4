"""quelmo.exe under Wine as a Station of the Linux end-to-end tests.

The station is laid out as for the Linux program (tests/e2e/station.py): a
working folder with quelmo.cfg, the test voice and quelmo-sim's COMn link.
Wine reaches the radio through its own port mapping: the Wine folder's
registry maps COM1 and COM12 to the links ports/COM1 and ports/COM12 in it
(cmake/wine-run), which lead to the station's link. The sound goes to
ALSA's file sink, set up in the station's own ~/.asoundrc, which receives the
samples as the program hands them to waveOut: the test voice's words are
decoded from it as from SDL's disk driver on Linux.
"""

import array
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from station import Station, wait_until  # noqa: E402
from test_voice import decode_words  # noqa: E402

QUELMO_EXE = os.environ.get("QUELMO_EXE", "quelmo.exe")
QUELMO_CHECK_EXE = os.environ.get("QUELMO_CHECK_EXE", "quelmo-check.exe")
PACKAGE = os.environ.get("QUELMO_PACKAGE", "quelmo-windows.zip")
WINE_RUN = os.environ.get("WINE_RUN", "wine-run")
PORTS = os.path.join(os.environ.get("WINEPREFIX", ""), "ports")


def stop_wine():
    """Ends every process of the Wine folder and its server."""
    subprocess.run(["wineserver", "-k"], env=os.environ, stderr=subprocess.DEVNULL, check=False)


class WineStation(Station):
    def __init__(self, x_server, sim_options=(), memory_lines=None, sound=True, **layout):
        super().__init__(x_server, sim_options, memory_lines, **layout)
        self.home = tempfile.mkdtemp(prefix="quelmo-wine-home-")
        with open(os.path.join(self.home, ".asoundrc"), "w") as settings:
            if sound:
                settings.write('pcm.!default { type file; slave.pcm "null"; file "%s"; '
                               'format "raw" }\n' % self.audio_file)
            else:
                settings.write("pcm.!default { type hw; card 31 }\n")  # no such card
        self.port_link = None
        if self.sim is not None:
            port = "COM%s" % layout.get("sim_port", 1)
            self.port_link = os.path.join(PORTS, port)
            os.makedirs(PORTS, exist_ok=True)
            if os.path.lexists(self.port_link):
                os.unlink(self.port_link)
            os.symlink(os.path.join(self.folder, port), self.port_link)

    def start(self, wrapper=(), wait_for_window=True, exe=QUELMO_EXE):
        environment = dict(os.environ, DISPLAY=self.x.display, HOME=self.home)
        self.started_at = time.monotonic()
        self.quelmo = subprocess.Popen([*wrapper, WINE_RUN, exe], cwd=self.folder,
                                       env=environment, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.PIPE)
        if wait_for_window:
            wait_until(self._find_window, 60, "the quelmo window")
        return self

    def second_program(self):
        home = tempfile.mkdtemp(prefix="quelmo-wine-home-")
        audio = os.path.join(home, "second.raw")
        with open(os.path.join(home, ".asoundrc"), "w") as settings:
            settings.write('pcm.!default { type file; slave.pcm "null"; file "%s"; '
                           'format "raw" }\n' % audio)
        try:
            result = subprocess.run([WINE_RUN, QUELMO_EXE], cwd=self.folder,
                                    env=dict(os.environ, DISPLAY=self.x.display, HOME=home),
                                    capture_output=True, text=True, timeout=120)
            return result.returncode, result.stderr, decode_words(audio)
        finally:
            subprocess.run(["rm", "-rf", home], check=False)

    def check(self, exe=QUELMO_CHECK_EXE):
        """quelmo-check.exe in the working folder, as Station.check; its
        console's input is empty, so it never waits for Enter."""
        result = subprocess.run([WINE_RUN, exe], cwd=self.folder,
                                env=dict(os.environ, DISPLAY=self.x.display, HOME=self.home),
                                stdin=subprocess.DEVNULL, capture_output=True, text=True,
                                timeout=120)
        return result.returncode, result.stdout.replace("\r\n", "\n"), self.words()

    def termios(self):
        """The line settings Wine gave the radio's pseudo-terminal."""
        import termios
        fd = os.open(os.path.join(self.folder, self.port_link.rsplit("/", 1)[1]),
                     os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        try:
            return termios.tcgetattr(fd)
        finally:
            os.close(fd)

    def sound_samples(self):
        """Every sample the program has played, silent or not."""
        try:
            with open(self.audio_file, "rb") as raw:
                data = raw.read()
        except FileNotFoundError:
            return array.array("h")
        samples = array.array("h")
        samples.frombytes(data[: len(data) // 2 * 2])
        return samples

    def first_command_at(self):
        """The radio's monotonic time of its first command, in seconds."""
        wait_until(self.radio_commands, 30, "a command at the radio")
        with open(self.sim_log) as log:
            return int(log.readline().split(" ")[1]) / 1e6

    def stop(self):
        super().stop()
        if self.port_link and os.path.islink(self.port_link):
            os.unlink(self.port_link)
        subprocess.run(["rm", "-rf", self.home], check=False)
