"""The options after the eighth line of quelmo.cfg, end to end: the real
program under Xvfb against quelmo-sim, its speech decoded from the disk
audio driver's output."""

import array
import math
import os
import time
import unittest

import station_test
from station import STATION_CONFIG, wait_until
from station_test import StationTest
from test_voice import RATE, read_samples, wav_bytes, word_runs, write_test_voice

BUFFER = 512  # the sound device's buffer, in samples
# The tests run with flush_sound.cpp preloaded: the output file grows buffer
# by buffer as the program hands them out.


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


def vowel(seconds, pitch_hz=200):
    """A voiced sound: pulses at the pitch, each a decaying 1 kHz ring."""
    period = RATE // pitch_hz
    return array.array("h", (int(12000 * math.exp(-(i % period) / RATE * 600)
                                 * math.cos(2 * math.pi * 1000 * (i % period) / RATE))
                             for i in range(int(seconds * RATE))))


def pitch_period(samples):
    """The strongest period between 2 and 10 ms, by autocorrelation."""
    middle = len(samples) // 3
    window = samples[middle:middle + 2000]
    def score(lag):
        return sum(a * b for a, b in zip(window, samples[middle + lag:middle + lag + 2000]))
    return max(range(RATE // 500, RATE // 100), key=score)


class Options(StationTest):
    def options_station(self, options, sim_options=(), **layout):
        return self.station(sim_options=sim_options, config=STATION_CONFIG + options, **layout)

    def test_an_eight_line_file_sends_and_says_what_it_always_did(self):
        # The same keys, with the eight lines alone and with every option at
        # its default, give the very same commands and words.
        heard = []
        for options in ([], ["SPEECH_CUT=0", "SPEECH_RATE=1", "SPEAK_RADIO_CHANGES=0"]):
            station = self.options_station(options, sim_options=["--steady"])
            station.wait_for_words(["connected"])
            station.press("f", "Prior", "m", "b", "6", "t", "t", "s", delay_ms=400)
            station.wait_for_words(["tune", "off"])
            time.sleep(1.5)
            station.knob("freq 14250000")
            station.knob("mode 2")
            time.sleep(2)
            # The mode is asked once, when the radio is found; the poll never asks it.
            self.assertEqual(station.radio_commands().count("MD0;"), 1)
            heard.append((station.key_commands(), station.words()))
            station.stop()
        self.assertEqual(heard[0], heard[1])
        commands, words = heard[0]
        # After the opening (which asks the radio's identity), each key's
        # own commands: T and S send no frequency.
        self.assertEqual(commands[12:], [
            "FA007110000;", "MD02;", "FA007110000;", "MD02;", "FA007110000;",
            "FA014200000;", "PA01;", "PC005;", "MD05;", "TX1;", "TX0;", "PC100;", "MD02;",
            "FA014200000;"])
        self.assertEqual(words, [
            "quelmo", "1", "point", "9", "connected", "lsb", "7", "point", "1", "mhz", "usb",
            "band", "40", "metres", "20", "metres", "preamp", "on", "tune", "on", "tune", "off",
            "s", "2"])

    def test_bad_option_lines_are_reported_and_ignored(self):
        station = self.new_station(config=STATION_CONFIG + [
            "SPEECH_RATE=9", "SPEAK_RADIO_CHANGE=1", "SPEECH_CUT=yes", "speech_cut = 1"])
        code, text, _ = station.check()
        self.assertEqual(code, 1, text)
        for line in ['Line 9, "SPEECH_RATE=9": It has a value other than 0.5 to 3: Quelmo ignores',
                     'Line 10, "SPEAK_RADIO_CHANGE=1": It names no option the program knows',
                     "Option SPEECH_CUT=1 (1: a key pressed while a phrase is spoken stops it",
                     "Option SPEECH_RATE=1, the default (", "Option SPEAK_RADIO_CHANGES=0, the "]:
            self.assertIn(line, text)
        station.start()
        station.wait_connected()
        station.press("f")
        station.wait_for_words(["lsb", "7", "point", "1", "mhz"])
        errors = [l for l in station.debug_lines() if l.startswith("ERR=")]
        self.assertEqual(errors, [
            'ERR=quelmo.cfg line 9 "SPEECH_RATE=9" has a value other than 0.5 to 3: ignored',
            'ERR=quelmo.cfg line 10 "SPEAK_RADIO_CHANGE=1" names no option the program knows: '
            'ignored',
            'ERR=quelmo.cfg line 11 "SPEECH_CUT=yes" has a value other than 0 or 1: ignored'])
        station.quelmo.terminate()
        self.assertEqual(station.quelmo.stderr.read().decode().count("quelmo.cfg line"), 3)
        self.assertEqual(station.radio_commands().count("MD0;"), 1)  # only when found

    def test_a_key_cuts_the_phrase_within_a_buffer_and_is_answered_at_once(self):
        station = self.new_station(config=STATION_CONFIG + ["SPEECH_CUT=1"],
                                   sim_options=["--steady"])
        long_word = RATE * 3 // 10  # 0.3 s: F's phrase lasts 1.6 s
        write_test_voice(os.path.join(station.folder, "wave"), sound_samples=long_word)
        station.start()
        station.wait_connected()
        station.wait_for_words(["connected"])
        time.sleep(1.5)
        start = len(read_samples(station.audio_file))
        station.press("f")
        wait_until(lambda: [w for _, _, w in word_runs(read_samples(station.audio_file, start))]
                   [:2] == ["lsb", "7"], 5, "F's second word")
        time.sleep(0.1)
        playing = len(read_samples(station.audio_file))
        station.xdotool("keydown", "s")
        sent = len(read_samples(station.audio_file))  # the key is in the program's hands
        station.xdotool("keyup", "s")
        station.wait_for_words(["s", "2"])
        runs = word_runs(read_samples(station.audio_file, start))
        self.assertEqual([w for _, _, w in runs], ["lsb", "7", "s", "2"])
        cut = runs[1]
        self.assertLess(cut[1], long_word)  # "7" was cut short
        # The phrase played on until the key came, and no more than one
        # buffer after the key had been sent.
        phrase_end = start + cut[0] + cut[1]
        self.assertGreaterEqual(phrase_end, playing)
        self.assertLessEqual(phrase_end, sent + BUFFER)
        # S's answer follows within a buffer of the cut.
        self.assertLessEqual(runs[2][0] - (cut[0] + cut[1]), BUFFER)

    def test_words_at_the_speech_rate_keep_their_pitch(self):
        for rate in (0.5, 2.5):
            with self.subTest(rate=rate):
                station = self.new_station(config=STATION_CONFIG + ["SPEECH_RATE=%g" % rate])
                recorded = vowel(0.8)
                with open(os.path.join(station.folder, "wave", "help.wav"), "wb") as wav:
                    wav.write(wav_bytes(recorded))
                station.start()
                station.wait_for_words(["connected"])
                time.sleep(0.5)
                start = len(read_samples(station.audio_file))
                station.press("h")
                heard = wait_until(lambda: self.sound_after(station, start, len(recorded) / rate),
                                   8, "the help at the rate")
                self.assertAlmostEqual(len(heard), len(recorded) / rate,
                                       delta=0.05 * len(recorded) / rate)
                self.assertAlmostEqual(pitch_period(heard), RATE // 200, delta=2)
                station.stop()

    @staticmethod
    def sound_after(station, start, expected):
        """The sound from `start` on, once a tenth of a second of silence
        follows it; quiet stretches within it are inside pitch periods."""
        samples = read_samples(station.audio_file, start)
        loud = [i for i, s in enumerate(samples) if abs(s) > 200]
        if not loud or len(samples) - loud[-1] < RATE // 10 or loud[-1] - loud[0] < expected / 2:
            return None
        return samples[loud[0]:loud[-1] + 1]

    def test_changes_made_at_the_radio_are_said_once_they_rest(self):
        station = self.options_station(["SPEAK_RADIO_CHANGES=1"], sim_options=["--steady"])
        station.wait_for_words(["connected"])
        wait_until(lambda: "MD0;" in station.radio_commands(), 5, "the mode query")
        time.sleep(1)
        heard = len(station.words())
        # The knob turned for a second and a half, then left.
        for khz in range(14200, 14260, 5):
            station.knob("freq %d" % (khz * 1000))
            time.sleep(0.125)
        rested = time.monotonic()
        said = ["1", "4", "point", "2", "5", "5", "mhz"]
        wait_until(lambda: station.words()[heard:] == said, 5, "the frequency said")
        self.assertGreater(time.monotonic() - rested, 0.9)
        before = self.mode_label(station)
        station.knob("mode 2")
        wait_until(lambda: self.mode_label(station) != before, 3, "the mode shown")
        shown = time.monotonic()
        wait_until(lambda: station.words()[heard:] == said + ["usb"], 5, "the mode said")
        self.assertGreater(time.monotonic() - shown, 0.7)
        time.sleep(2)
        self.assertEqual(station.words()[heard:], said + ["usb"])  # each once
        # The program's own change is not the radio's.
        station.press("Prior")
        time.sleep(2.5)
        self.assertEqual(station.words()[heard:], said + ["usb"])

    @staticmethod
    def mode_label(station):
        return station.area(50, 45, 200, 60)


if __name__ == "__main__":
    unittest.main()
