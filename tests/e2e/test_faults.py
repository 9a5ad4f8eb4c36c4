"""The real program against a radio that misbehaves and a port that fails:
it never crashes, never spins, keeps answering keys and sends the radio only
well-formed commands (checked after every test by StationTest)."""

import os
import time
import unittest

import station_test
from station import POLL_QUERIES, STATION_CONFIG, wait_until
from station_test import StationTest


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


def config_with_port(line):
    return [line] + STATION_CONFIG[1:]


class MisbehavingRadio(StationTest):
    def test_silent_radio_gets_only_queries_and_keys_answer_nc(self):
        station = self.station(sim_options=["--silent"], connect=False)
        wait_until(lambda: "FA007100000;" in station.radio_commands(), 8, "the opening sequence")
        since = self.mark(station)
        station.press("f", "F1", "b", "6")
        station.wait_for_words(["nc", "nc", "nc", "nc"])
        time.sleep(1.0)
        sent = station.radio_commands()[since:]
        self.assertEqual([c for c in sent if c not in POLL_QUERIES], [])
        self.assertGreater(sent.count("FA;"), 5, "the poll stopped asking")
        self.assertNotIn("connected", station.words())
        self.assertTrue(station.running())

    def test_late_replies_arriving_across_every_read_are_read(self):
        # Each reply comes 120 ms late in two parts 40 ms apart, so every
        # read catches the end of one reply and the start of the next.
        station = self.station(sim_options=["--delay", "120", "--split=40"])
        station.knob("freq 14250000")
        self.stored_frequency_is(station, "014250000")

    def test_split_replies_are_read(self):
        station = self.station(sim_options=["--split=30"])
        station.knob("freq 21300000")
        self.stored_frequency_is(station, "021300000")

    def test_garbled_replies_never_become_commands(self):
        station = self.station(sim_options=["--garble", "0.6"], connect=False)
        wait_until(lambda: "FA007100000;" in station.radio_commands(), 8, "the opening sequence")
        time.sleep(1.5)  # some thirty garbled and whole replies
        since = self.mark(station)
        station.press("F2")
        self.assertSent(station, since, ["RA01;"])
        self.assertTrue(station.running())
        self.assertTrue(any(l.startswith("RX=") for l in station.debug_lines()))

    def test_radio_switched_off_and_on_again_is_followed(self):
        station = self.station()
        station.knob("off")
        time.sleep(0.5)
        since = self.mark(station)
        station.press("F3")
        self.assertSent(station, since, ["NB01;"])
        station.wait_for_words(["nb", "on"])
        station.knob("on")
        station.knob("freq 3600000")
        wait_until(lambda: "RX=FA003600000;" in station.debug_lines(), 5, "the radio back on")
        self.assertEqual(station.words().count("connected"), 1)

    def stored_frequency_is(self, station, digits):
        """The program's own idea of the frequency, read back through a
        memory channel: a fragment taken for a reply would show here."""
        def received():  # the bytes read, however the reads cut them
            return "".join(l[3:] for l in station.debug_lines() if l.startswith("RX="))
        wait_until(lambda: "FA%s;" % digits in received(), 5, "the frequency")
        time.sleep(0.5)
        station.press("c", "5")
        station.wait_for_words(["sch", "5", "ok"])
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(station.read_lines("memory.dat")[19][1:], digits)


class FailingPort(StationTest):
    def test_hang_up_leaves_the_program_answering_keys_without_spinning(self):
        station = self.station()
        station.knob("hangup")
        station.sim.wait(timeout=5)
        station.wait_for_words(["connected", "lost"])
        before = station.cpu_seconds()
        time.sleep(2.0)
        used = station.cpu_seconds() - before
        self.assertLess(used, 0.4, "quelmo used %.2f s of CPU in 2 s after the hang-up" % used)
        station.press("F4")
        words = station.wait_for_words(["nc"])  # lost: keys are refused
        self.assertGreater(words.index("nc"), words.index("lost"))
        self.assertNotIn("TX=NR01;", station.debug_lines())
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(len(station.read_lines("memory.dat")), 24)

    def test_port_that_never_opens(self):
        # The radio sits on COM2; the station names port 3, for which there is
        # neither a COM3 entry nor a serial device, then port 0, which is none,
        # and a line 1 far longer than a line may be, which names none.
        cases = (("port3", ["nodev"]), ("port0", ["checkline", "1"]),
                 ("port1" + "x" * 100000, ["checkline", "1"]))
        for port_line, reason in cases:
            with self.subTest(port_line[:8]):
                if port_line == "port3" and os.path.exists("/dev/ttyS2"):
                    self.skipTest("this machine has a /dev/ttyS2")
                station = self.station(config=config_with_port(port_line), sim_port=2,
                                       connect=False)
                station.wait_for_words(reason)
                station.press("f", "e", "1", "4", "Return")
                station.wait_for_words(reason + ["nc", "nc"])
                self.assertTrue(station.running())
                station.press("q")
                self.assertEqual(station.wait_for_exit(), 0)
                self.assertEqual(station.radio_commands(), [])
                self.assertTrue(any(l == "TX=FA007100000;" for l in station.debug_lines()))
                if port_line.startswith("port1"):
                    self.assertIn("quelmo.cfg line 1 (100005 characters) names no port",
                                  station.quelmo.stderr.read().decode())

    def test_a_huge_file_as_the_port_holds_no_key_up(self):
        """COM1 a sparse file of 1 GiB, looked at once a second while no
        radio is reached: every key, and Q, is taken within 100 ms."""
        station = self.new_station(sim_port=None)
        with open(os.path.join(station.folder, "COM1"), "wb") as huge:
            huge.truncate(1 << 30)
        station.start()
        station.wait_for_words(["noaddress"])
        delays = []
        station.focus()
        for key, line in [("f", "F")] * 8 + [("q", "Q")]:
            handled = station.debug_lines().count(line)
            pressed = time.monotonic()
            station.xdotool("key", "--delay", "0", key)
            while station.debug_lines().count(line) == handled and time.monotonic() < pressed + 30:
                time.sleep(0.002)
            delays.append(time.monotonic() - pressed)
            time.sleep(0.37)  # the keys fall on every part of the second between tries
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertLess(max(delays), 0.1, ["%.3f" % d for d in delays])


if __name__ == "__main__":
    unittest.main()
