"""The link to the radio comes and goes: the program says so once, with the
reason, costs next to nothing while the radio is missing, and carries on when
it is back. The station check says what the station is, by ear and in text."""

import fcntl
import os
import shutil
import socket
import subprocess
import tempfile
import time
import unittest

import station_test
from station import (QUELMO_SIM, STATION_CONFIG, contains_in_order, fault_lines,
                     private_mounts_work, wait_until)
from station_test import StationTest

IDLE_TARGET = 0.5  # % of one core, the README's idle target


def first_setting(station, since):
    """The first command after index `since` that sets something: the
    questions that find the radio again ("ID;" and the poll's) aside."""
    return next(c for c in station.key_commands(since) if c != "ID;")


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


class Ser2net:
    """ser2net serving the simulator's terminal on 127.0.0.1, as the computer
    beside a radio across the network would."""

    def __init__(self, folder, device):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        self.folder = folder
        self.config = os.path.join(folder, "ser2net.yaml")
        with open(self.config, "w") as config:
            config.write("connection: &radio\n"
                         "  accepter: tcp,127.0.0.1,%d\n"
                         "  connector: serialdev,%s,38400n82,local\n" % (self.port, device))
        self.process = None

    def start(self):
        self.process = subprocess.Popen(
            ["ser2net", "-n", "-c", self.config, "-P", os.path.join(self.folder, "ser2net.pid")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(self.listening, 5, "ser2net listening")

    def listening(self):
        # Looked up in the kernel's table: a trial connection would take the
        # one connection ser2net serves.
        with open("/proc/net/tcp") as table:
            return any(line.split()[1].endswith(":%04X" % self.port) and line.split()[3] == "0A"
                       for line in table.readlines()[1:])

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=5)


class LinkTest(StationTest):
    def heard_after(self, station, since, expected, timeout=8):
        """The words after the first `since` contain `expected`, in order."""
        wait_until(lambda: contains_in_order(station.words()[since:], expected), timeout,
                   "%s after word %d, heard %s" % (expected, since, station.words()))

    def outage(self, station, lose, heard, bring_back):
        """The radio goes with `lose`: the operator hears `heard` and "nc" for
        a key, the program idles within its target; it comes back with
        `bring_back`: commands reach it within two seconds, "connected" is
        said and keys work again. Each reason is said once however often
        the port is tried meanwhile, and goes to standard error and the log."""
        since = len(station.words())
        if lose is not None:
            lose()
        self.heard_after(station, since, heard)
        time.sleep(1.5)  # the sound device comes to rest after the words
        share = station.cpu_share(4.0)
        self.assertLess(share, IDLE_TARGET, "%.2f %% of a core while the radio is missing" % share)
        station.press("f")
        self.heard_after(station, since, heard + ["nc"])

        back = time.monotonic()
        bring_back()
        delay = wait_until(lambda: station.first_command_after(back), 5, "a command at the radio")
        self.assertLess(delay, 2.0, "the first command reached the radio %.2f s after" % delay)
        self.heard_after(station, since, heard + ["nc", "connected"])
        mark = self.mark(station)
        station.press("F3")
        self.assertSent(station, mark, ["NB01;"])
        self.heard_after(station, since, ["connected", "nb", "on"])

        said = station.words()[since:]
        for word in heard:
            self.assertEqual(said.count(word), 1, said)
        link_lines = [l for l in station.debug_lines() if l.startswith("LINK=")]
        self.assertEqual(link_lines[-1], "LINK=radio connected, port 1")
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        errors = station.quelmo.stderr.read().decode()
        return fault_lines(link_lines), errors


class LostAndFound(LinkTest):
    def test_adapter_pulled_and_plugged_in_again(self):
        station = self.station()
        lines, errors = self.outage(station, lambda: station.knob("unplug"), ["lost", "nodev"],
                                    lambda: station.knob("plug"))
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("radio lost, port 1: no such device", lines[0])
        self.assertEqual(errors.count("no such device"), 1, errors)

    def test_adapter_plugged_in_only_after_the_start(self):
        station = self.station(sim_options=["--unplugged"], connect=False)
        self.outage(station, None, ["nodev"], lambda: station.knob("plug"))
        self.assertNotIn("lost", station.words())

    def test_radio_silent_then_answering(self):
        station = self.station()
        lines, errors = self.outage(station, lambda: station.knob("off"), ["lost", "noanswer"],
                                    lambda: station.knob("on"))
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("no answer", errors)

    @unittest.skipUnless(shutil.which("ser2net"), "ser2net is not installed")
    def test_network_radio_with_ser2net_restarted(self):
        # The radio's terminal is COM2 of the folder; ser2net serves it, and
        # COM1 names ser2net's address.
        station = self.new_station(sim_port=2)
        server = Ser2net(station.folder, os.path.join(station.folder, "COM2"))
        self.addCleanup(server.stop)
        with open(os.path.join(station.folder, "COM1"), "w") as entry:
            entry.write("127.0.0.1:%d\n" % server.port)
        server.start()
        code, text, words = station.check()
        self.assertIn("COM1, a file naming the network address 127.0.0.1:%d" % server.port, text)
        self.assertIn("it answered ID0670;", text)

        station.start()
        station.wait_connected()
        lines, _ = self.outage(station, server.stop, ["lost", "noserver"], server.start)
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("no server at the network address", lines[0])

    @unittest.skipUnless(shutil.which("ser2net"), "ser2net is not installed")
    def test_network_radio_held_by_another_program_or_named(self):
        # ser2net serves one program at a time: it takes a second connection,
        # says "Port already in use" and closes it.
        station = self.new_station(sim_port=2)
        server = Ser2net(station.folder, os.path.join(station.folder, "COM2"))
        self.addCleanup(server.stop)
        entry = os.path.join(station.folder, "COM1")
        with open(entry, "w") as file:
            file.write("localhost:%d\n" % server.port)
        server.start()
        code, text, words = station.check()
        self.assertIn('"localhost:%d" by its name' % server.port, text)
        self.assertIn("no network address in digits", text)
        self.assertEqual((code, words[-1]), (1, "noaddress"))

        with open(entry, "w") as file:
            file.write("127.0.0.1:%d\n" % server.port)
        other = socket.create_connection(("127.0.0.1", server.port), timeout=5)
        self.addCleanup(other.close)
        other.sendall(b"FA;")
        self.assertTrue(other.recv(12))  # ser2net serves the other program
        code, text, words = station.check()
        self.assertIn("closed the connection at once", text)
        self.assertEqual((code, words[-1]), (1, "serverbusy"))

        station.start()
        self.heard_after(station, 0, ["9", "serverbusy"])  # after "quelmo 1.9"
        other.close()
        self.heard_after(station, 0, ["serverbusy", "connected"])
        lines = station.debug_lines()
        self.assertEqual(fault_lines(lines),
                         ["LINK=port 1: the server at the network address closed the connection "
                          "at once: it serves another program already (one at a time: another "
                          "Quelmo, or the station check), or it cannot open the radio's port "
                          "there"])
        self.assertNotIn("RX=", lines)  # no empty read is logged as a reply


class TuningCutOff(LinkTest):
    """A carrier tuning on when the link goes may keep the radio transmitting
    out of the operator's reach: the tuning ends as soon as the radio answers
    again, "TX0;" first, and the operator hears so."""

    def tuning_across(self, station, lose, heard, bring_back, key_while_lost):
        mark = self.mark(station)
        station.press("t")
        self.assertSent(station, mark, ["TX1;"])
        since = len(station.words())
        lose()
        self.heard_after(station, since, heard)
        if key_while_lost:
            station.press("t")
            self.heard_after(station, since, heard + ["tune", "off", "nc"])
        back = self.mark(station)
        bring_back()
        self.heard_after(station, since, ["connected", "tune", "off"])
        self.assertSent(station, back, ["TX0;", "PC100;"])
        self.assertEqual(first_setting(station, back), "TX0;")

    def test_carrier_ends_when_the_radio_answers_again(self):
        station = self.station()
        self.tuning_across(station, lambda: station.knob("unplug"), ["lost", "nodev"],
                           lambda: station.knob("plug"), key_while_lost=False)
        self.tuning_across(station, lambda: station.knob("off"), ["lost", "noanswer"],
                           lambda: station.knob("on"), key_while_lost=True)
        since = len(station.words())
        station.press("f")  # the keys work again: no "tune is on"
        self.heard_after(station, since, ["lsb", "7", "point", "1", "mhz"])


class SimulatedRadio:
    """A quelmo-sim of its own in `folder`, as COMn there, logging what it
    receives."""

    def __init__(self, folder, port=1):
        self.log = os.path.join(folder, "radio-%d.log" % port)
        self.process = subprocess.Popen(
            [QUELMO_SIM, "--dir", folder, "--port", str(port), "--log", self.log],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        if not self.process.stdout.readline().startswith("ready "):
            raise RuntimeError("quelmo-sim did not start")
        self.device = os.path.realpath(os.path.join(folder, "COM%d" % port))

    def commands(self):
        try:
            with open(self.log) as log:
                return [line.rstrip("\n").split(" ", 2)[2] for line in log]
        except FileNotFoundError:
            return []

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=5)
        self.process.stdin.close()
        self.process.stdout.close()


@unittest.skipUnless(private_mounts_work() and os.path.exists("/dev/ttyS0"),
                     "no private mount namespaces or no /dev/ttyS0 here")
class NeverTheWrongDevice(LinkTest):
    def test_the_link_gone_while_tuning_is_no_device_never_the_computers_port(self):
        """The radio's COM1 link goes while it transmits (its adapter's link
        removed): the program must not fall back on port 1's own device,
        /dev/ttyS0, where another device answers (a second simulated radio,
        bound over /dev/ttyS0 in the program's own mount namespace). The
        radio is lost for "no such device", and when the link is back the
        tuning still owed ends there."""
        decoy_folder = tempfile.mkdtemp(prefix="quelmo-e2e-decoy-")
        self.addCleanup(shutil.rmtree, decoy_folder, True)
        decoy = SimulatedRadio(decoy_folder)
        self.addCleanup(decoy.stop)
        station = self.new_station()
        station.start(wrapper=["unshare", "-m", "sh", "-c",
                               'mount --bind "%s" /dev/ttyS0 && exec "$0"' % decoy.device])
        station.wait_connected()
        mark = self.mark(station)
        station.press("t")
        self.assertSent(station, mark, ["TX1;"])
        since = len(station.words())

        station.sim.terminate()  # it takes its COM1 link with it
        station.sim.wait(timeout=5)
        self.heard_after(station, since, ["lost", "nodev"])
        time.sleep(2.5)  # the port is tried again, twice at least
        self.assertEqual(decoy.commands(), [])
        self.assertNotIn("off", station.words()[since:])

        back = self.mark(station)
        station.sim.stdin.close()
        station.sim.stdout.close()
        station.sim = subprocess.Popen(  # the link is back, to the radio
            [QUELMO_SIM, "--dir", station.folder, "--port", "1", "--log", station.sim_log],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.heard_after(station, since, ["lost", "nodev", "connected", "tune", "off"])
        self.assertEqual(first_setting(station, back), "TX0;")
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(decoy.commands(), [])
        link_lines = fault_lines(station.debug_lines())
        self.assertEqual(len(link_lines), 1, link_lines)
        self.assertIn("radio lost, port 1: no such device", link_lines[0])


# What the station check says of the test station: port 1 at 38400, 100 W,
# SWR 0, carrier tuning, bands up to 70 cm, no power switching, log on; the
# radio's identity; all is well.
GOOD_STATION_WORDS = ["port", "1", "speed", "3", "8", "4", "0", "0", "power", "1", "0", "0",
                      "watts", "swr", "0", "tune", "carrier", "band", "70", "metres", "pwrctl",
                      "off", "log", "on", "connected", "id", "0", "6", "7", "0", "ok"]


class StationCheck(LinkTest):
    def test_good_station(self):
        station = self.new_station()
        code, text, words = station.check()
        self.assertEqual(code, 0, text)
        self.assertEqual(words, GOOD_STATION_WORDS)
        for line in ["Line 1, port 1: COM1, a link to /dev/pts/", "Line 2, speed: 38400 bits",
                     "Line 3, power: 100 watts", "Line 6, bands: 160 metres up to 70 centimetres",
                     "Line 8, traffic log: on", "it answered ID0670;", "The station is ready."]:
            self.assertIn(line, text)
        # The check changes nothing on the radio and writes no files.
        self.assertEqual(station.radio_commands(), ["ID;"])
        self.assertIsNone(station.read_lines("debug.dat"))
        self.assertIsNone(station.read_lines("memory.dat"))

    def test_mistyped_lines(self):
        answered = ["connected", "id", "0", "6", "7", "0"]
        cases = [  # line number, text, what the check prints, what is said last
            (2, "BAUD=38400", "is read as 8400. Put six characters before the speed: SPEED=38400",
             ["badspeed"]),
            (3, "POWER=50 ", "It is 9 characters long, which means 100 watts", answered),
            (3, "POWER=5O", "It should end in a power step", answered),
            (6, "BANDS=7", "It should have 1 or 6 or 2 or 7 as its character 9", answered),
        ]
        for number, line, printed, radio_words in cases:
            with self.subTest(line):
                config = list(STATION_CONFIG)
                config[number - 1] = line
                station = self.new_station(config=config)
                code, text, words = station.check()
                self.assertEqual(code, 1, text)
                self.assertIn('Line %d, "%s": ' % (number, line), text)
                self.assertIn(printed, text)
                self.assertTrue(contains_in_order(words, ["checkline", str(number)]), words)
                self.assertEqual(words[-len(radio_words):], radio_words)

    def test_radio_that_echoes_its_commands(self):
        cases = [  # simulator options, what the check prints, its last words, exit code
            (["--echo"], "it answered ID0670;", ["connected", "id", "0", "6", "7", "0", "ok"], 0),
            (["--echo", "--off"], "no answer after the echo", ["echo", "noanswer"], 1),
        ]
        for options, printed, last_words, exit_code in cases:
            with self.subTest(options):
                station = self.new_station(sim_options=options)
                code, text, words = station.check()
                self.assertEqual(code, exit_code, text)
                self.assertIn("ID; came back as it was sent", text)
                self.assertIn(printed, text)
                self.assertEqual(words[-len(last_words):], last_words)

    def test_failing_links(self):
        def hold_the_port(station):  # another program has the device
            holder = os.open(os.path.join(station.folder, "COM1"), os.O_RDWR | os.O_NOCTTY)
            fcntl.flock(holder, fcntl.LOCK_EX)
            self.addCleanup(os.close, holder)
            return ()

        def quelmo_running_here(station):  # as quelmo holds its folder
            folder = os.open(station.folder, os.O_RDONLY | os.O_DIRECTORY)
            fcntl.flock(folder, fcntl.LOCK_EX)
            self.addCleanup(os.close, folder)
            return hold_the_port(station)

        def as_nobody(station):  # a user outside the dialout group
            if os.geteuid() != 0:
                self.skipTest("only root can try as another user")
            os.chmod(station.folder, 0o755)
            os.chmod(station.audio_folder, 0o777)
            return ("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups")

        cases = [  # simulator options, set-up, word said, text printed
            (["--unplugged"], None, "nodev", "no such device"),
            ([], hold_the_port, "busy", "another program holds it"),
            ([], quelmo_running_here, "running", "Quelmo is running in this folder and holds it"),
            ([], as_nobody, "denied", "add yourself to the dialout group"),
            (["--off"], None, "noanswer", "no answer: the radio is off"),
        ]
        for options, set_up, word, printed in cases:
            with self.subTest(word):
                station = self.new_station(sim_options=options)
                wrapper = set_up(station) if set_up else ()
                code, text, words = station.check(wrapper)
                self.assertEqual(code, 1, text)
                self.assertIn("not reached: ", text)
                self.assertIn(printed, text)
                self.assertEqual(words[-1], word, words)
                self.assertIn(station.radio_commands(), ([], ["ID;"]))


if __name__ == "__main__":
    unittest.main()
