"""The built program, driven by real key events, against quelmo-sim."""

import os
import time
import unittest

import station_test
from station import STATION_CONFIG, contains_in_order, wait_until
from station_test import StationTest

# "TX0;" first: a radio left transmitting stops before its power is set;
# then its identity, before anything is set in its model's forms.
OPENING_COMMANDS = ["TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;", "NR00;", "PC100;",
                    "AG0050;", "BC00;", "SH014;", "FA007100000;"]


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


class OpeningAndConnection(StationTest):
    def test_opening_commands_reach_the_radio_and_the_log(self):
        station = self.station()
        # The mode goes without a frequency: the radio's own is not known
        # yet (no "FA000000000", which a radio refuses).
        sent = station.radio_commands()[:12]
        self.assertEqual(sent, OPENING_COMMANDS)
        lines = station.debug_lines()
        self.assertRegex(lines[0], r"^QUELMO 1\.9  \d\d-\d\d-\d{4}   \d\d:\d\d:\d\d$")
        self.assertEqual(lines[1:3], ["TX=TX0;", "TX=ID;"])
        # The radio names its model, waited for before anything is set.
        self.assertEqual(lines[3:5], ["RX=ID0670;", "RADIO=FT-991A, ID0670;"])
        self.assertEqual([l[3:] for l in lines[5:15]], sent[2:])
        self.assertTrue(all(l.startswith("TX=") for l in lines[5:15]))
        self.assertEqual(station.wait_for_words(["connected"])[-1:], ["connected"])

    def test_keys_answer_nc_until_the_radio_answers(self):
        station = self.station(sim_options=["--off"], connect=False)
        wait_until(lambda: "FA007100000;" in station.radio_commands(), 8, "the opening sequence")
        station.press("f")
        station.wait_for_words(["nc"])
        self.assertNotIn("connected", station.words())
        station.knob("on")
        words = station.wait_for_words(["connected"])
        self.assertLess(words.index("nc"), words.index("connected"))


class Controls(StationTest):
    def test_direct_entry_sends_the_frequency_and_sets_the_preamp(self):
        station = self.station()
        since = self.mark(station)
        station.press("e", "1", "4", "period", "2", "Return")
        self.assertSent(station, since, ["FA014200000;"])
        station.wait_for_words(["preamp", "on", "ok"])
        wait_until(lambda: "RX=FA014200000;" in station.debug_lines(), 5, "the new frequency")

    def test_band_digit_selects_the_band(self):
        station = self.station()
        since = self.mark(station)
        station.press("b", "6")
        self.assertSent(station, since, ["MD02;", "FA007100000;", "FA014200000;", "PA01;"])
        station.wait_for_words(["band", "40", "metres", "20", "metres", "preamp", "on"])

    def test_page_up_in_fm_on_2m_steps_12_5_khz(self):
        station = self.station()
        station.press("e", "1", "4", "5", "period", "5", "Return")
        wait_until(lambda: "RX=FA145500000;" in station.debug_lines(), 8, "145.5 MHz")
        since = self.mark(station)
        station.press("Prior")
        self.assertSent(station, since, ["FA145512500;"])
        self.assertIn("MD0B;", station.key_commands())

    def test_carrier_tuning_and_back(self):
        station = self.station()
        since = self.mark(station)
        station.press("t")
        self.assertSent(station, since, ["PC005;", "MD05;", "TX1;"])
        wait_until(lambda: "RM6;" in station.radio_commands()[since:], 5, "the SWR poll")
        since = self.mark(station)
        station.press("t")
        # The carrier goes off before the power goes back up.
        self.assertSent(station, since, ["TX0;", "PC100;", "MD01;"])
        station.wait_for_words(["tune", "on"])
        station.wait_for_words(["tune", "off"])


class MemoryFile(StationTest):
    def test_store_recall_and_quit_saves(self):
        station = self.station()
        station.press("c", "3")
        station.wait_for_words(["sch", "3", "ok"])
        station.knob("freq 14200000")
        wait_until(lambda: "RX=FA014200000;" in station.debug_lines(), 5, "the knob's frequency")
        since = self.mark(station)
        station.press("g", "3")
        self.assertSent(station, since, ["MD01;", "FA014200000;", "FA007100000;"])
        station.wait_for_words(["gch", "3", "ok"])
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        memory = station.read_lines("memory.dat")
        self.assertEqual(len(memory), 24)
        self.assertEqual(memory[0], "V1.9")
        self.assertEqual(memory[17], "1007100000")
        self.assertEqual(station.words()[-1], "quit")

    def test_a_second_program_in_the_folder_ends_and_leaves_the_memories(self):
        # A double start: the second program finds the folder in use, says
        # so and ends, sending nothing to the first one's radio; the channel
        # the first one stores afterwards is still there when both have ended.
        station = self.station()
        since = self.mark(station)
        code, errors, words = station.second_program()
        self.assertEqual(code, 1, errors)
        self.assertEqual(words, ["quelmo", "1", "point", "9", "running"])
        station.press("c", "5")
        station.wait_for_words(["sch", "5", "ok"])
        self.assertEqual(station.key_commands(since), [])
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(station.read_lines("memory.dat")[19], "1007100000")

    def test_close_box_saves_without_saying_quit(self):
        station = self.station()
        station.knob("freq 14074000")
        wait_until(lambda: "RX=FA014074000;" in station.debug_lines(), 5, "the knob's frequency")
        station.close_box()
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(station.read_lines("memory.dat")[6], "1014074000")  # band 6, 20 m
        self.assertNotIn("quit", station.words())


class RadioLink(StationTest):
    def test_frequency_on_screen_follows_the_radios_knob(self):
        station = self.station()
        wait_until(lambda: "RX=FA007100000;" in station.debug_lines(), 5, "7.1 MHz")
        time.sleep(0.3)
        before = station.frequency_area()
        self.assertTrue(any(pixel < 100 for pixel in before), "no text in the frequency area")
        station.knob("freq 14250000")
        wait_until(lambda: "RX=FA014250000;" in station.debug_lines(), 5, "14.25 MHz")
        time.sleep(0.3)
        after = station.frequency_area()
        self.assertNotEqual(before, after)
        station.screenshot("after.png")

    def test_port_hung_up_leaves_the_program_answering_keys(self):
        station = self.station()
        station.knob("hangup")
        station.sim.wait(timeout=5)
        station.wait_for_words(["connected", "lost"])
        lines_before = len(station.debug_lines())
        station.press("F1")
        station.wait_for_words(["nc"])
        wait_until(lambda: "p" in station.debug_lines()[lines_before:], 5, "the key line")
        self.assertNotIn("TX=PA01;", station.debug_lines()[lines_before:])
        self.assertTrue(station.running())


# A Windows operator's station file: line 1 as Device Manager names the
# port, files saved by Notepad "with BOM", an option with a decimal comma.
ON_COM12 = ["COM12"] + STATION_CONFIG[1:]
BYTE_ORDER_MARK = b"\xef\xbb\xbf"
# Channel 3 holds 14.074 MHz in USB; the rest as the program writes them.
MEMORY_WITH_CHANNEL_3 = (["V1.9", "1001900000", "1003600000", "2005354000", "1007100000",
                          "3010100000", "2014200000", "2018100000", "2021200000", "2024890000",
                          "2028500000", "2050150000", "5145000000", "5432000000"]
                         + ["9", "9", "9", "2014074000", "9", "9", "9", "9", "9", "9"])


def with_byte_order_mark(station, name):
    path = os.path.join(station.folder, name)
    with open(path, "rb") as file:
        data = file.read()
    with open(path, "wb") as file:
        file.write(BYTE_ORDER_MARK + data)


class StationFile(StationTest):
    def test_com12_as_device_manager_names_it_reaches_port_12(self):
        station = self.station(config=ON_COM12, sim_port=12)
        since = self.mark(station)
        station.press("Prior")
        self.assertSent(station, since, ["FA007110000;"])
        station.wait_for_words(["connected"])

    def test_files_saved_with_a_byte_order_mark_read_as_typed(self):
        station = self.new_station(config=ON_COM12, memory_lines=MEMORY_WITH_CHANNEL_3,
                                   sim_port=12)
        for name in ("quelmo.cfg", "memory.dat"):
            with_byte_order_mark(station, name)
        station.start()
        station.wait_connected()
        since = self.mark(station)
        station.press("g", "3")
        self.assertSent(station, since, ["FA014074000;"])
        self.assertIn("MD02;", station.key_commands(since))
        station.wait_for_words(["gch", "3", "ok"])
        station.press("q")
        self.assertEqual(station.wait_for_exit(timeout=20), 0)
        self.assertEqual([l for l in station.debug_lines() if l.startswith("ERR=")], [])
        self.assertFalse(os.path.exists(os.path.join(station.folder, "problems.txt")))
        saved = station.read_lines("memory.dat")
        self.assertEqual((saved[0], saved[17]), ("V1.9", "2014074000"))  # written without it

    def test_an_option_line_not_taken_is_heard_and_written_to_problems_txt(self):
        station = self.station(config=STATION_CONFIG + ["SPEECH_RATE=1,5"])
        words = station.wait_for_words(["connected"])
        self.assertEqual(words[:7], ["quelmo", "1", "point", "9", "option", "invalid",
                                     "connected"])
        problems = station.read_lines("problems.txt")
        self.assertRegex(problems[0],
                         r"^Quelmo 1\.9 started on \d\d-\d\d-\d{4} at \d\d:\d\d:\d\d and found:$")
        self.assertEqual(problems[1:], ['quelmo.cfg line 9 "SPEECH_RATE=1,5" has a value other '
                                        "than 0.5 to 3: ignored"])
        station.press("q")
        self.assertEqual(station.wait_for_exit(timeout=20), 0)

    def test_the_station_check_reads_com12_as_port_12_and_asks_the_radio(self):
        station = self.new_station(config=ON_COM12, sim_port=12)
        code, text, words = station.check()
        self.assertEqual(code, 0, text)
        self.assertIn("  Line 1, port 12: COM12", text)
        self.assertIn("it answered ID0670;", text)
        self.assertEqual(words[:3], ["port", "1", "2"])
        self.assertEqual(words[-7:], ["connected", "id", "0", "6", "7", "0", "ok"])
        self.assertEqual(station.radio_commands(), ["ID;"])


if __name__ == "__main__":
    unittest.main()
