"""A private speech-dispatcher for the tests of the system's speech.

It is started with a configuration of its own: one output module, the
generic one, whose "synthesis" is a shell command that writes a line when it
begins an utterance (with the time and the text) and another when it has
"said" it, `seconds` later. A cut kills the command, so the end line of a cut
utterance never comes. Its sound output is ALSA's null device, in a home
folder of its own. The program finds it through SPEECHD_ADDRESS.
"""

import os
import shutil
import signal
import subprocess
import tempfile

from station import wait_until

MODULE = """GenericExecuteSynth "t=\\'$DATA\\'; printf 'begin %%s %%s\\\\n' \\"$(date +%%s.%%N)\\" \\"$t\\" >> %(said)s; sleep %(seconds)s; printf 'end %%s\\\\n' \\"$t\\" >> %(said)s"
GenericMaxChunkLength 10000
GenericDelimiters "~"
GenericLanguage "en" "en" "utf-8"
AddVoice "en" "MALE1" "recorder"
"""

SETTINGS = """LogLevel 3
LogDir "%(folder)s"
AudioOutputMethod "alsa"
AddModule "recorder" "sd_generic" "recorder.conf"
DefaultModule recorder
DefaultLanguage "en"
"""


class SpeechService:
    def __init__(self, seconds=0.2):
        self.folder = tempfile.mkdtemp(prefix="quelmo-speechd-")
        self.said_file = os.path.join(self.folder, "said.txt")
        self.socket = os.path.join(self.folder, "speechd.sock")
        home = os.path.join(self.folder, "home")
        os.makedirs(os.path.join(self.folder, "conf", "modules"))
        os.makedirs(home)
        with open(os.path.join(home, ".asoundrc"), "w") as sound:
            sound.write("pcm.!default { type null }\n")
        with open(os.path.join(self.folder, "conf", "speechd.conf"), "w") as settings:
            settings.write(SETTINGS % {"folder": self.folder})
        with open(os.path.join(self.folder, "conf", "modules", "recorder.conf"), "w") as module:
            module.write(MODULE % {"said": self.said_file, "seconds": seconds})
        self.process = subprocess.Popen(
            ["speech-dispatcher", "--run-single", "--timeout", "0",
             "--config-dir", os.path.join(self.folder, "conf"),
             "--communication-method", "unix_socket", "--socket-path", self.socket,
             "--pid-file", os.path.join(self.folder, "pid")],
            env=dict(os.environ, HOME=home), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        wait_until(lambda: os.path.exists(self.socket), 10, "speech-dispatcher's socket")

    @property
    def environment(self):
        """What a client needs to reach this service, and no other: a program
        that finds it gone must not start the machine's own."""
        return {"SPEECHD_ADDRESS": "unix_socket:" + self.socket,
                "SPEECHD_CMD": "/nonexistent/speech-dispatcher"}

    def lines(self):
        try:
            with open(self.said_file) as said:
                return [line.rstrip("\n") for line in said]
        except FileNotFoundError:
            return []

    def begun(self):
        """The texts begun, in order, each with the time it began."""
        return [(float(line.split(" ", 2)[1]), line.split(" ", 2)[2])
                for line in self.lines() if line.startswith("begin ")]

    def texts(self):
        return [text for _, text in self.begun()]

    def ended(self):
        return [line[4:] for line in self.lines() if line.startswith("end ")]

    def wait_for(self, count, timeout=10):
        """Until `count` utterances have begun; the texts of them all."""
        try:
            wait_until(lambda: len(self.texts()) >= count, timeout, "%d utterances" % count)
        except AssertionError:
            raise AssertionError("wanted %d utterances, got %s" % (count, self.texts()))
        return self.texts()

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)
