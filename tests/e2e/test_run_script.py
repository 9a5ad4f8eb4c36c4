"""scripts/run as the operator meets it: which radio it uses, the operator's
link and voice left alone, and two runs at once; scripts/check-station keeps
the voice too.

The scripts run from a copy of the checkout's layout whose scripts/setup only
notes that it was called, with the built program, check and simulator and
the test voice in its build/ folder."""

import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time
import unittest

import station_test
from station import QUELMO, QUELMO_CHECK, QUELMO_SIM, wait_until
from test_voice import write_test_voice

SCRIPTS = os.path.join(os.path.dirname(__file__), "..", "..", "scripts")


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


def children(pid):
    """The commands the process has started, by name: {name: pid}."""
    try:
        with open("/proc/%d/task/%d/children" % (pid, pid)) as listing:
            pids = [int(p) for p in listing.read().split()]
    except FileNotFoundError:
        return {}
    found = {}
    for child in pids:
        try:
            with open("/proc/%d/comm" % child) as comm:
                found[comm.read().strip()] = child
        except FileNotFoundError:
            pass
    return found


class Run:
    """One scripts/run in the background, its terminal output in a file."""

    def __init__(self, checkout, folder, *options):
        self.output_path = tempfile.mktemp(prefix="quelmo-run-", suffix=".txt")
        environment = dict(os.environ, DISPLAY=station_test._x_server.display,
                           SDL_AUDIODRIVER="dummy")
        with open(self.output_path, "w") as output:
            self.process = subprocess.Popen(
                ["bash", os.path.join(checkout, "scripts", "run"), "--folder", folder, *options],
                stdout=output, stderr=subprocess.STDOUT, env=environment)

    def output(self):
        with open(self.output_path) as output:
            return output.read()

    def wait_for_output(self, text, timeout=30):
        wait_until(lambda: text in self.output(), timeout, repr(text) + " from scripts/run")

    def program(self, name="quelmo", timeout=30):
        return wait_until(lambda: children(self.process.pid).get(name), timeout, name)

    def stop(self):
        """Ends quelmo as a signal does; the script then cleans up after it."""
        quelmo = children(self.process.pid).get("quelmo")
        if quelmo:
            os.kill(quelmo, signal.SIGTERM)
        return self.process.wait(timeout=20)


class RunScript(unittest.TestCase):
    def setUp(self):
        self.checkout = tempfile.mkdtemp(prefix="quelmo-checkout-")
        self.addCleanup(shutil.rmtree, self.checkout, True)
        os.makedirs(os.path.join(self.checkout, "scripts"))
        for script in ("run", "check-station", "voice-link"):
            shutil.copy(os.path.join(SCRIPTS, script), os.path.join(self.checkout, "scripts"))
        setup = os.path.join(self.checkout, "scripts", "setup")
        with open(setup, "w") as stub:
            stub.write('#!/bin/sh\necho "$@" >>"$(dirname "$0")/../setup.log"\n')
        os.chmod(setup, 0o755)
        # The packages --hamlib installs: noted, as the set-up is.
        install = os.path.join(self.checkout, "scripts", "install-packages")
        with open(install, "w") as stub:
            stub.write('#!/bin/sh\ncat "$1" >>"$(dirname "$0")/../install.log"\n')
        os.chmod(install, 0o755)
        shutil.copy(os.path.join(SCRIPTS, "packages.txt"), os.path.join(self.checkout, "scripts"))
        build = os.path.join(self.checkout, "build")
        os.makedirs(build)
        os.symlink(os.path.abspath(QUELMO), os.path.join(build, "quelmo"))
        os.symlink(os.path.abspath(QUELMO_SIM), os.path.join(build, "quelmo-sim"))
        os.symlink(shutil.which(QUELMO_CHECK), os.path.join(build, "quelmo-check"))
        write_test_voice(os.path.join(build, "wave"))
        self.folder = os.path.join(self.checkout, "work")

    def start(self, *options):
        run = Run(self.checkout, self.folder, *options)
        self.addCleanup(os.remove, run.output_path)
        self.addCleanup(lambda: run.process.poll() is None and run.stop())
        return run

    def read(self, name):
        try:
            with open(self.path(name), encoding="latin-1") as file:
                return file.read()
        except FileNotFoundError:
            return ""

    def path(self, *names):
        return os.path.join(self.folder, *names)

    def radio_log_grows(self, folder):
        log = os.path.join(folder, "radio.log")
        before = os.path.getsize(log)
        wait_until(lambda: os.path.getsize(log) > before, 5, "polls at " + log)

    def test_without_a_com1_link_the_simulated_radio_is_used_and_said(self):
        run = self.start()
        run.wait_for_output("Radio: the SIMULATED radio")
        run.program("quelmo-sim")
        wait_until(lambda: "RX=FA007100000;" in self.read("debug.dat"), 20,
                   "quelmo connected to the simulated radio")
        self.assertTrue(os.readlink(self.path("COM1")).startswith("/dev/pts/"))
        self.assertEqual(run.stop(), 0)
        # The simulator and everything the script made for it are gone.
        self.assertFalse(os.path.lexists(self.path("COM1")))
        self.assertFalse(os.path.lexists(self.path("radio-knob")))
        with open(os.path.join(self.checkout, "setup.log")) as setup:
            self.assertEqual(setup.read(), "program\n")

    def test_the_port_is_read_as_quelmo_reads_it(self):
        # Notepad's byte-order mark, and line 1 as Device Manager names port 12.
        os.makedirs(self.folder)
        with open(self.path("quelmo.cfg"), "wb") as settings:
            settings.write(b"\xef\xbb\xbfCOM12\r\nSPEED=38400\r\nPOWER=100\r\nSWR=0\r\n"
                           b"TUN=0\r\nBANDMAX=7\r\nPWRCTL=0\r\nDEBUG=1\r\n")
        run = self.start()
        run.wait_for_output("Radio: the SIMULATED radio")
        wait_until(lambda: "RX=FA007100000;" in self.read("debug.dat"), 20,
                   "quelmo connected to the simulated radio")
        self.assertTrue(os.readlink(self.path("COM12")).startswith("/dev/pts/"))
        self.assertEqual(run.stop(), 0)

    def test_a_link_to_an_absent_radio_is_reported_and_left_alone(self):
        os.makedirs(self.folder)
        absent = os.path.join(self.folder, "radio-unplugged")
        os.symlink(absent, self.path("COM1"))
        run = self.start()
        run.wait_for_output("No radio: ")
        run.program("quelmo")
        self.assertIn("radio-unplugged, which does not exist", run.output())
        self.assertNotIn("SIMULATED", run.output())
        time.sleep(2)  # the time a simulator would have had to start
        self.assertNotIn("quelmo-sim", children(run.process.pid))
        self.assertFalse(os.path.exists(self.path("radio.log")))
        self.assertEqual(run.stop(), 0)
        self.assertEqual(os.readlink(self.path("COM1")), absent)

        # Asked for, the simulated radio runs in a folder of its own.
        practice = self.start("--simulated-radio")
        practice.wait_for_output("Radio: the SIMULATED radio")
        practice.program("quelmo-sim")
        self.radio_log_grows(self.path("simulated"))
        self.assertEqual(practice.stop(), 0)
        self.assertEqual(os.readlink(self.path("COM1")), absent)
        self.assertFalse(os.path.exists(self.path("radio.log")))

    def test_a_network_radio_is_named(self):
        os.makedirs(self.folder)
        with socket.socket() as probe:  # a port nothing listens on
            probe.bind(("127.0.0.1", 0))
            address = "127.0.0.1:%d" % probe.getsockname()[1]
        cases = [  # COM1's line, what the terminal says, what quelmo logs
            (address, "Radio: work/COM1, the network radio at %s." % address, "no server at"),
            ("localhost:3001", 'No radio: work/COM1 holds "localhost:3001": a host name',
             "holds no network address in digits")]
        for line, said, logged in cases:
            with self.subTest(line):
                with open(self.path("COM1"), "w") as entry:
                    entry.write(line + "\n")
                run = self.start()
                run.wait_for_output(said)
                wait_until(lambda: logged in self.read("debug.dat"), 20, "quelmo's reason")
                os.remove(self.path("debug.dat"))
                self.assertEqual("No radio" in run.output(), said.startswith("No radio"))
                self.assertNotIn("SIMULATED", run.output())
                self.assertEqual(run.stop(), 0)
                self.assertEqual(self.read("COM1"), line + "\n")

    def test_hamlib_starts_rigctld_for_the_radio_and_stops_it_at_the_end(self):
        os.makedirs(self.folder)
        with socket.socket() as probe:  # a free port for rigctld
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        with open(self.path("quelmo.cfg"), "w") as settings:
            settings.write("COM=1\nBAUD= 38400\nPOWER=100\nSWR=1\nTUN=0\nBANDS  =7\n"
                           "PWRCTL=0\nDEBUG=1\nRIGCTLD=127.0.0.1:%d\n" % port)
        # Hamlib's dummy radio (model 1) takes any device.
        run = self.start("--hamlib", "1", "/dev/null", "9600")
        run.wait_for_output("Radio: through rigctld at 127.0.0.1:%d, Hamlib's model 1 on "
                            "/dev/null." % port)
        self.assertIn("rigctld", children(run.process.pid))
        wait_until(lambda: "RX=get_freq:|Frequency: 7100000|RPRT 0" in self.read("debug.dat"),
                   20, "quelmo connected through rigctld")
        self.assertNotIn("SIMULATED", run.output())
        self.assertFalse(os.path.lexists(self.path("COM1")))
        self.assertEqual(run.stop(), 0)
        with socket.socket() as probe:  # rigctld has gone with quelmo
            self.assertNotEqual(probe.connect_ex(("127.0.0.1", port)), 0)
        with open(os.path.join(self.checkout, "install.log")) as installed:
            self.assertEqual(installed.read(), "libhamlib-utils\n")

        # A model that is no number is refused before anything starts.
        refused = self.start("--hamlib", "IC-7300", "/dev/null")
        self.assertEqual(refused.process.wait(timeout=20), 2)
        self.assertIn("MODEL is Hamlib's model number", refused.output())

    def test_the_operators_own_voice_is_kept_and_named(self):
        os.makedirs(self.folder)
        own = tempfile.mkdtemp(prefix="quelmo-own-voice-")
        self.addCleanup(shutil.rmtree, own, True)
        write_test_voice(own)
        os.symlink(own, self.path("wave"))
        run = self.start()
        run.wait_for_output("Radio: the SIMULATED radio")
        self.assertIn("Voice: your own recordings, work/wave, which leads to " + own, run.output())
        wait_until(lambda: "RX=FA" in self.read("debug.dat"), 20, "quelmo connected")
        self.assertEqual(run.stop(), 0)
        self.assertEqual(os.readlink(self.path("wave")), own)

        # The station check keeps it too; a link that leads nowhere is the
        # default voice's again.
        default = os.path.join(self.checkout, "build", "wave")
        for target, said, kept in [(own, "Voice: your own recordings", own),
                                   (own + "-gone", "Voice: the default voice", default)]:
            with self.subTest(target):
                os.remove(self.path("wave"))
                os.symlink(target, self.path("wave"))
                check = subprocess.run(
                    ["bash", os.path.join(self.checkout, "scripts", "check-station"), "--folder",
                     self.folder], capture_output=True, text=True, timeout=60,
                    env=dict(os.environ, SDL_AUDIODRIVER="dummy"))
                self.assertIn(said, check.stdout)
                self.assertEqual(os.readlink(self.path("wave")), kept)

    def test_two_runs_at_once_leave_each_others_simulator_alone(self):
        first = self.start()
        first.wait_for_output("Radio: the SIMULATED radio")
        first.program("quelmo")
        sim_link = os.readlink(self.path("COM1"))
        self.radio_log_grows(self.folder)

        # A second plain run in the same folder is refused before it touches it.
        second = self.start()
        self.assertEqual(second.process.wait(timeout=30), 1)
        self.assertIn("in use by another run of quelmo", second.output())
        self.assertEqual(os.readlink(self.path("COM1")), sim_link)
        self.radio_log_grows(self.folder)

        # The simulated radio asked for runs beside it, on its own link.
        third = self.start("--simulated-radio")
        third.wait_for_output("Radio: the SIMULATED radio")
        third.program("quelmo")
        self.radio_log_grows(self.path("simulated"))
        self.assertNotEqual(os.readlink(self.path("simulated", "COM1")), sim_link)
        self.assertEqual(third.stop(), 0)
        self.assertFalse(os.path.lexists(self.path("simulated", "COM1")))

        self.assertEqual(os.readlink(self.path("COM1")), sim_link)
        self.radio_log_grows(self.folder)
        self.assertIsNone(first.process.poll())
        self.assertEqual(first.stop(), 0)


if __name__ == "__main__":
    unittest.main()
