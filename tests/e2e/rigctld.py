"""Hamlib's rigctld for the end-to-end tests: the real one with its dummy
radio, and a scripted one that answers as a radio lacking functions,
refusing commands or switched off would.

A station whose quelmo.cfg has RIGCTLD= reaches either; what the radio was
told is asked of it through a second client, Hamlib's rigctl, as a logger
would ask it."""

import os
import socket
import socketserver
import subprocess
import threading

from station import STATION_CONFIG, Station, wait_until

# The poll's questions, left out when looking at what keys sent.
POLL_QUESTIONS = {"f", "m", "l STRENGTH", "l SWR"}


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def listening(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


def rigctld_config(port, base=STATION_CONFIG, options=()):
    return list(base) + ["RIGCTLD=127.0.0.1:%d" % port, *options]


class DummyRigctld:
    """rigctld with Hamlib's dummy radio (model 1) on 127.0.0.1, its PTT
    through the radio's commands so that it transmits when told."""

    def __init__(self):
        self.port = free_port()
        self.process = None

    def start(self):
        self.process = subprocess.Popen(
            ["rigctld", "-m", "1", "-P", "RIG", "-T", "127.0.0.1", "-t", str(self.port)],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: listening(self.port), 5, "rigctld listening")
        return self

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=5)

    def rig(self, *commands):
        """Hamlib's rigctl as a second client (a logger): the values it
        printed, a line each."""
        result = subprocess.run(
            ["rigctl", "-m", "2", "-r", "127.0.0.1:%d" % self.port, *commands],
            capture_output=True, text=True, timeout=10)
        return result.stdout.split("\n")[:-1]

    def value(self, *command):
        return self.rig(*command)[0]


# What the scripted rigctld's radio has: no noise reduction, no attenuator.
SCRIPTED_CAPS = [
    "Caps dump for model: 3073", "Model name:\tIC-7300", "Mfg name:\tIcom", "Preamp: 10dB 20dB",
    "Attenuator: None", "Set functions: NB COMP ANF TUNER",
    "Get level: STRENGTH SWR", "Set level: PREAMP AF RF RFPOWER", "VFO Ops: TUNE",
    "Can set PTT:\tY", "Can set Power Stat:\tY",
]


class ScriptedRigctld:
    """A rigctld of its own that answers every client in Hamlib 4.5's
    extended responses, for a radio on 7.1 MHz LSB. Its radio refuses the
    speech processor as one it lacks (-11, though its capabilities list
    it) and a frequency above 500 MHz (-1). `state` is what it answers for
    the radio: "on", "off" (-20) or "silent" (-5, rigctld timed out)."""

    def __init__(self):
        self.port = free_port()
        self.state = "on"
        self.frequency = 7100000
        self.received = []
        scripted = self

        class Client(socketserver.StreamRequestHandler):
            def handle(self):
                try:
                    for line in self.rfile:
                        command = line.decode("latin-1").strip()
                        scripted.received.append(command)
                        self.wfile.write(scripted.answer(command.lstrip("+")).encode())
                except ConnectionError:
                    pass  # the program closed the connection to open it again

        socketserver.ThreadingTCPServer.allow_reuse_address = True
        self.server = socketserver.ThreadingTCPServer(("127.0.0.1", self.port), Client)
        self.server.daemon_threads = True
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)

    def start(self):
        self.thread.start()
        return self

    def stop(self):
        self.server.shutdown()
        self.server.server_close()

    def answer(self, command):
        words = command.split()
        head = {"f": "get_freq", "F": "set_freq", "m": "get_mode", "M": "set_mode",
                "l": "get_level", "L": "set_level", "U": "set_func", "u": "get_func",
                "T": "set_ptt", "G": "vfo_op"}.get(words[0], words[0].lstrip("\\"))
        arguments = " ".join(words[1:])
        lines = ["%s:%s" % (head, " " + arguments if arguments else "")]
        if head == "dump_caps":
            return "\n".join(lines + SCRIPTED_CAPS + ["RPRT 0"]) + "\n"
        if self.state != "on":
            return "\n".join(lines + ["RPRT %d" % (-20 if self.state == "off" else -5)]) + "\n"
        result = 0
        if head == "get_freq":
            lines.append("Frequency: %d" % self.frequency)
        elif head == "get_mode":
            lines += ["Mode: LSB", "Passband: 2400"]
        elif head == "get_level":
            lines.append("-12" if words[1] == "STRENGTH" else "1.000000")
        elif head == "mW2power":
            lines.append("Power [0.0..1.0]: %.6f" % (int(words[1]) / 100000))
        elif head == "power2mW":
            lines.append("Power mW: 100000")
        elif head == "set_freq":
            if int(words[1]) > 500000000:
                result = -1
            else:
                self.frequency = int(words[1])
        elif head == "set_func" and words[1] == "COMP":
            result = -11
        return "\n".join(lines + ["RPRT %d" % result]) + "\n"


class RigctldStation(Station):
    """A station whose radio is behind rigctld: no simulated radio, no COMn;
    the traffic log tells what the program sent."""

    def __init__(self, x_server, sim_options=(), memory_lines=None, config=None, **layout):
        super().__init__(x_server, sim_options, memory_lines, config=config, sim_port=None)

    def sent(self, since=0):
        """The command lines the program sent, from the traffic log's
        `since`-th line on, without "+" and without the poll's questions."""
        return [line[4:] for line in self.debug_lines()[since:]
                if line.startswith("TX=+") and line[4:] not in POLL_QUESTIONS]
