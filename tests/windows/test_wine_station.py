"""quelmo.exe under Wine and Xvfb against quelmo-sim on COM1, and through
rigctld: the Linux program's end-to-end cases on the Windows build (with
Windows' own ways to end it), and what only Windows has: the end of a session while a word is
said, the port's long name, the line the radio sees, the package as
unzipped, what its read-me names and its voice, no sound device."""

import array
import os
import re
import shutil
import subprocess
import sys
import termios
import time
import unittest
import zipfile

from wine_station import PACKAGE, WINE_RUN, WineStation, stop_wine  # first: e2e path

import station_test  # noqa: E402
import test_ends  # noqa: E402
import test_keys_and_display  # noqa: E402
import test_rigctld  # noqa: E402
import test_station  # noqa: E402
from rigctld import RigctldStation  # noqa: E402
from station import STATION_CONFIG, wait_until  # noqa: E402
from test_voice import VOCABULARY, value_of, wav_bytes  # noqa: E402

KEYS_PAGE = os.path.join(os.path.dirname(__file__), "..", "..", "docs", "keys.md")
STATION_PAGE = os.path.join(os.path.dirname(__file__), "..", "..", "docs", "station.md")
# The Linux build's default voice and the vocabulary it is made from.
LINUX_BUILD = os.path.join(os.path.dirname(__file__), "..", "..", "build")

# Power switching on: the radio is switched off ("PS0;") at every orderly end.
POWER_SWITCHING = STATION_CONFIG[:6] + ["PWRCTL=1"] + STATION_CONFIG[7:]


def setUpModule():
    stop_wine()  # nothing left from an earlier run, tied to another display
    station_test.start_x_server()


def tearDownModule():
    stop_wine()
    station_test.stop_x_server()


class WineStationTest(station_test.StationTest):
    station_class = WineStation

    def assertSwitchedOffAtTheEnd(self, station):
        self.assertEqual(station.wait_for_exit(timeout=20), 0)
        self.assertEqual(station.radio_commands()[-1], "PS0;")


# The Linux program's cases, on quelmo.exe.
class OpeningAndConnection(WineStationTest, test_station.OpeningAndConnection):
    pass


class Controls(WineStationTest, test_station.Controls):
    pass


class MemoryFile(WineStationTest, test_station.MemoryFile):
    pass


class RadioLink(WineStationTest, test_station.RadioLink):
    pass


class RollingKeys(WineStationTest, test_keys_and_display.RollingKeys):
    pass


class StationFile(WineStationTest, test_station.StationFile):
    pass


class WineRigctldStation(WineStation, RigctldStation):
    """quelmo.exe with RIGCTLD=: Winsock, through Wine's sockets, reaches the
    Linux rigctld."""


class RigctldKeys(test_rigctld.Keys):
    station_class = WineRigctldStation


class RigctldLink(test_rigctld.Link):
    station_class = WineRigctldStation
    measures_cpu = False  # Wine's own processes share the work


class RigctldRefusals(test_rigctld.Refusals):
    station_class = WineRigctldStation


class RigctldCheck(test_rigctld.Check):
    station_class = WineRigctldStation


def end_session(station):
    """What Windows does at log-off or shut-down: WM_QUERYENDSESSION and
    WM_ENDSESSION to every window, then the end of every program."""
    subprocess.run([WINE_RUN, "wineboot", "--end-session"],
                   env=dict(os.environ, DISPLAY=station.x.display), check=True, timeout=60)


class Ends(WineStationTest, test_ends.Ends):
    # The ways a Windows program ends; signals and a lost X display are not.
    ENDS = {name: test_ends.ENDS[name] for name in ("quit key", "close box", "Alt+F4")}
    ENDS["end of session"] = end_session

    @unittest.skip("no terminal to close on Windows")
    def test_a_closed_terminal_stops_the_tuner_first(self):
        pass


class EndsCutThePhrase(WineStationTest, test_ends.EndsCutThePhrase):
    PHRASE_ENDS = {"close box": test_ends.ENDS["close box"]}


class OnWindows(WineStationTest):
    def test_start_time_and_the_line_the_radio_sees(self):
        for server in ("Wine server not running", "Wine server running"):
            if server.endswith("not running"):
                stop_wine()
            station = self.new_station()
            station.start()
            window = time.monotonic() - station.started_at
            first_command = station.first_command_at() - station.started_at
            station.wait_connected()
            print("\nquelmo.exe under Wine, %s: window after %.2f s, first command after %.2f s"
                  % (server, window, first_command), file=sys.stderr)
            if server.endswith("not running"):
                station.press("q")
                station.wait_for_exit()
        # 38400 baud, 8 data bits, no parity, two stop bits, no flow control.
        iflag, _, cflag, _, ispeed, ospeed, _ = station.termios()
        self.assertEqual((ispeed, ospeed), (termios.B38400, termios.B38400))
        self.assertEqual(cflag & termios.CSIZE, termios.CS8)
        self.assertTrue(cflag & termios.CSTOPB)
        self.assertFalse(cflag & (termios.PARENB | termios.CRTSCTS))
        self.assertFalse(iflag & (termios.IXON | termios.IXOFF))

    def test_port_12_is_reached_by_its_long_name(self):
        station = self.new_station(config=["port12"] + STATION_CONFIG[1:], sim_port=12)
        station.start()
        station.wait_connected()

    def test_the_packaged_check_says_why_the_radio_is_not_reached(self):
        # The package's own quelmo-check.exe and voice, as unzipped; line 1
        # names a port Wine does not have.
        station = self.new_station(config=None, sim_port=None)
        shutil.rmtree(os.path.join(station.folder, "wave"))
        with zipfile.ZipFile(PACKAGE) as package:
            package.extractall(station.folder)
        with open(os.path.join(station.folder, "quelmo.cfg"), "r+b") as settings:
            settings.write(b"COM7")
        code, text, _ = station.check(os.path.join(station.folder, "quelmo-check.exe"))
        self.assertEqual(code, 1, text)
        self.assertIn("  Line 1, port 7: COM7 (\\\\.\\COM7), as Device Manager names the port",
                      text)
        self.assertIn("not reached: ", text)
        # The default voice's words, a second and more of them.
        self.assertGreater(sum(1 for s in station.sound_samples() if s), 44100)

    def test_end_of_session_waits_for_the_radio_to_be_switched_off(self):
        # Windows ends a program once its window has answered the end of the
        # session; the program is still saying a long word then.
        station = self.new_station(config=POWER_SWITCHING)
        lsb = array.array("h", [value_of(VOCABULARY.index("lsb"))] * 88200)  # 2 s
        with open(os.path.join(station.folder, "wave", "lsb.wav"), "wb") as word:
            word.write(wav_bytes(lsb))
        station.start()
        station.wait_connected()
        station.press("f")
        station.wait_for_words(["lsb"])
        end_session(station)
        self.assertSwitchedOffAtTheEnd(station)

    def test_the_package_runs_as_unzipped(self):
        # quelmo-windows.zip as scripts/windows packs it: its quelmo.exe,
        # default voice and quelmo.cfg (port 1, no log).
        self.assertTrue(os.path.exists(PACKAGE), "no %s: run scripts/windows" % PACKAGE)
        station = self.new_station(config=None)
        shutil.rmtree(os.path.join(station.folder, "wave"))
        with zipfile.ZipFile(PACKAGE) as package:
            package.extractall(station.folder)
        station.start(exe=os.path.join(station.folder, "quelmo.exe"))
        # Keys answer "nc" until the radio's first frequency reply is read.
        wait_until(lambda: station.radio_commands().count("FA;") >= 3, 10, "the poll")
        since = self.mark(station)
        station.press("Prior")
        self.assertSent(station, since, ["FA007110000;"])
        # The greeting and "connected" in the default voice: a second and more.
        wait_until(lambda: sum(1 for s in station.sound_samples() if s) > 44100, 10,
                   "the default voice")

    def test_the_title_carries_the_readings_and_the_system_speech_speaks(self):
        # Wine has no screen reader, so its SAPI voice says the answers; what
        # it does with them is Wine's. The recordings are left alone but for
        # the greeting, which comes before quelmo.cfg is read.
        station = self.new_station(config=STATION_CONFIG + ["SYSTEM_SPEECH=1"])
        station.start()
        station.wait_connected()
        title = lambda: station.xdotool("getwindowname", station.window)
        wait_until(lambda: title().startswith("LSB 7.100000 S"), 10, "the readings in the title")
        self.assertTrue(title().endswith(" - *** Quelmo Front Panel v1.9 ***"), title())
        station.press("Prior", "f")
        wait_until(lambda: title().startswith("LSB 7.110000 S"), 10, "the new frequency")
        time.sleep(1)
        self.assertEqual(station.words(), ["quelmo", "1", "point", "9"])
        self.assertEqual([l for l in station.debug_lines() if l.startswith("ERR=")], [])

    def test_without_a_sound_device_it_runs_mute(self):
        station = self.new_station(sound=False)
        station.start()
        station.wait_connected()
        since = self.mark(station)
        station.press("F1")
        self.assertSent(station, since, ["PA01;"])
        self.assertEqual(station.words(), [])


class Package(unittest.TestCase):
    def test_the_read_me_names_what_the_package_holds(self):
        with zipfile.ZipFile(PACKAGE) as package:
            names = set(package.namelist())
            text = {name: package.read(name).decode() for name in names if name.endswith(".txt")}
        written = {"problems.txt"}  # by quelmo.exe, when it finds something wrong
        for named in re.findall(r"[\w-]+\.(?:txt|md|exe|cfg)\b", text["README.txt"]):
            self.assertIn(named, names | written)
        self.assertIn("quelmo-check.exe", names)
        self.assertNotIn('"nc"', text["README.txt"])  # the word heard is "not connected"
        # The keys page as plain text: every key of its table on a line of
        # its own, no Markdown marks; the station guide's lines and menus.
        with open(KEYS_PAGE) as page:
            keys = re.findall(r"^\| ([^|]+?) \|", page.read(), re.M)[1:]
        self.assertGreater(len(keys), 20)
        for key in keys:
            self.assertIn("\r\n%s\r\n" % key, text["keys.txt"])
        for line in ["Line 8, the traffic log.", "SPEECH_CUT, 0 or 1", "CAT TOT: 100 msec."]:
            self.assertIn(line, text["station.txt"])
        for page in ("keys.txt", "station.txt"):
            self.assertFalse(set("|`") & set(text[page]), page)
        # station.txt names no Linux command, and no part of the station
        # guide it does not hold.
        with open(STATION_PAGE) as page:
            parts = re.findall(r"^## (.+)$", page.read(), re.M)
        held = [part for part in parts if "\r\n%s\r\n" % part in text["station.txt"]]
        self.assertIn("Checking the station", held)
        for part in set(parts) - set(held):
            self.assertNotIn(part, text["station.txt"])
        for linux in ("scripts/", "check-station", "Linux only", "<!--"):
            self.assertNotIn(linux, text["station.txt"])
        self.assertIn("quelmo-check.exe", text["station.txt"])

    def test_the_voice_is_the_default_voice_of_every_word(self):
        vocabulary = subprocess.run([os.path.join(LINUX_BUILD, "quelmo-vocabulary")],
                                    capture_output=True, text=True, check=True).stdout
        words = {line.split("\t")[0] for line in vocabulary.splitlines()}
        with zipfile.ZipFile(PACKAGE) as package:
            voice = {name[len("wave/"):]: package.read(name) for name in package.namelist()
                     if name.startswith("wave/") and not name.endswith("/")}
        self.assertEqual(set(voice), words)
        for name, data in voice.items():
            with open(os.path.join(LINUX_BUILD, "wave", name), "rb") as made:
                self.assertTrue(data == made.read(), "%s is not build/wave's" % name)


if __name__ == "__main__":
    unittest.main()
