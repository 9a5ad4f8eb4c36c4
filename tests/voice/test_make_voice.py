"""voice/make-voice on a short list of its own: every word listed is made in
the program's format, with its silence trimmed but none of its first sound,
by either engine; a folder made from the same list is left as it is, one
made from another list loses its former words but nothing else; settings
that cannot be made are refused and leave the voice made before as it was."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import wave

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
MAKE_VOICE = os.path.join(ROOT, "voice", "make-voice")
sys.path.insert(0, os.path.join(ROOT, "bench"))
from first_sound import first_sound, seconds_of  # noqa: E402

# Words whose soft first sound a trimming by level cuts, one that starts
# with a stop's silent closure, and the pause the program waits through.
WORDS = [
    ("5.wav", 0, "five"),
    ("3.wav", 0, "three"),
    ("6.wav", 0, "six"),
    ("15.wav", 0, "fifteen"),
    ("point.wav", 0, "point"),
    ("delay.wav", 2000, "please wait"),
]


class MakeVoiceTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="quelmo-make-voice-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def printer(self, words, name="vocabulary"):
        """A stand-in for quelmo-vocabulary that prints these words."""
        path = os.path.join(self.folder, name)
        lines = "".join("%s\t%d\t%s\n" % word for word in words)
        with open(path, "w") as script:
            script.write("#!/bin/sh\nprintf '%%s' '%s'\n" % lines)
        os.chmod(path, 0o755)
        return path

    def make(self, printer, voice, *options):
        return subprocess.run([MAKE_VOICE, *options, printer, voice], capture_output=True,
                              text=True, timeout=120)

    def test_every_word_is_made_trimmed_with_its_first_sound_by_either_engine(self):
        printer = self.printer(WORDS)
        for engine in ("flite", "espeak-ng"):
            with self.subTest(engine):
                voice = os.path.join(self.folder, engine)
                said = os.path.join(self.folder, engine + "-said")
                for folder, extra in ((voice, []), (said, ["--untrimmed"])):
                    made = self.make(printer, folder, "--engine", engine, *extra)
                    self.assertEqual(made.returncode, 0, made.stderr)
                self.assertEqual(sorted(f for f in os.listdir(voice) if f.endswith(".wav")),
                                 sorted(name for name, _length, _sentence in WORDS))
                for name, length, sentence in WORDS:
                    path = os.path.join(voice, name)
                    with wave.open(path) as w:
                        self.assertEqual((w.getnchannels(), w.getsampwidth(), w.getframerate()),
                                         (1, 2, 22050), name)
                    if length:
                        self.assertAlmostEqual(seconds_of(path), length / 1000, places=3)
                        continue
                    lost, delay = first_sound(path, os.path.join(said, name))
                    self.assertIsNotNone(lost, "%s is no part of the word as said" % sentence)
                    self.assertLessEqual(lost, 1.0, sentence)
                    # The silence before the sound is gone: a stop's closure
                    # is all that may stay.
                    self.assertLess(delay, 100 if sentence == "point" else 30, sentence)
                    self.assertLess(seconds_of(path), seconds_of(os.path.join(said, name)) - 0.05,
                                    sentence)

    def test_a_folder_is_made_again_only_for_another_list_and_loses_only_its_former_words(self):
        voice = os.path.join(self.folder, "voice")
        first = self.printer([("5.wav", 0, "five"), ("6.wav", 0, "six")], "first")
        self.assertEqual(self.make(first, voice).returncode, 0)
        os.utime(os.path.join(voice, "5.wav"), (0, 0))
        again = self.make(first, voice)
        self.assertEqual((again.returncode, again.stdout), (0, ""))
        self.assertEqual(os.path.getmtime(os.path.join(voice, "5.wav")), 0)

        mine = os.path.join(voice, "mine.wav")
        shutil.copy(os.path.join(voice, "5.wav"), mine)
        second = self.printer([("6.wav", 0, "six"), ("7.wav", 0, "seven")], "second")
        self.assertEqual(self.make(second, voice).returncode, 0)
        self.assertEqual(sorted(os.listdir(voice)), [".vocabulary", "6.wav", "7.wav", "mine.wav"])

        # The same list in the other engine is another voice.
        os.utime(os.path.join(voice, "6.wav"), (0, 0))
        other = self.make(second, voice, "--engine", "espeak-ng")
        self.assertIn("espeak-ng voice en-us", other.stdout)
        self.assertNotEqual(os.path.getmtime(os.path.join(voice, "6.wav")), 0)

    def test_settings_that_cannot_be_made_are_refused_and_the_voice_made_is_kept(self):
        printer = self.printer(WORDS[:2])
        voice = os.path.join(self.folder, "voice")
        self.assertEqual(self.make(printer, voice).returncode, 0)
        with open(os.path.join(voice, ".vocabulary")) as made:
            settings = made.read()
        for options, said in [
            (["--voice", "nosuch"], 'flite has no voice "nosuch"'),
            (["--trim", "0 1%"], "--trim is for espeak-ng"),
            (["--rate", "fast"], 'the rate is words a minute, not "fast"'),
            (["--engine", "espeak-ng", "--voice", "nosuch"], "voice does not exist"),
            (["--engine", "festival"], "usage:"),
        ]:
            with self.subTest(options):
                made = self.make(printer, voice, *options)
                self.assertNotEqual(made.returncode, 0)
                self.assertIn(said, made.stderr)
                self.assertEqual(sorted(os.listdir(voice)), [".vocabulary", "3.wav", "5.wav"])
                with open(os.path.join(voice, ".vocabulary")) as made:
                    self.assertEqual(made.read(), settings)

if __name__ == "__main__":
    unittest.main()
