"""Every way the real program can end while it tunes with a carrier: the
quit key, the close box, Alt+F4, the window destroyed or its client killed
from outside, the termination signals and the display going away. Each must
switch the carrier off before anything else, keep the channel stored during
the run and switch the radio off; a channel stored is on disk at once, even
when the program is killed straight after; and a run after one killed while
transmitting stops the carrier before it sets the power."""

import os
import signal
import time
import unittest

import station_test
from station import POLL_QUERIES, STATION_CONFIG, XServer, wait_until
from station_test import StationTest
from test_voice import RATE, write_test_voice


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


# Carrier tuning, and the radio switched on at the start and off at the end.
POWER_CONTROLLED = STATION_CONFIG[:6] + ["PWRCTL=1", "DEBUG=1"]
TUNER = POWER_CONTROLLED[:4] + ["TUN=0"] + POWER_CONTROLLED[5:]
CHANNEL_3 = 17  # the line of channel 3 in memory.dat

ENDS = {
    "quit key": lambda station: station.press("q"),
    "close box": lambda station: station.close_box(),
    "Alt+F4": lambda station: station.press("alt+F4"),
    "window destroyed": lambda station: station.xdotool("windowclose", station.window),
    "client killed": lambda station: station.xdotool("windowkill", station.window),
    "SIGTERM": lambda station: station.quelmo.send_signal(signal.SIGTERM),
    "SIGINT": lambda station: station.quelmo.send_signal(signal.SIGINT),
    "SIGHUP": lambda station: station.quelmo.send_signal(signal.SIGHUP),
    "SIGQUIT": lambda station: station.quelmo.send_signal(signal.SIGQUIT),
    "display gone": lambda station: station.x.process.kill(),
}


class Ends(StationTest):
    ENDS = ENDS  # the ways a platform's program can end

    def tuning_station(self, config=POWER_CONTROLLED, x_server=None):
        """Connected, channel 3 stored, and tuning: the radio transmits (or
        its tuner runs). Returns the station and the index of the radio's
        log from which the tune key's commands are over."""
        station = self.new_station(config=config, x_server=x_server)
        station.start()
        station.wait_connected()
        station.press("c", "3")
        station.wait_for_words(["sch", "3", "ok"])
        self.assertEqual(station.read_lines("memory.dat")[CHANNEL_3], "1007100000")  # at once
        tune_on = "TX1;" if config[4] == "TUN=1" else "AC002;"
        since = self.mark(station)
        station.press("t")
        self.assertSent(station, since, [tune_on])
        tuned = station.radio_commands().index(tune_on, since)
        return station, tuned + 1

    def assertEndedInOrder(self, station, since, end_commands):
        self.assertEqual(station.wait_for_exit(), 0, station.quelmo.stderr.read().decode())
        sent = station.radio_commands()[since:]
        self.assertEqual([c for c in sent if c not in POLL_QUERIES], end_commands)
        self.assertEqual(sent[-1], "PS0;")
        self.assertEqual(station.read_lines("memory.dat")[CHANNEL_3], "1007100000")
        self.assertNotIn("notsaved", station.words())

    def test_every_end_stops_the_carrier_first_saves_and_switches_off(self):
        for name, end in self.ENDS.items():
            with self.subTest(name):
                own_display = XServer() if name == "display gone" else None
                if own_display:
                    self.addCleanup(lambda x=own_display: (x.process.kill(), x.process.wait()))
                station, since = self.tuning_station(x_server=own_display)
                end(station)
                self.assertEndedInOrder(station, since,
                                        ["TX0;", "PC100;", "MD01;", "FA007100000;", "PS0;"])
                if name == "quit key":
                    self.assertEqual(station.words()[-1], "quit")

    def test_a_closed_terminal_stops_the_tuner_first(self):
        station, since = self.tuning_station(config=TUNER)
        station.quelmo.send_signal(signal.SIGHUP)
        self.assertEndedInOrder(station, since, ["AC001;", "PS0;"])

    def test_killed_after_a_store_the_channel_is_kept(self):
        station = self.station()
        station.press("c", "5")
        station.wait_for_words(["sch", "5", "ok"])
        station.quelmo.kill()
        station.wait_for_exit()
        self.assertEqual(station.read_lines("memory.dat")[19], "1007100000")

    def test_run_after_one_killed_while_transmitting_stops_the_carrier_first(self):
        station, _ = self.tuning_station()
        station.quelmo.kill()
        station.wait_for_exit()
        station.quelmo.stderr.close()
        since = self.mark(station)
        station.start()
        wait_until(lambda: "PC100;" in station.radio_commands()[since:], 10, "the power set")
        sent = station.key_commands(since)
        self.assertEqual(sent[0], "TX0;")
        self.assertLess(sent.index("TX0;"), sent.index("PC100;"))


# SWR readings said while tuning, in full.
SWR_SPOKEN = STATION_CONFIG[:3] + ["SWR=1"] + STATION_CONFIG[4:]


class EndsCutThePhrase(StationTest):
    """The end cuts whatever is being said, as a key does: the carrier goes
    off within 50 ms of the signal or the close box, however long the
    phrase."""

    PHRASE_ENDS = {name: ENDS[name] for name in ("SIGTERM", "close box")}

    def test_the_carrier_goes_off_at_once_whatever_is_said(self):
        for name, end in self.PHRASE_ENDS.items():
            with self.subTest(name):
                station = self.new_station(config=SWR_SPOKEN, sim_options=["--steady"])
                # 0.3 s words: the SWR said at each reading lasts 1.8 s.
                write_test_voice(os.path.join(station.folder, "wave"),
                                 sound_samples=RATE * 3 // 10)
                station.start()
                station.wait_connected()
                station.press("t")
                said = len(station.wait_for_words(["swr"]))
                wait_until(lambda: len(station.words()) > said, 5, "the SWR phrase going on")
                moment = time.monotonic()
                moment = end(station) or moment  # the close box says when it was sent
                self.assertEqual(station.wait_for_exit(), 0)
                delay = station.first_command_after(moment, "TX0;")
                self.assertIsNotNone(delay, "no TX0 after the end")
                self.assertLess(delay, 0.05, "TX0 came %.3f s after the %s" % (delay, name))


# How many times the race between a termination signal and the display's
# loss is run (half a second each).
END_RACES = int(os.environ.get("QUELMO_E2E_END_RACES", "50"))


class EndsWithTheDisplayGone(StationTest):
    def test_a_signal_and_the_display_lost_together_end_in_order(self):
        """SIGTERM and the X server killed together (a logout), in either
        order and at various delays: every run ends in order (status 0)
        within a second, never spinning in Xlib."""
        delays = [0, 0.001, 0.005, 0.02, 0.1]
        for run in range(END_RACES):
            signal_first = run % 2 == 0
            delay = delays[run // 2 % len(delays)]
            with self.subTest(run=run, signal_first=signal_first, delay=delay):
                x_server = XServer()
                self.addCleanup(lambda x=x_server: (x.process.kill(), x.process.wait()))
                station = self.new_station(x_server=x_server, sim_options=["--unplugged"])
                station.start()
                station.wait_for_words(["nodev"])
                steps = [lambda: station.quelmo.send_signal(signal.SIGTERM),
                         x_server.process.kill]
                if not signal_first:
                    steps.reverse()
                steps[0]()
                time.sleep(delay)
                steps[1]()
                ended = time.monotonic()
                self.assertEqual(station.wait_for_exit(timeout=5), 0)
                self.assertLess(time.monotonic() - ended, 1.0)


if __name__ == "__main__":
    unittest.main()
