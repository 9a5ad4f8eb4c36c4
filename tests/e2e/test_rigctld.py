"""The program through Hamlib's rigctld (RIGCTLD= in quelmo.cfg): every key
family reaches the radio, the tuning with its carrier and the end, rigctld
stopped and started again, another program changing the frequency, a radio
lacking functions, refusing or switched off, and the station check.

The real rigctld runs Hamlib's dummy radio; what the radio was told is
asked of it through rigctl, a second client, as a logger would."""

import time

import station_test
from rigctld import DummyRigctld, RigctldStation, ScriptedRigctld, rigctld_config
from station import STATION_CONFIG, contains_in_order, fault_lines, wait_until
from station_test import StationTest

IDLE_TARGET = 0.5  # % of one core, the README's idle target


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


class RigctldTest(StationTest):
    station_class = RigctldStation
    rigctld_class = DummyRigctld
    measures_cpu = True  # the program's idle cost is its process's alone

    def setUp(self):
        self.rigctld = self.rigctld_class().start()
        self.addCleanup(self.rigctld.stop)

    def rig_station(self, options=(), base=STATION_CONFIG):
        return self.station(config=rigctld_config(self.rigctld.port, base, options))

    def radio_has(self, what, *command, timeout=8):
        """Waits until the radio's answer to the command is `what`."""
        try:
            wait_until(lambda: self.rigctld.rig(*command)[:len(what)] == what, timeout,
                       "%s at the radio" % (what,))
        except AssertionError:
            self.fail("wanted %s for %s, the radio has %s" % (what, command,
                                                             self.rigctld.rig(*command)))

    def heard_after(self, station, since, expected, timeout=8):
        wait_until(lambda: contains_in_order(station.words()[since:], expected), timeout,
                   "%s after word %d, heard %s" % (expected, since, station.words()))


class Keys(RigctldTest):
    def test_every_key_family_reaches_the_radio(self):
        station = self.rig_station()
        # The opening sequence's state: 40 m LSB at 2.4 kHz, 100 W, the AF
        # gain at 50 of 255, the functions off.
        self.radio_has(["7100000"], "f")
        self.radio_has(["LSB", "2400"], "m")
        self.radio_has(["1.000000"], "l", "RFPOWER")
        self.assertEqual(self.rigctld.rig("l", "AF", "l", "PREAMP", "u", "NB"),
                         ["0.196078", "0", "0"])

        # Tuning both ways: 10 kHz, 1 MHz, 100 Hz, and rounding.
        station.press("Prior")
        self.radio_has(["7110000"], "f")
        station.press("Next", "Next", "equal")
        self.radio_has(["8090000"], "f")
        station.press("minus", "Right")
        self.radio_has(["7090100"], "f")
        station.press("z")
        self.radio_has(["7090000"], "f")

        # Mode, width, power and the gains.
        station.press("m")
        self.radio_has(["USB"], "m")
        station.press("w", "Up")
        self.radio_has(["USB", "2500"], "m")
        station.press("p", "Down")
        self.radio_has(["0.900000"], "l", "RFPOWER")
        station.press("a", "Up", "r", "Down")
        self.radio_has(["0.941176"], "l", "RF")
        self.assertEqual(self.rigctld.value("l", "AF"), "0.235294")

        # The receiver functions, the preamp and attenuator at the dummy's
        # first step.
        station.press("f", "F1", "F2", "F3", "F4", "F5", "F6")
        self.radio_has(["1"], "u", "COMP")
        self.assertEqual(self.rigctld.rig("l", "PREAMP", "l", "ATT", "u", "NB", "u", "NR",
                                          "u", "ANF"), ["10", "10", "1", "1", "1"])

        # A band by its digit, a typed frequency, a channel stored and
        # recalled; F and S answer.
        station.press("b", "6")
        wait_until(lambda: self.rigctld.value("f").startswith("14"), 8, "20 m at the radio")
        station.press("e", "1", "4", "period", "2", "5", "Return")
        self.radio_has(["14250000"], "f")
        station.press("c", "3", "e", "7", "period", "1", "Return")
        self.radio_has(["7100000"], "f")
        since = len(station.words())
        station.press("g", "3")
        self.radio_has(["14250000"], "f")
        station.press("f", "s")
        self.heard_after(station, since, ["gch", "3", "ok", "usb", "1", "4", "point", "2", "5",
                                          "mhz", "s"])
        self.assertNotIn("refused", station.words())

    def test_the_carrier_goes_off_first_when_tuning_ends_and_at_the_end(self):
        station = self.rig_station()
        self.radio_has(["7100000"], "f")
        station.press("t")
        self.radio_has(["1"], "t")
        self.assertEqual(self.rigctld.rig("m", "l", "RFPOWER"), ["AM", "2400", "0.050000"])
        since = len(station.debug_lines())
        station.press("t")
        self.radio_has(["0"], "t")
        self.radio_has(["LSB"], "m")
        self.radio_has(["1.000000"], "l", "RFPOWER")
        sent = station.sent(since)
        self.assertEqual(sent[0], "T 0", sent)

        station.press("t")
        self.radio_has(["1"], "t")
        since = len(station.debug_lines())
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        sent = station.sent(since)
        self.assertEqual(sent[0], "T 0", sent)
        self.assertEqual(self.rigctld.value("t"), "0")


class Link(RigctldTest):
    def test_rigctld_stopped_and_started_again(self):
        station = self.rig_station()
        since = len(station.words())
        self.rigctld.stop()
        self.heard_after(station, since, ["lost", "noserver"])
        station.press("f")
        self.heard_after(station, since, ["lost", "noserver", "nc"])
        self.rigctld.start()
        self.heard_after(station, since, ["nc", "connected"])
        station.press("F3")
        self.radio_has(["1"], "u", "NB")
        said = station.words()[since:]
        self.assertEqual(said.count("noserver"), 1, said)
        link = fault_lines(station.debug_lines())
        self.assertEqual(len(link), 1, link)
        self.assertIn("radio lost, rigctld at 127.0.0.1:%d: nothing listens" % self.rigctld.port,
                      link[0])

    def test_another_program_changes_the_frequency(self):
        station = self.rig_station(options=["SPEAK_RADIO_CHANGES=1"])
        self.radio_has(["7100000"], "f")
        station.wait_for_words(["connected"])
        if self.measures_cpu:
            time.sleep(1.5)  # the sound device comes to rest
            share = station.cpu_share(4.0)
            self.assertLess(share, IDLE_TARGET, "%.2f %% of a core polling rigctld" % share)

        since = len(station.words())
        self.rigctld.rig("F", "14074000")
        changed = ["1", "4", "point", "0", "7", "4", "mhz"]
        self.heard_after(station, since, changed)  # at rest, without a key
        time.sleep(1.5)
        self.assertEqual(station.words()[since:].count("mhz"), 1, station.words()[since:])
        station.press("f")
        self.heard_after(station, since, changed + ["lsb"] + changed)
        # The next key tunes from where the other program put the radio.
        station.press("Prior")
        self.radio_has(["14084000"], "f")


class Refusals(RigctldTest):
    rigctld_class = ScriptedRigctld

    def test_what_the_radio_lacks_refuses_and_when_it_is_off(self):
        station = self.rig_station()
        since = len(station.words())
        station.press("F4", "F6")
        self.heard_after(station, since, ["nr", "notavailable", "spc", "on", "notavailable"])
        station.press("F6")
        self.heard_after(station, since, ["notavailable", "spc", "notavailable"])
        received = self.rigctld.received
        self.assertEqual(received.count("+U COMP 1"), 1, received)
        self.assertFalse([c for c in received if c.startswith("+U NR") or "ATT" in c], received)

        station.press("e", "9", "0", "0", "Return")
        self.heard_after(station, since, ["ok", "refused"])

        self.rigctld.state = "off"
        self.heard_after(station, since, ["refused", "lost", "radiooff"])
        self.rigctld.state = "silent"
        self.heard_after(station, since, ["lost", "radiooff", "noanswer"])
        self.rigctld.state = "on"
        self.heard_after(station, since, ["noanswer", "connected"])
        station.press("F3")
        wait_until(lambda: "+U NB 1" in self.rigctld.received, 5, "U NB 1 at rigctld")


class Check(RigctldTest):
    def test_the_station_check_names_the_model_and_the_frequency(self):
        station = self.new_station(config=rigctld_config(self.rigctld.port))
        code, out, words = station.check()
        self.assertEqual(code, 0, out)
        self.assertIn("rigctld serves model 1, Hamlib Dummy", out)
        self.assertIn("the radio is on 145.000000 MHz", out)
        self.assertTrue(contains_in_order(words, ["id", "1", "connected", "1", "4", "5", "mhz"]),
                        words)
        self.rigctld.stop()
        code, out, words = station.check()
        self.assertEqual(code, 1, out)
        self.assertIn("not reached: nothing listens", out)
        self.assertEqual(words[-1], "noserver")
