"""The real program with its files missing, damaged, far too long, in a
folder it cannot write to, and on a disk that fills up while it saves: it
never crashes, quits cleanly and never loses the memories it had."""

import os
import random
import shutil
import stat
import struct
import unittest

import station_test
from station import STATION_CONFIG, private_mounts_work, wait_until
from station_test import StationTest


def setUpModule():
    station_test.start_x_server()


def tearDownModule():
    station_test.stop_x_server()


STORED_MEMORY = (["V1.9"] + ["1001900000", "1003600000", "2005350000", "1007100000",
                             "3010120000", "2014200000", "2018100000", "2021200000",
                             "2024900000", "2028500000", "2050100000", "5145500000",
                             "5432100000"]
                 + ["2014074000", "9", "9", "1007030000", "9", "9", "9", "9", "9", "4029600000"])


def is_well_formed_memory(lines):
    def stored(line):
        return len(line) == 10 and line[0] in "12345" and line.isdigit()
    return (len(lines) == 24 and lines[0] == "V1.9" and all(stored(l) for l in lines[1:14])
            and all(stored(l) or l.startswith("9") for l in lines[14:]))


def noise(seed, size):
    generator = random.Random(seed)
    return bytes(generator.randrange(256) for _ in range(size))


# Runs the program ($0) in the working folder mounted read-only, in a mount
# namespace of its own.
READ_ONLY_FOLDER = ["unshare", "-m", "sh", "-c",
                    'mount --bind "$PWD" "$PWD" && mount -o remount,ro,bind "$PWD" "$PWD" '
                    '&& cd "$PWD" && exec "$0"']

# Moves the working folder onto a small file system, fills it up, runs the
# program ($0) there and copies the memory files out to $QUELMO_OUT after.
FULL_DISK = ["unshare", "-m", "sh", "-c",
             'here="$PWD" && mount -t tmpfs -o size=2m tmpfs "$here" '
             '&& cp -a quelmo.cfg wave COM1 memory.dat "$here"/ && cd "$here" '
             '&& { cat /dev/zero > filler 2>/dev/null; true; } '
             '&& "$0"; status=$?; cp memory.dat* "$QUELMO_OUT"/; exit $status']


class BadFiles(StationTest):
    def run_and_quit(self, station, keys=("f",), connect=False):
        station.start()
        if connect:
            station.wait_connected()
        station.press(*keys)
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertNotIn("ERROR", station.quelmo.stderr.read().decode())

    def test_missing_configuration_is_said_and_the_program_ends_as_a_failure(self):
        for name, make in (("missing", None),
                           ("a link to nowhere", lambda path: os.symlink("station.cfg", path))):
            with self.subTest(name):
                station = self.new_station(config=None)
                if make:
                    make(os.path.join(station.folder, "quelmo.cfg"))
                station.start(wait_for_window=False)
                self.assertEqual(station.wait_for_exit(), 1)
                self.assertIn("cfgnf", station.words())
                errors = station.quelmo.stderr.read().decode()
                self.assertIn("quelmo.cfg", errors)
                self.assertIn(": Quelmo cannot run without it", errors)
                self.assertEqual(station.radio_commands(), [])

    def test_damaged_configurations(self):
        damaged = {
            "empty": b"",
            "noise": noise(1, 600),
            "overlong lines": b"\r\n".join(line.encode() + b"9" * 5000 for line in STATION_CONFIG),
            "one endless line": b"port1" + b"x" * 200000,
            "nul bytes": b"port1\r\n\0\0\0\0\0\0\0\0\r\nPOWER=\0\0\r\n",
        }
        for name, content in damaged.items():
            with self.subTest(name):
                station = self.new_station(config=[])
                with open(os.path.join(station.folder, "quelmo.cfg"), "wb") as file:
                    file.write(content)
                self.run_and_quit(station)
                self.assertTrue(is_well_formed_memory(station.read_lines("memory.dat")))

    def test_damaged_memory_files_keep_what_is_sound(self):
        overlong = list(STORED_MEMORY)
        overlong[2] = "1" + "3" * 100000
        overlong[16] = "9" * 3000
        damaged = {
            "overlong lines": ("\r\n".join(overlong) + "\r\n").encode(),
            "cut short": "\r\n".join(STORED_MEMORY[:5]).encode(),
            "lone CRs": "\r".join(STORED_MEMORY).encode(),
        }
        for name, content in damaged.items():
            with self.subTest(name):
                station = self.new_station()
                with open(os.path.join(station.folder, "memory.dat"), "wb") as file:
                    file.write(content)
                self.run_and_quit(station, keys=("g", "3"))
                saved = station.read_lines("memory.dat")
                self.assertTrue(is_well_formed_memory(saved), saved)
                self.assertEqual(saved[1], STORED_MEMORY[1])
        # The sound lines of the last file; 40 m holds the recalled channel's
        # 7.03 MHz once the radio has reported it before the quit.
        self.assertEqual(saved[:4] + saved[5:6], STORED_MEMORY[:4] + STORED_MEMORY[5:6])
        self.assertIn(saved[4], (STORED_MEMORY[4], STORED_MEMORY[17]))

    def test_missing_and_damaged_words(self):
        station = self.new_station()
        shutil.rmtree(os.path.join(station.folder, "wave"))
        self.run_and_quit(station, keys=("f", "F1"))

        station = self.new_station()
        wave = os.path.join(station.folder, "wave")
        for word, content in (("quelmo", b""), ("1", noise(3, 300)), ("point", b"RIFF\xff\xff\xff\x7fWAVE"),
                              ("connected", b"RIFF" + b"\0" * 40)):
            with open(os.path.join(wave, word + ".wav"), "wb") as file:
                file.write(content)
        os.remove(os.path.join(wave, "nc.wav"))
        os.mkdir(os.path.join(wave, "nc.wav"))
        self.run_and_quit(station, keys=("F1", "s"), connect=True)
        self.assertIn("preamp", station.words())


@unittest.skipUnless(private_mounts_work(), "no private mount namespaces here")
class UnwritableFolders(StationTest):
    def test_read_only_folder_runs_on_the_initial_tables_and_quits(self):
        station = self.new_station()
        station.start(wrapper=READ_ONLY_FOLDER)
        station.wait_for_words(["connected"])
        since = self.mark(station)
        station.press("b", "6")
        self.assertSent(station, since, ["FA014200000;"])  # the 20 m band's first frequency
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(sorted(os.listdir(station.folder)), ["COM1", "quelmo.cfg", "radio.log", "wave"])
        self.assertEqual(station.words()[-1], "quit")

    def test_full_disk_while_saving_keeps_the_previous_memories(self):
        station = self.new_station(memory_lines=STORED_MEMORY)
        os.environ["QUELMO_OUT"] = station.audio_folder
        self.addCleanup(os.environ.pop, "QUELMO_OUT")
        station.start(wrapper=FULL_DISK)
        station.wait_for_words(["connected"])
        station.press("c", "1")
        station.wait_for_words(["sch", "1", "ok", "notsaved"])
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(station.words()[-2:], ["notsaved", "quit"])
        saved = sorted(f for f in os.listdir(station.audio_folder) if f.startswith("memory"))
        self.assertEqual(saved, ["memory.dat"])  # nothing half-written left behind
        with open(os.path.join(station.audio_folder, "memory.dat"), newline="") as memory:
            self.assertEqual(memory.read().split("\r\n")[:-1], STORED_MEMORY)


def wave_header(rate, channels, data_bytes):
    """A 16-bit PCM WAV header that announces `data_bytes` of sound."""
    return (b"RIFF" + struct.pack("<I", 36 + data_bytes) + b"WAVE"
            + b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * 2 * channels,
                                    2 * channels, 16)
            + b"data" + struct.pack("<I", data_bytes))


class HostileFiles(StationTest):
    """Names that are links, FIFOs, devices or folders where the program
    expects its files, and words far beyond what a word may be."""

    def path(self, station, *names):
        return os.path.join(station.folder, *names)

    def quit_and_check(self, station, last_words=("quit",)):
        station.press("q")
        self.assertEqual(station.wait_for_exit(), 0)
        self.assertEqual(station.words()[-len(last_words):], list(last_words))
        return station.quelmo.stderr.read().decode()

    def test_links_are_never_written_through(self):
        station = self.new_station()
        os.mkdir(self.path(station, "kept"))
        with open(self.path(station, "kept", "memory.dat"), "w", newline="") as memory:
            memory.write("\r\n".join(STORED_MEMORY) + "\r\n")
        os.symlink("kept/memory.dat", self.path(station, "memory.dat"))
        os.symlink("memory.dat", self.path(station, "debug.dat"))  # once wiped every channel
        with open(self.path(station, "victim"), "w") as victim:
            victim.write("not the memories")
        os.symlink("victim", self.path(station, "kept", "memory.dat.new"))
        station.start()
        station.wait_for_words(["connected"])
        station.press("c", "2")
        station.wait_for_words(["sch", "2", "ok"])
        errors = self.quit_and_check(station)
        self.assertIn("debug.dat is a link", errors)
        self.assertTrue(os.path.islink(self.path(station, "memory.dat")))
        self.assertTrue(os.path.islink(self.path(station, "debug.dat")))
        saved = station.read_lines("memory.dat")
        self.assertEqual(saved[:16] + saved[17:], STORED_MEMORY[:16] + STORED_MEMORY[17:])
        self.assertEqual(saved[16], "1007100000")
        with open(self.path(station, "victim")) as victim:
            self.assertEqual(victim.read(), "not the memories")
        self.assertEqual(sorted(os.listdir(self.path(station, "kept"))), ["memory.dat"])

    def test_a_configuration_that_is_no_plain_file_is_not_found(self):
        makers = {
            "a link to /dev/zero": lambda path: os.symlink("/dev/zero", path),
            "a FIFO": os.mkfifo,
            "a folder": os.mkdir,
        }
        for name, make in makers.items():
            with self.subTest(name):
                station = self.new_station(config=None)
                make(self.path(station, "quelmo.cfg"))
                station.start(wait_for_window=False)
                self.assertEqual(station.wait_for_exit(timeout=15), 1)
                self.assertEqual(station.words()[-1], "cfgnf")
                self.assertIn("quelmo.cfg", station.quelmo.stderr.read().decode())

    def test_a_memory_file_that_cannot_be_read_is_left_as_it_is(self):
        makers = {
            "a link to /dev/zero": lambda path: os.symlink("/dev/zero", path),
            "a FIFO": os.mkfifo,
        }
        for name, make in makers.items():
            with self.subTest(name):
                station = self.new_station()
                make(self.path(station, "memory.dat"))
                kind = stat.S_IFMT(os.lstat(self.path(station, "memory.dat")).st_mode)
                station.start()
                station.wait_for_words(["connected"])
                since = self.mark(station)
                station.press("b", "6")
                self.assertSent(station, since, ["FA014200000;"])  # the initial band memory
                station.press("c", "3")
                station.wait_for_words(["sch", "3", "ok", "notsaved"])
                errors = self.quit_and_check(station, ["notsaved", "quit"])
                self.assertIn("memory.dat cannot be read", errors)
                self.assertEqual(stat.S_IFMT(os.lstat(self.path(station, "memory.dat")).st_mode), kind)
                self.assertFalse(os.path.exists(self.path(station, "memory.dat.new")))

    def test_a_memory_file_that_is_not_ours_is_never_written_over(self):
        """A memory.dat that leads to the station's quelmo.cfg or to the
        operator's notes, noise, or a memory file made read-only: stores and
        the end leave it as it is, and say the memories were not saved."""
        def link_to(name, content=None):
            def make(station):
                if content is not None:
                    with open(self.path(station, name), "wb") as file:
                        file.write(content)
                os.symlink(name, self.path(station, "memory.dat"))
                return name
            return make

        def written(content, mode=0o644):
            def make(station):
                with open(self.path(station, "memory.dat"), "wb") as file:
                    file.write(content)
                os.chmod(self.path(station, "memory.dat"), mode)
                return "memory.dat"
            return make

        stored = ("\r\n".join(STORED_MEMORY) + "\r\n").encode()
        cases = {  # how memory.dat is made, what stderr says of it
            "a link to quelmo.cfg": (link_to("quelmo.cfg"), "is no memory file"),
            "a link to notes": (link_to("notes.txt", b"Sunday net 7.100 LSB\nQSL cards\n"),
                                "is no memory file"),
            "noise": (written(noise(2, 700)), "is no memory file"),
            "read-only": (written(stored, 0o444), "memory.dat is read-only"),
        }
        for name, (make, said) in cases.items():
            with self.subTest(name):
                station = self.new_station()
                kept = make(station)
                with open(self.path(station, kept), "rb") as file:
                    before = file.read()
                mode = stat.S_IMODE(os.stat(self.path(station, kept)).st_mode)
                station.start()
                station.wait_connected()
                station.press("c", "3")
                station.wait_for_words(["sch", "3", "ok", "notsaved"])
                errors = self.quit_and_check(station, ["notsaved", "quit"])
                self.assertIn(said, errors)
                with open(self.path(station, kept), "rb") as file:
                    self.assertEqual(file.read(), before)
                self.assertEqual(stat.S_IMODE(os.stat(self.path(station, kept)).st_mode), mode)
                self.assertEqual(os.path.islink(self.path(station, "memory.dat")),
                                 kept != "memory.dat")
                self.assertFalse(os.path.exists(self.path(station, kept + ".new")))

    @unittest.skipUnless(os.geteuid() == 0, "needs root to run the program as another user")
    def test_a_memory_file_left_by_another_user_is_never_written_over(self):
        station = self.new_station(memory_lines=STORED_MEMORY)
        os.chmod(self.path(station, "memory.dat"), 0o600)  # root's alone
        for folder in (station.folder, station.audio_folder):
            os.chmod(folder, 0o777)
        os.chmod(os.path.realpath(self.path(station, "COM1")), 0o666)
        station.start(wrapper=["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"])
        station.wait_for_words(["connected"])
        station.press("c", "3")
        station.wait_for_words(["sch", "3", "ok", "notsaved"])
        errors = self.quit_and_check(station, ["notsaved", "quit"])
        self.assertIn("memory.dat cannot be read (Permission denied)", errors)
        self.assertTrue(any(line.startswith("ERR=memory.dat cannot be read (Permission denied)")
                            for line in station.debug_lines()))
        self.assertEqual(station.read_lines("memory.dat"), STORED_MEMORY)

    def test_a_debug_file_that_is_a_fifo_holds_nothing_up(self):
        station = self.new_station()
        os.mkfifo(self.path(station, "debug.dat"))
        station.start()
        station.wait_for_words(["connected"])
        since = self.mark(station)
        station.press("F1")
        self.assertSent(station, since, ["PA01;"])
        self.assertIn("debug.dat is a FIFO", self.quit_and_check(station))

    def test_words_beyond_what_a_word_may_be_are_skipped_and_keys_still_work(self):
        station = self.new_station()
        wave = self.path(station, "wave")
        words = {
            "quelmo": wave_header(1, 1, 200) + bytes(200),      # once aborted the start
            "lsb": wave_header(44100, 1, 44100 * 2 * 20) + bytes(44100 * 2 * 20),  # 20 s
            "1": wave_header(44100, 6, 1200) + bytes(1200),     # six channels
        }
        for word, content in words.items():
            with open(os.path.join(wave, word + ".wav"), "wb") as file:
                file.write(content)
        with open(os.path.join(wave, "point.wav"), "wb") as huge:  # 100 MB, sparse
            huge.write(wave_header(44100, 1, 100 << 20))
            huge.truncate(100 << 20)
        os.remove(os.path.join(wave, "connected.wav"))
        os.mkfifo(os.path.join(wave, "connected.wav"))
        os.remove(os.path.join(wave, "mhz.wav"))
        os.symlink("/dev/zero", os.path.join(wave, "mhz.wav"))
        station.start()
        station.wait_connected()
        for _ in range(2):
            station.press("f")  # the mode, "1", "point" and "mhz" among the words
        since = self.mark(station)
        station.press("F1")
        self.assertSent(station, since, ["PA01;"], timeout=3)
        station.wait_for_words(["preamp", "on"])
        polls = station.radio_commands().count("FA;")
        wait_until(lambda: station.radio_commands().count("FA;") > polls + 5, 3, "the poll going on")
        errors = self.quit_and_check(station)
        for word in ("quelmo", "lsb", "1", "point", "connected", "mhz"):
            self.assertEqual(errors.count(os.path.join("wave", word + ".wav ")), 1, (word, errors))


if __name__ == "__main__":
    unittest.main()
