"""The program's picture of the radio when keys come quickly, the radio
answers late and the line is slow: what it sends, says and keeps follows the
operator's keys, never a reply that tells how the radio was before them."""

import time
import unittest

import station_test
from station import wait_until
from station_test import StationTest


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


def frequency_commands(commands):
    return [c for c in commands if c.startswith("FA") and c != "FA;"]


class QuickKeysAndALateRadio(StationTest):
    def test_keys_typed_while_a_phrase_plays_work_from_the_chosen_band(self):
        # F's phrase is still playing when B, 6 and M come: they are handled
        # one after another once it ends, with no reply read between them.
        station = self.station(sim_options=["--delay", "60"])
        since = self.mark(station)
        station.press("f", "b", "6", "m", delay_ms=30)
        self.assertSent(station, since, ["MD02;", "FA007100000;", "FA014200000;", "PA01;",
                                         "MD03;", "FA014200000;"])
        station.wait_for_words(["20", "metres", "preamp", "on", "cw"])
        time.sleep(1.0)
        self.assertEqual(frequency_commands(station.key_commands(since))[-1], "FA014200000;")
        self.assertEqual([l for l in station.debug_lines() if l.startswith("RX=FA")][-1],
                         "RX=FA014200000;")

    def test_ten_quick_page_ups_with_the_radio_answering_late(self):
        station = self.station(sim_options=["--delay", "150"])
        since = self.mark(station)
        for gap in (0.03, 0.4, 0.1, 0.25, 0.03, 0.3, 0.15, 0.05, 0.2, 0):
            station.press("Prior")
            time.sleep(gap)
        expected = ["FA00%d000;" % khz for khz in range(7110, 7201, 10)]
        self.assertSent(station, since, expected)
        wait_until(lambda: "RX=FA007200000;" in station.debug_lines(), 5, "7.2 MHz at the radio")
        self.assertEqual(frequency_commands(station.key_commands(since)), expected)
        station.press("f")
        station.wait_for_words(["lsb", "7", "point", "2", "mhz"])


class SlowLine(StationTest):
    def test_s_meter_follows_the_radio_on_a_slow_line(self):
        # 4800 baud and a radio 20 ms late: every frequency reply straddles
        # the read, and the S-meter reply arrives behind its end.
        station = self.station(sim_options=["--baud", "4800", "--delay", "20", "--steady"])
        for reading, said in (("200", ["s", "9", "plus"]), ("030", ["s", "2"]),
                              ("100", ["s", "7"])):
            station.knob("smeter %d" % int(reading))
            wait_until(lambda: "SM0%s;" % reading in self.received(station), 5,
                       "S-meter %s on the line" % reading)
            time.sleep(0.5)
            heard = len(station.words())
            station.press("s")
            wait_until(lambda: len(station.words()) >= heard + 2, 5, "the S-meter")
            time.sleep(0.3)
            self.assertEqual(station.words()[heard:], said)

    @staticmethod
    def received(station):
        """Every byte read, however the reads cut the replies."""
        return "".join(l[3:] for l in station.debug_lines() if l.startswith("RX="))


if __name__ == "__main__":
    unittest.main()
