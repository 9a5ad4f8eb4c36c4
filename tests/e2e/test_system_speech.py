"""The system's speech end to end (SYSTEM_SPEECH=1): the real program under
Xvfb against quelmo-sim, its texts going to a private speech-dispatcher whose
output module writes down what it is given (speech_service.py); the fallback
to the recorded words when there is no service; the window's title."""

import time
import unittest

import station_test
from speech_service import SpeechService
from station import STATION_CONFIG, Station, wait_until
from station_test import StationTest

GREETING = ["quelmo", "1", "point", "9"]  # recorded: said before quelmo.cfg is read


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


class SystemSpeech(StationTest):
    service = None

    def speaking_station(self, options=("SYSTEM_SPEECH=1",), seconds=0.2, service=True,
                         start=True):
        if service:
            self.service = SpeechService(seconds)
            self.addCleanup(self.service.stop)
        extra = self.service.environment if service else {
            "SPEECHD_ADDRESS": "unix_socket:/nonexistent/speechd.sock",
            "SPEECHD_CMD": "/nonexistent/speech-dispatcher"}

        class SpeakingStation(Station):
            def _environment(self):
                return dict(super()._environment(), **extra)

        self.station_class = SpeakingStation
        layout = {"config": STATION_CONFIG + list(options), "sim_options": ["--steady"]}
        return self.station(**layout) if start else self.new_station(**layout)

    def test_each_key_is_one_utterance_in_order_and_no_recording_plays(self):
        station = self.speaking_station()
        said = self.service.wait_for(1)
        self.assertEqual(said, ["connected"])
        station.press("f", "m", "f", "b", "p", "a", delay_ms=700)
        said = self.service.wait_for(7)
        time.sleep(1)
        self.assertEqual(self.service.texts()[1:], [
            "L S B seven point one megahertz",
            "U S B",
            "U S B seven point one megahertz",
            "band forty metres",
            "power one zero zero watts",
            "A F gain",
        ])
        time.sleep(0.5)
        self.assertEqual(station.words(), GREETING)

    def test_a_key_cuts_the_utterance_with_speech_cut(self):
        station = self.speaking_station(options=("SYSTEM_SPEECH=1", "SPEECH_CUT=1"), seconds=2)
        self.service.wait_for(1)
        wait_until(lambda: self.service.ended() == ["connected"], 5, "connected said")
        station.press("f", "m", delay_ms=400)
        said = self.service.wait_for(3)
        self.assertEqual(said[1:], ["L S B seven point one megahertz", "U S B"])
        time.sleep(2.5)
        self.assertEqual(self.service.ended(), ["connected", "U S B"])

    def test_without_speech_cut_each_utterance_waits_for_the_one_before(self):
        station = self.speaking_station(seconds=1)
        self.service.wait_for(1)
        station.press("f", "m", delay_ms=200)
        said = self.service.wait_for(3)
        time.sleep(1.5)
        self.assertEqual(said[1:], ["L S B seven point one megahertz", "U S B"])
        wait_until(lambda: len(self.service.ended()) == 3, 5, "all said")
        begun = [moment for moment, _ in self.service.begun()]
        self.assertGreater(begun[2] - begun[1], 0.9)  # after the frequency, said whole

    def test_without_the_service_the_recorded_words_are_said_and_why_is_told_once(self):
        station = self.speaking_station(service=False)
        station.wait_for_words(["connected"])
        station.press("f")
        station.wait_for_words(["lsb", "7", "point", "1", "mhz"])
        errors = [line for line in station.debug_lines() if line.startswith("ERR=")]
        self.assertEqual(len(errors), 1, errors)
        self.assertIn("SYSTEM_SPEECH=1: the system's speech cannot be used", errors[0])
        self.assertIn("the recorded words are said instead", errors[0])
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        told = [line for line in station.quelmo.stderr.read().decode().splitlines()
                if "SYSTEM_SPEECH" in line]
        self.assertEqual(len(told), 1, told)

    def test_the_window_title_follows_the_readings_shown(self):
        station = self.speaking_station()
        title = lambda: station.xdotool("getwindowname", station.window)
        wait_until(lambda: title().startswith("LSB 7.100000 S"), 5, "the readings in the title")
        self.assertTrue(title().endswith(" - *** Quelmo Front Panel v1.9 ***"), title())
        station.press("Prior", "m")
        wait_until(lambda: title().startswith("USB 7.110000 S"), 5, "the new readings: " + title())

    def test_the_station_check_says_which_speech_and_speaks_through_it(self):
        station = self.speaking_station(start=False)
        _, printed, words = station.check()
        self.assertIn("Speech: the system's speech, in your own voice (SYSTEM_SPEECH=1)", printed)
        self.assertIn("it answered ID", printed)
        said = self.service.wait_for(2)
        time.sleep(0.5)
        said = self.service.texts()
        self.assertTrue(said[0].startswith("port one speed three eight four zero zero power"), said)
        self.assertTrue(said[-1].startswith("connected I D "), said)
        self.assertEqual(words, [])  # nothing recorded


if __name__ == "__main__":
    unittest.main()
