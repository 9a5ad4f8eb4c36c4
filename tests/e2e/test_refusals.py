"""Commands the radio refuses, against quelmo-sim as the FT-991A: the
operator hears "refused" after the key's own words, the traffic log names the
refused command, and the program gives the refused value up."""

import unittest

import station_test
from station import wait_until
from station_test import StationTest


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


class Refusals(StationTest):
    def test_a_frequency_outside_the_radios_coverage(self):
        # 900 MHz is beyond the radio's highest band: "okay" for the entry,
        # then "refused", and F says where the radio still is.
        station = self.station(sim_options=["--steady"])
        since = self.mark(station)
        station.press("e", "9", "0", "0", "Return")
        self.assertSent(station, since, ["FA900000000;"])
        station.wait_for_words(["ef", "9", "0", "0", "preamp", "off", "ok", "refused"])
        wait_until(lambda: "REFUSED=FA900000000;" in station.debug_lines(), 5, "the log's line")
        self.assertTrue(any(l.startswith("RX=") and "?;" in l for l in station.debug_lines()))
        station.press("f")
        station.wait_for_words(["ok", "refused", "lsb", "7", "point", "1", "mhz"])

    def test_a_command_the_radio_does_not_have(self):
        # A radio without a notch command: with the arrows on the AF gain
        # F5 sends its one command, "BC01", which the radio refuses.
        station = self.station(sim_options=["--without", "BC0"])
        since = self.mark(station)
        station.press("a", "F5")
        self.assertSent(station, since, ["BC01;"])
        station.wait_for_words(["af", "notch", "on", "refused"])
        wait_until(lambda: "REFUSED=BC01;" in station.debug_lines(), 5, "the log's line")
        # The program gave the notch up: F5 switches it on again.
        since = self.mark(station)
        station.press("F5")
        self.assertSent(station, since, ["BC01;"])
        station.wait_for_words(["refused", "notch", "on", "refused"])


if __name__ == "__main__":
    unittest.main()
