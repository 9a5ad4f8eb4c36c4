"""A long run of random keys against quelmo-sim with its faults switched on.

Built with AddressSanitizer and UndefinedBehaviorSanitizer, the program takes
tens of thousands of keys while the radio answers late, split and garbled and
is switched off and on and retuned at its knob. Afterwards: the program is
still running and answers the quit key, every command the radio received was
well-formed, a channel stored at the end is in memory.dat, and the resident
memory at the end is printed beside the one at the start.
"""

import argparse
import array
import os
import random
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

from command_forms import malformed_commands  # noqa: E402
from station import POLL_QUERIES, Station, XServer, wait_until  # noqa: E402
from test_voice import VOCABULARY, wav_bytes  # noqa: E402

# Every key the key map knows but "q" (which ends the run), and a few it
# does not; xdotool names.
KEYS = ["Return", "Prior", "Next", "Left", "Up", "Right", "Down", "Insert", "Shift_L",
        "Control_L", "Super_L", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "a", "b",
        "c", "e", "f", "g", "h", "m", "p", "r", "s", "t", "w", "x", "z", "F1", "F2", "F3",
        "F4", "F5", "F6", "equal", "minus", "period", "KP_0", "KP_Decimal", "j", "y"]

SIM_FAULTS = ["--delay", "30", "--split=10", "--garble", "0.05"]
BATCH = 250


def write_short_voice(folder):
    """Every word a 2 ms recording, so that speech costs the keys little."""
    os.makedirs(folder, exist_ok=True)
    for index, word in enumerate(VOCABULARY):
        samples = array.array("h", [256 * (index + 1)] * 88)
        with open(os.path.join(folder, word + ".wav"), "wb") as wav:
            wav.write(wav_bytes(samples))


def keys_handled(station):
    """Key lines in the traffic log: everything after the header that is
    not a command sent or a reply read."""
    return sum(1 for line in station.debug_lines()[1:] if not line.startswith(("TX=", "RX=")))


def random_keys(generator, count):
    """Never the same key twice in a row: X would take the release and the
    press in between for the key's auto-repeat, and the program rightly
    ignores a repeat."""
    keys = []
    while len(keys) < count:
        key = generator.choice(KEYS)
        if not keys or keys[-1] != key:
            keys.append(key)
    return keys


def wait_for_keys(station, sent):
    """Until the program has taken the keys sent, or has taken no key for a
    while (a key lost on the way is counted, not waited for)."""
    last, still_since = -1, time.monotonic()
    while time.monotonic() - still_since < 3:
        handled = keys_handled(station)
        if handled >= sent or not station.running():
            return
        if handled != last:
            last, still_since = handled, time.monotonic()
        time.sleep(0.2)


def turn_knobs(station, generator):
    choice = generator.random()
    if choice < 0.1:
        station.knob("off")
        time.sleep(0.3)
        station.knob("on")
    elif choice < 0.6:
        station.knob("freq %d" % generator.choice([1850000, 3650000, 7050000, 10400000,
                                                   14200000, 21300000, 28500000, 145500000,
                                                   432100000, 50150000, 999999999, 0]))
    else:
        station.knob("smeter %d" % generator.randrange(256))


def soak(key_count, seed):
    generator = random.Random(seed)
    x_server = XServer()
    station = Station(x_server, SIM_FAULTS)
    try:
        write_short_voice(os.path.join(station.folder, "wave"))
        station.audio_file = "/dev/null"
        station.start()
        station.wait_connected(timeout=20)
        station.focus()
        started = time.monotonic()
        sent = 0
        rss_start = None
        rss_peak = 0
        while sent < key_count:
            batch = random_keys(generator, min(BATCH, key_count - sent))
            station.xdotool("key", "--delay", "3", *batch)
            sent += len(batch)
            turn_knobs(station, generator)
            wait_for_keys(station, sent)
            if not station.running():
                raise AssertionError("quelmo ended: " + station.quelmo.stderr.read().decode())
            rss = station.resident_kb()
            rss_peak = max(rss_peak, rss)
            if rss_start is None:
                rss_start = rss
            print("%6d keys  %5.0f s  VmRSS %d kB" % (sent, time.monotonic() - started, rss),
                  flush=True)
        rss_end = station.resident_kb()

        # Leave tuning and entry, then store a channel at a known frequency:
        # it must be in memory.dat after the quit.
        station.knob("on")
        station.knob("freq 14123000")
        wait_until(lambda: any("FA014123000;" in l for l in station.debug_lines()[-200:]), 10,
                   "the radio on 14.123 MHz")
        tuning = [l for l in station.debug_lines() if l in ("TX=TX1;", "TX=TX0;")]
        if tuning and tuning[-1] == "TX=TX1;":
            station.press("t")
        station.press("Escape", "c", "7")
        time.sleep(1)
        station.press("q")
        code = station.wait_for_exit(timeout=30)
        errors = station.quelmo.stderr.read().decode()
        memory = station.read_lines("memory.dat")
        commands = station.radio_commands()
        malformed = malformed_commands(commands)
        key_commands = [c for c in commands if c not in POLL_QUERIES]

        print("keys sent %d, keys handled %d, in %.0f s" %
              (sent, keys_handled(station), time.monotonic() - started))
        print("commands checked at the radio %d (%d from keys), malformed %d %s" %
              (len(commands), len(key_commands), len(malformed), malformed[:5]))
        print("VmRSS after the first batch %d kB, at the end %d kB, growth %d kB, peak %d kB" %
              (rss_start, rss_end, rss_end - rss_start, rss_peak))
        print("exit code %d; memory.dat channel 7: %s" % (code, memory[21] if memory else None))
        failures = []
        if code != 0 or "ERROR" in errors or "runtime error" in errors:
            failures.append("exit %d, stderr: %s" % (code, errors[-2000:]))
        if malformed:
            failures.append("malformed commands: %s" % malformed[:20])
        if not memory or len(memory) != 24 or not memory[21].endswith("014123000"):
            failures.append("memory.dat lost the channel stored last: %s" % memory)
        if failures:
            print("SOAK FAILED:\n" + "\n".join(failures))
            return 1
        print("soak passed")
        return 0
    finally:
        station.stop()
        x_server.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--keys", type=int, default=20000)
    parser.add_argument("--seed", type=int, default=7)
    arguments = parser.parse_args()
    return soak(arguments.keys, arguments.seed)


if __name__ == "__main__":
    sys.exit(main())
