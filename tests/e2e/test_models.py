"""Radios of the Yaesu FT family other than the FT-991A, against quelmo-sim
as each of them: the program asks the radio's identity and speaks to it in
its own model's forms. A handful of models, each with the forms it differs
in (every model of the table is walked on the scripted platform by the
model-walk test); an identity of no model of the table; meters the radio
never reads out; and a radio of another maker, which answers in another
language."""

import os
import pty
import threading
import time
import tty
import unittest

import station_test
from station import STATION_CONFIG, contains_in_order, wait_until
from station_test import StationTest

TUNER = STATION_CONFIG[:4] + ["TUN=0"] + STATION_CONFIG[5:]


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


class EachModelInItsOwnForms(StationTest):
    def walk(self, model, opening, keys, config=STATION_CONFIG):
        """The opening, then each (keys, commands, words) in turn: the keys'
        commands at the radio and the words heard after them. After "tune
        on" the radio's SWR is given a moment to be read."""
        station = self.station(sim_options=["--model", model], config=config)
        self.assertEqual(station.radio_commands()[:len(opening)], opening)
        self.assertIn("RADIO=%s, %s" % (model, station.debug_lines()[3][3:]),
                      station.debug_lines())
        for pressed, commands, words in keys:
            since = self.mark(station)
            heard = len(station.words())
            station.press(*pressed)
            if commands:
                self.assertSent(station, since, commands)
            if words:
                wait_until(lambda: contains_in_order(station.words()[heard:], words), 8,
                           "%s after %s" % (words, pressed))
            if words == ["tune", "on"]:
                time.sleep(0.5)
        self.assertNotIn("refused", station.words())
        self.assertNotIn("noreading", station.words())
        return station

    def test_an_ft950_in_eight_digits_its_processor_without_the_zero(self):
        station = self.walk("FT-950", [
            "TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;", "NR00;", "PC100;", "AG0050;",
            "BC00;", "SH013;", "FA07100000;"], [
            (["f"], [], ["lsb", "7", "point", "1", "mhz"]),
            (["Prior", "Right"], ["FA07110000;", "FA07110100;"], []),
            (["w", "Up"], ["SH014;"], ["bw", "2", "point", "4", "khz"]),
            (["F6"], ["PR1;"], ["spc", "on"]),
            # The carrier, off a whole kilohertz, ends where it began.
            (["t"], ["PC005;", "MD05;", "TX1;"], ["tune", "on"]),
            (["s"], [], ["swr"]),
            (["t"], ["TX0;", "PC100;", "MD01;", "FA07110100;"], ["tune", "off"]),
            (["c", "5"], [], ["sch", "5", "ok"]),
            (["e", "1", "4", "Return"], ["FA14000000;"], []),
            (["g", "5"], ["MD01;", "FA14000000;", "FA07110100;"], ["gch", "5", "ok"]),
        ])
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        memory = station.read_lines("memory.dat")
        self.assertEqual(memory[19], "1007110100")  # channel 5: its digits only
        self.assertTrue(all(";" not in line for line in memory))

    def test_an_ftdx101mp_its_width_on_the_main_receiver_its_200_watts(self):
        self.walk("FTDX101MP", [
            "TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;", "NR00;", "PC100;", "AG0050;",
            "BC00;", "SH0014;", "FA007100000;"], [
            (["w", "Up"], ["SH0015;"], ["bw", "2", "point", "4", "khz"]),
            (["p", "Up", "Up"], ["PC100;", "PC120;", "PC140;"], ["power", "1", "0", "0", "watts"]),
            (["t"], ["PC005;", "MD05;", "TX1;"], ["tune", "on"]),
            # Its SWR reply has six digits, the reading and "000".
            (["s"], [], ["swr"]),
            (["t"], ["TX0;", "PC140;", "MD01;"], ["tune", "off"]),
        ])

    def test_an_ft450_has_no_notch_and_no_processor(self):
        station = self.walk("FT-450", [
            "TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;", "NR00;", "PC100;", "AG0050;",
            "SH016;", "FA07100000;"], [
            (["a", "F5"], [], ["notch", "notavailable"]),
            (["F6"], [], ["spc", "notavailable"]),
            (["w", "Up"], ["SH025;"], ["bw", "2", "point", "4", "khz"]),
        ])
        self.assertFalse(any(c.startswith(("BC", "PR")) for c in station.radio_commands()))

    def test_an_ft710_starts_its_tuner_with_ac003(self):
        self.walk("FT-710", [
            "TX0;", "ID;", "MD01;", "PA00;", "RA00;", "NB00;", "NR00;", "PC100;", "AG0050;",
            "BC00;", "SH0014;", "FA007100000;"], [
            (["t"], ["AC003;"], ["tune", "on"]),
            (["t"], ["AC001;"], ["tune", "off"]),
        ], config=TUNER)


class TheStationCheckNamesTheModel(StationTest):
    def test_the_check_names_the_model_or_says_it_has_none(self):
        for options, line in ((["--model", "FTDX5000"], "  an FTDX5000: Quelmo speaks to it in its own"),
                              (["--identity", "840"], "  that names no model in Quelmo's table")):
            with self.subTest(options):
                station = self.new_station(sim_options=options)
                code, text, _ = station.check()
                self.assertEqual(code, 0, text)
                self.assertIn(line, text)
                self.assertEqual(station.radio_commands(), ["ID;"])


class NoReadingInvented(StationTest):
    def test_meters_the_radio_never_reads_out_are_no_readings(self):
        # The S-meter and the SWR refused: S says so, while tuning too.
        # (The refusal of the first SWR question comes right after the
        # carrier's three commands, and cannot be told from a refusal of
        # one of them: "refused" is heard then.)
        station = self.station(sim_options=["--without", "SM0", "--without", "RM6"])
        station.press("s")
        station.wait_for_words(["s", "noreading"])
        station.press("t")
        station.wait_for_words(["tune", "on"])
        time.sleep(0.5)
        station.press("s")
        station.wait_for_words(["swr", "noreading"])
        self.assertNotIn("21", station.words())


class RadiosOfNoModelOfTheTable(StationTest):
    def test_an_unknown_identity_is_said_once_and_the_ft991a_forms_kept(self):
        station = self.station(sim_options=["--identity", "840"])
        station.wait_for_words(["unknownmodel"])
        since = self.mark(station)
        station.press("Prior")
        self.assertSent(station, since, ["FA007110000;"])
        station.press("q")
        station.wait_for_exit()
        errors = station.quelmo.stderr.read().decode()
        self.assertIn("ID0840;", errors)
        self.assertEqual(station.words().count("unknownmodel"), 1)
        with open(os.path.join(station.folder, "problems.txt")) as problems:
            self.assertIn("ID0840;", problems.read())

    def test_a_radio_of_another_maker_is_reported_as_not_understood(self):
        # A Kenwood-style radio on a pseudo-terminal: eleven digits for its
        # frequency, four for its S-meter, three for its identity.
        station = self.new_station(sim_port=None)
        radio = OtherMakersRadio(os.path.join(station.folder, "COM1"))
        self.addCleanup(radio.stop)
        station.start()
        station.wait_for_words(["unknownmodel", "notunderstood"], timeout=10)
        station.press("f")
        station.wait_for_words(["notunderstood", "nc"])
        link = [l for l in station.debug_lines() if l.startswith("LINK=")]
        self.assertEqual(len(link), 1, link)
        self.assertIn("radio not understood", link[0])
        self.assertIn('"FA00007100000;"', link[0])
        self.assertIn("RIGCTLD=", link[0])
        time.sleep(1.5)
        self.assertEqual(station.words().count("notunderstood"), 1)
        station.press("q")
        station.wait_for_exit()
        self.assertIn("radio not understood", station.quelmo.stderr.read().decode())


class OtherMakersRadio:
    """A radio that speaks a Kenwood-style CAT on a pseudo-terminal linked
    as `link`."""

    ANSWERS = {"FA;": "FA00007100000;", "SM0;": "SM00005;", "ID;": "ID019;"}

    def __init__(self, link):
        self.master, slave = pty.openpty()
        tty.setraw(slave)
        os.symlink(os.ttyname(slave), link)
        self.slave = slave
        self.running = True
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        received = b""
        while self.running:
            try:
                received += os.read(self.master, 256)
            except OSError:
                time.sleep(0.01)
                continue
            while b";" in received:
                command, received = received.split(b";", 1)
                answer = self.ANSWERS.get(command.decode(errors="replace") + ";")
                if answer:
                    os.write(self.master, answer.encode())

    def stop(self):
        self.running = False
        os.close(self.slave)
        os.close(self.master)


if __name__ == "__main__":
    unittest.main()
