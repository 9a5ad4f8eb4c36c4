"""The radio's own knob, turned by the simulated radio's knob lines a moment
before a key: no key takes the radio back to the frequency the program knew,
and the keys that start from the frequency start from the knob's. A radio
found after a start without it, or again after it was lost, is known before
anything is said about it."""

import re
import time
import unittest

import station_test
from station import STATION_CONFIG, wait_until
from station_test import StationTest

FREQUENCY_COMMAND = re.compile(r"^FA\d{9};$")
# Seconds from the knob's last turn to the key: within the poll's cycle, and
# after it.
DELAYS = (0.04, 0.15, 0.30)
MODES = ["1", "2", "3", "5"]  # M on 40 m: LSB, USB, CW, AM (MD05), and round again
USB = "2"


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


def rounded(hz, mode):
    """To a whole kilohertz: up in USB, down in the other modes."""
    down = hz - hz % 1000
    return down + 1000 if mode == USB and hz % 1000 else down


# Each key: what it does to the frequency ("step" and the hertz, "round",
# "mode" for M, or None: it sends no frequency), and the keys that bring the
# station back to the arrows on the frequency with nothing waiting.
KEYS = [
    ("Prior", ("step", 10_000), ()), ("Next", ("step", -10_000), ()),
    ("Up", ("step", 1_000), ()), ("Down", ("step", -1_000), ()),
    ("Right", ("step", 100), ()), ("Left", ("step", -100), ()),
    ("equal", ("step", 1_000_000), ()), ("minus", ("step", -1_000_000), ()),
    ("z", ("round",), ()), ("m", ("mode",), ()),
    ("f", None, ()), ("s", None, ()),
    ("F1", None, ()), ("F2", None, ()), ("F3", None, ()), ("F4", None, ()),
    ("F5", None, ()), ("F6", None, ()),
    ("x", None, ()), ("BackSpace", None, ()), ("comma", None, ()), ("space", None, ()),
    ("KP_1", None, ()), ("Escape", None, ()),
    ("a", None, ("f",)), ("r", None, ("f",)), ("p", None, ("f",)), ("w", None, ("f",)),
    ("b", None, ("f",)), ("c", None, ()), ("g", None, ()), ("h", None, ()),
    ("5", None, ()), ("period", None, ()), ("Return", None, ()),
    ("e", None, ("Return",)),
]


class KnobThenKey(StationTest):
    def test_no_key_takes_the_radio_back_after_a_knob_turn(self):
        station = self.station()
        mode = "1"
        turns = 0
        for delay in DELAYS:
            for key, action, reset in KEYS:
                knob_hz = 7_050_450 + turns * 1_013  # on 40 m, never on a kilohertz
                turns += 1
                turned = station.knob_turned("freq %d" % knob_hz)
                time.sleep(max(0.0, turned + delay - time.monotonic()))
                since = self.mark(station)
                station.press(key)
                if action is None:
                    expected = []
                elif action[0] == "step":
                    expected = ["FA%09d;" % (knob_hz + action[1])]
                elif action[0] == "round":
                    expected = ["FA%09d;" % rounded(knob_hz, mode)]
                else:
                    mode = MODES[(MODES.index(mode) + 1) % len(MODES)]
                    expected = ["MD0%s;" % mode, "FA%09d;" % rounded(knob_hz, mode)]
                self.handled(station)
                sent = [c for c in station.key_commands(since)
                        if FREQUENCY_COMMAND.match(c) or c.startswith("MD0")]
                self.assertEqual(sent, expected, "%s %.2f s after the knob" % (key, delay))
                for other in reset:
                    station.press(other)
                    self.handled(station)

    def handled(self, station):
        """Until the program has handled the keys pressed so far: the poll's
        meter question has gone out twice since (a key never asks it)."""
        now = time.monotonic()
        wait_until(lambda: station.commands_after(now).count("SM0;") >= 2, 8,
                   "two meter questions after the key")


class RadioFoundLater(StationTest):
    def test_adapter_plugged_in_later_brings_the_radio_to_the_opening_state(self):
        # The radio is in USB on 20 m when its adapter is plugged in: it
        # gets the opening's commands before "connected", and F says their
        # mode and frequency; 20 m's memory is not taken from it.
        station = self.station(sim_options=["--unplugged"], connect=False)
        station.wait_for_words(["nodev"])
        station.knob("mode 2")
        station.knob("freq 14250000")
        since = self.mark(station)
        station.knob("plug")
        station.wait_connected()
        # Asked who it is first, so that the opening's commands go in its
        # model's own forms.
        self.assertSent(station, since, ["TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;",
                                         "NR00;", "PC100;", "AG0050;", "BC00;", "SH014;",
                                         "FA007100000;"])
        station.press("f")
        said = station.wait_for_words(["connected", "lsb", "7", "point", "1", "mhz"])
        self.assertNotIn("usb", said)
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(station.read_lines("memory.dat")[6], "2014200000")  # 20 m as it was

    def test_radio_switched_on_after_its_adapter_was_plugged_in(self):
        # Without power switching the radio stays off and silent until the
        # operator switches it on: then it gets the opening's commands.
        station = self.station(sim_options=["--unplugged", "--off"], connect=False)
        station.wait_for_words(["nodev"])
        station.knob("plug")
        station.wait_for_words(["nodev", "noanswer"])
        since = self.mark(station)
        station.knob("on")
        station.wait_connected()
        self.assertSent(station, since, ["TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;",
                                         "NR00;", "PC100;", "AG0050;", "BC00;", "SH014;",
                                         "FA007100000;"])
        station.press("f")
        station.wait_for_words(["connected", "lsb", "7", "point", "1", "mhz"])

    def test_with_power_switching_a_radio_found_off_is_switched_on(self):
        config = list(STATION_CONFIG)
        config[6] = "PWRCTL=1"
        station = self.station(sim_options=["--unplugged", "--off"], connect=False,
                               config=config)
        station.wait_for_words(["nodev"])
        since = self.mark(station)
        station.knob("plug")
        station.wait_connected(timeout=15)
        self.assertSent(station, since, ["Power on;", "PS1;", "TX0;", "ID;", "MD01;", "PA00;",
                                         "RA00;", "NB00;", "NR00;", "PC100;", "AG0050;", "BC00;",
                                         "SH014;", "FA007100000;"])
        station.press("f")
        station.wait_for_words(["connected", "lsb", "7", "point", "1", "mhz"])

    def test_lost_and_back_after_a_mode_change_at_the_radio(self):
        station = self.station()
        station.wait_for_words(["connected"])
        station.knob("off")
        station.wait_for_words(["lost", "noanswer"])
        station.knob("mode 2")
        station.knob("freq 14230000")
        since = self.mark(station)
        station.knob("on")
        station.wait_for_words(["lost", "noanswer", "connected"])
        station.press("f")
        station.wait_for_words(["connected", "usb", "1", "4", "point", "2", "3", "mhz"])
        # Nothing was sent to take the radio back: it was only asked (its
        # identity, its mode and frequency among the poll's questions).
        self.assertEqual(station.key_commands(since), ["ID;"])


if __name__ == "__main__":
    unittest.main()
