"""Measures the built program against the simulated radio under a private X
server and prints one table: each figure's median over the runs and its
spread (lowest to highest run). It prints figures only; it never fails on a
missed target."""

import argparse
import array
import os
import random
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
sys.path.insert(0, HERE)

import station as e2e  # noqa: E402
from rigctld import DummyRigctld, RigctldStation, rigctld_config  # noqa: E402
from speech_service import SpeechService  # noqa: E402
from test_voice import (RATE, SILENT_SAMPLES, SOUND_SAMPLES, VOCABULARY, value_of,  # noqa: E402
                        wav_bytes)
from xlib import Display, now_us  # noqa: E402

QUERIES = {"FA;", "SM0;"}
QUERY_INTERVAL_MS = 100.0
# Each word a different length, as spoken words are: the time lost between
# two words depends on where in the sound device's buffer a word ends, so
# words all of one length would always end at the same place.
WORD_SAMPLES = {value_of(i): SOUND_SAMPLES + SILENT_SAMPLES + (i * 97) % 1024
                for i in range(len(VOCABULARY))}
FREQUENCY_COMMAND = re.compile(r"^FA\d{9};$")
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
PHRASES = 3  # frequency announcements a run
# F is pressed again this long after half a second of silence has followed
# the answer before: in turn while the sound device is still awake (within a
# second of silence) and once it rests.
FIRST_WORD_GAPS_S = [(0.0, 0.4), (0.6, 1.5)]


def percentile(values, share):
    ordered = sorted(values)
    index = min(len(ordered) - 1, max(0, round(share * (len(ordered) - 1))))
    return ordered[index]


class Run:
    """One program run: start, idle polling, a spoken phrase, key presses."""

    def __init__(self, x_server, display, idle_seconds, presses, answers):
        self.x = x_server
        self.display = display
        self.idle_seconds = idle_seconds
        self.presses = presses
        self.answers = answers
        self.figures = {}

    # --- the radio's log, read as (monotonic us, command) ---

    def commands(self):
        result = []
        with open(self.station.sim_log) as log:
            for line in log:
                parts = line.rstrip("\n").split(" ", 2)
                if len(parts) == 3:
                    result.append((int(parts[1]), parts[2]))
        return result

    def cpu_seconds(self):
        """CPU time used so far by the program's main thread and by all its
        other threads together (the sound device's thread)."""
        pid = self.station.quelmo.pid
        main, others = 0.0, 0.0
        for task in os.listdir("/proc/%d/task" % pid):
            try:
                with open("/proc/%d/task/%s/stat" % (pid, task)) as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
            except FileNotFoundError:
                continue  # a thread that has just ended
            used = (int(fields[11]) + int(fields[12])) / CLOCK_TICKS
            if int(task) == pid:
                main += used
            else:
                others += used
        return main, others

    def status_kib(self, key):
        with open("/proc/%d/status" % self.station.quelmo.pid) as status:
            for line in status:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
        return 0

    # --- the run ---

    def go(self):
        self.station = e2e.Station(self.x)
        write_varied_voice(os.path.join(self.station.folder, "wave"))
        try:
            self.start()
            self.station.wait_connected()
            time.sleep(2)  # the greeting and "connected" are over
            self.idle()
            self.speak_frequency()
            self.first_words()
            self.press_keys()
            self.figures["peak_rss_mib"] = self.status_kib("VmHWM") / 1024
            self.radio_missing()
        finally:
            self.station.stop()
        return self.figures

    def start(self):
        """From just before exec to the window being mapped, as the X server
        reports it to a client watching the root window."""
        environment = dict(os.environ, DISPLAY=self.x.display, SDL_AUDIODRIVER="disk",
                           SDL_DISKAUDIOFILE=self.station.audio_file, LD_PRELOAD=e2e.FLUSH_SOUND)
        self.display.watch_maps()
        started = now_us()
        self.station.quelmo = subprocess.Popen([e2e.QUELMO], cwd=self.station.folder,
                                               env=environment, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.PIPE)
        mapped = self.display.wait_for_map(15)
        if mapped is not None:
            self.figures["start_to_window_ms"] = (mapped - started) / 1000
        self.station.window  # noqa: B018 -- waits for the window

    def idle(self):
        """Queries at the radio and CPU used over the idle period."""
        since = now_us()
        cpu_before = self.cpu_seconds()
        wall_before = time.monotonic()
        time.sleep(self.idle_seconds)
        main, others = (after - before for after, before in zip(self.cpu_seconds(), cpu_before))
        wall = time.monotonic() - wall_before
        stamps = [t for t, c in self.commands() if t >= since and c in QUERIES]
        intervals = [(b - a) / 1000 for a, b in zip(stamps, stamps[1:])]
        deviations = [abs(i - QUERY_INTERVAL_MS) for i in intervals]
        self.figures["poll_mean_ms"] = statistics.mean(intervals)
        self.figures["poll_p99_dev_ms"] = percentile(deviations, 0.99)
        # A tick missed shows as a gap of two query intervals or more.
        self.figures["poll_missed"] = sum(1 for i in intervals if i >= 1.5 * QUERY_INTERVAL_MS)
        self.figures["cpu_idle_pct"] = 100 * (main + others) / wall
        self.figures["cpu_main_pct"] = 100 * main / wall
        self.figures["cpu_sound_pct"] = 100 * others / wall

    def radio_missing(self):
        """CPU used while the radio's adapter is pulled: the program has said
        so and tries the port again once a second."""
        self.station.knob("unplug")
        e2e.wait_until(lambda: any(l.startswith("LINK=") for l in self.station.debug_lines()),
                       5, "the radio lost")
        time.sleep(2)  # the words are over and the sound device rests
        self.figures["cpu_missing_pct"] = self.station.cpu_share(self.idle_seconds / 2)

    def focus(self):
        self.display.focus(int(self.station.window))

    def press(self, keysym):
        code = self.display.keycode(keysym)
        self.display.key(code, True)
        self.display.key(code, False)

    def speak_frequency(self):
        """Key F on 14 195 500 Hz: the mode and the frequency, word by word.
        Each word's start is found in the sound output; what lies between one
        word's recording ending and the next one starting is overhead."""
        self.station.knob("freq 14195500")
        e2e.wait_until(lambda: any("FA014195500" in l for l in self.station.debug_lines()),
                       5, "the new frequency in the poll")
        self.focus()
        gaps = []
        for _ in range(PHRASES):
            time.sleep(0.2)
            start_byte = os.path.getsize(self.station.audio_file)
            self.press("f")
            starts = e2e.wait_until(lambda: self.phrase_if_ended(start_byte), 10, "the phrase")
            gaps += [(b - a - WORD_SAMPLES[word]) * 1000 / RATE
                     for (a, word), (b, _) in zip(starts, starts[1:])]
        self.figures["speech_words"] = len(starts)
        self.figures["speech_overhead_ms"] = statistics.mean(gaps)

    def phrase_if_ended(self, start_byte):
        starts = word_starts(self.station.audio_file, start_byte)
        if not starts:
            return None
        last_start, last_word = starts[-1]
        if os.path.getsize(self.station.audio_file) - start_byte < \
                2 * (last_start + WORD_SAMPLES[last_word] + RATE // 2):
            return None  # still speaking, or less than half a second since
        return starts

    def first_words(self):
        """Key F with the frequency focused, timed from the key event to the
        first sample of its answer leaving the program: the sound buffer that
        holds it written to the disk driver's file (flushed buffer by buffer,
        flush_sound.cpp). Each press comes a random while after the answer
        before has ended, so it finds the sound device awake or resting."""
        self.focus()
        code = self.display.keycode("f")
        latencies = [[], []]  # device awake, device resting
        for i in range(self.answers):
            time.sleep(random.uniform(*FIRST_WORD_GAPS_S[i % 2]))
            start_byte = os.path.getsize(self.station.audio_file)
            pressed = now_us()
            self.display.key(code, True)
            sounded = self.first_sound_after(start_byte, pressed + 5_000_000)
            latencies[i % 2].append((sounded - pressed) / 1000)
            self.display.key(code, False)
            e2e.wait_until(lambda: self.phrase_if_ended(start_byte), 10, "the phrase's end")
        every = latencies[0] + latencies[1]
        self.figures["first_word_median_ms"] = statistics.median(every)
        self.figures["first_word_p99_ms"] = percentile(every, 0.99)
        self.figures["first_awake_median_ms"] = statistics.median(latencies[0])
        self.figures["first_awake_p99_ms"] = percentile(latencies[0], 0.99)

    def first_sound_after(self, start_byte, deadline_us):
        """The time a sound sample first shows in the output after
        start_byte, the file looked at every 0.2 ms."""
        with open(self.station.audio_file, "rb") as raw:
            while now_us() < deadline_us:
                raw.seek(start_byte)
                data = raw.read()
                seen = now_us()
                if data.strip(b"\0"):
                    return seen
                time.sleep(0.0002)
        raise AssertionError("no answer to F")

    def press_keys(self):
        """Page Up and Page Down in turn (the frequency stays in its band, so
        nothing is spoken), each timed from the key event to the radio's
        receipt of the new frequency."""
        self.focus()
        latencies = []
        codes = [self.display.keycode("Prior"), self.display.keycode("Next")]
        for i in range(self.presses):
            seen = len(self.commands())
            pressed = now_us()
            self.display.key(codes[i % 2], True)
            arrived = e2e.wait_until(lambda: self.new_frequency_command(seen), 2,
                                     "the frequency at the radio")
            latencies.append((arrived - pressed) / 1000)
            self.display.key(codes[i % 2], False)
            time.sleep(random.uniform(0.02, 0.08))  # at any phase of the poll
        self.figures["key_median_ms"] = statistics.median(latencies)
        self.figures["key_p99_ms"] = percentile(latencies, 0.99)

    def new_frequency_command(self, seen):
        for stamp, command in self.commands()[seen:]:
            if FREQUENCY_COMMAND.match(command):
                return stamp
        time.sleep(0.001)
        return None


class SystemSpeechRun:
    """Key F with SYSTEM_SPEECH=1, timed from the key event to a private
    speech-dispatcher's output module beginning the utterance (its command
    notes the time, CLOCK_REALTIME, as the benchmark's stamp is)."""

    def __init__(self, x_server, display, answers):
        self.x = x_server
        self.display = display
        self.answers = answers

    def go(self):
        service = SpeechService(seconds=0.05)
        extra = service.environment

        class SpeakingStation(e2e.Station):
            def _environment(self):
                return dict(super()._environment(), **extra)

        station = SpeakingStation(self.x, config=e2e.STATION_CONFIG + ["SYSTEM_SPEECH=1"])
        try:
            station.start()
            station.wait_connected()
            time.sleep(1)
            self.display.focus(int(station.window))
            code = self.display.keycode("f")
            latencies = []
            for _ in range(self.answers):
                time.sleep(random.uniform(0.2, 0.5))
                said = len(service.begun())
                pressed = time.time()
                self.display.key(code, True)
                e2e.wait_until(lambda: len(service.begun()) > said, 5, "the utterance")
                latencies.append((service.begun()[said][0] - pressed) * 1000)
                self.display.key(code, False)
        finally:
            station.stop()
            service.stop()
        return {"system_first_median_ms": statistics.median(latencies),
                "system_first_p99_ms": percentile(latencies, 0.99)}


class RigctldIdleRun:
    """Idle polling through Hamlib's rigctld with its dummy radio (model 1)
    on 127.0.0.1: the program's share of a core, and rigctld's own beside
    it, over the idle period."""

    def __init__(self, x_server, idle_seconds):
        self.x = x_server
        self.idle_seconds = idle_seconds

    def go(self):
        rigctld = DummyRigctld().start()
        station = RigctldStation(self.x, config=rigctld_config(rigctld.port))
        try:
            station.start()
            station.wait_connected()
            time.sleep(2)  # the greeting and "connected" are over
            rigctld_before = on_cpu_ns(rigctld.process.pid)
            started = time.monotonic()
            share = station.cpu_share(self.idle_seconds)
            wall = time.monotonic() - started
            rigctld_share = (on_cpu_ns(rigctld.process.pid) - rigctld_before) / 1e7 / wall
        finally:
            station.stop()
            rigctld.stop()
        return {"cpu_rigctld_pct": share, "cpu_rigctld_server_pct": rigctld_share}


def on_cpu_ns(pid):
    """The nanoseconds a process's threads have run, from the scheduler."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as stat:
                total += int(stat.read().split()[0])
        except FileNotFoundError:
            continue  # a thread that has just ended
    return total


def write_varied_voice(folder):
    for index, word in enumerate(VOCABULARY):
        value = value_of(index)
        silence = WORD_SAMPLES[value] - SOUND_SAMPLES
        samples = array.array("h", [value] * SOUND_SAMPLES + [0] * silence)
        with open(os.path.join(folder, word + ".wav"), "wb") as wav:
            wav.write(wav_bytes(samples))


def word_starts(raw_path, start_byte):
    """(sample position from start_byte, sample value) of each word begun."""
    known = WORD_SAMPLES
    with open(raw_path, "rb") as raw:
        raw.seek(start_byte)
        data = raw.read()
    samples = array.array("h")
    samples.frombytes(data[: len(data) // 2 * 2])
    starts = []
    previous = 0
    for position, sample in enumerate(samples):
        if sample != previous and sample in known:
            starts.append((position, sample))
        previous = sample
    return starts


def tool_figures(binary, x_display, *arguments):
    """name value lines printed by one of the small benchmark programs
    (none when the build has no such program)."""
    if not os.path.exists(binary):
        return {}
    result = subprocess.run([binary, *arguments], capture_output=True, text=True,
                            env=dict(os.environ, DISPLAY=x_display, SDL_AUDIODRIVER="dummy"))
    figures = {}
    for line in result.stdout.splitlines():
        parts = line.split()
        if len(parts) == 2:
            try:
                figures[parts[0]] = float(parts[1])
            except ValueError:
                pass
    return figures


ROWS = [
    # key, label, format, target text, met(value)
    ("poll_mean_ms", "Poll: mean query interval (ms)", "%.2f", "100 +/- 1 %",
     lambda v: abs(v - 100) <= 1),
    ("poll_p99_dev_ms", "Poll: p99 deviation from 100 ms (ms)", "%.2f", "< 5", lambda v: v < 5),
    ("poll_missed", "Poll: ticks missed while idle", "%.0f", "0", lambda v: v == 0),
    ("x_delivery_ms", "Key: X server delivery to a bare client (ms)", "%.3f", "-", None),
    ("key_median_ms", "Key: Page Up to FA at radio, median (ms)", "%.3f", "-", None),
    ("key_p99_ms", "Key: Page Up to FA at radio, p99 (ms)", "%.3f", "-", None),
    ("own_median_ms", "Key: program's own time, median (ms)", "%.3f", "< 1", lambda v: v < 1),
    ("own_p99_ms", "Key: program's own time, p99 (ms)", "%.3f", "< 3", lambda v: v < 3),
    ("first_word_median_ms", "Key: F to its first sample out, median (ms)", "%.2f", "< 10",
     lambda v: v < 10),
    ("first_word_p99_ms", "Key: F to its first sample out, p99 (ms)", "%.2f", "< 20",
     lambda v: v < 20),
    ("first_awake_median_ms", "  of which device awake, median (ms)", "%.2f", "-", None),
    ("first_awake_p99_ms", "  of which device awake, p99 (ms)", "%.2f", "-", None),
    ("system_first_median_ms", "Key: F to its utterance begun, system speech, median (ms)",
     "%.2f", "-", None),
    ("system_first_p99_ms", "Key: F to its utterance begun, system speech, p99 (ms)", "%.2f",
     "-", None),
    ("cpu_idle_pct", "CPU idle, polling (% of one core)", "%.3f", "< 0.5", lambda v: v < 0.5),
    ("cpu_main_pct", "  of which the main thread (poll, drawing)", "%.3f", "-", None),
    ("cpu_sound_pct", "  of which the other threads (sound output)", "%.3f", "-", None),
    ("cpu_missing_pct", "CPU idle, radio missing (% of one core)", "%.3f", "< 0.5",
     lambda v: v < 0.5),
    ("cpu_rigctld_pct", "CPU idle, polling through rigctld (% of one core)", "%.3f", "< 0.5",
     lambda v: v < 0.5),
    ("cpu_rigctld_server_pct", "  rigctld itself, dummy radio (% of one core)", "%.3f", "-",
     None),
    ("speech_overhead_ms", "Speech: heard gap per word, phrase (ms)", "%.2f", "< 3",
     lambda v: v < 3),
    ("speech_words", "Speech: words in the phrase", "%.0f", "-", None),
    ("sound_overhead_ms", "Speech: sound layer overhead per word (ms)", "%.2f", "< 3",
     lambda v: v < 3),
    ("missing_word_ms", "Speech: missing word (ms)", "%.4f", "< 0.1", lambda v: v < 0.1),
    ("smeter_tick_ms", "Speech: silent S-meter refresh tick (ms)", "%.3f", "-", None),
    ("rate_word_ms", "SPEECH_RATE=1.5: a word processed, once (ms)", "%.2f", "-", None),
    ("rate_cache_kib", "SPEECH_RATE=1.5: the whole voice processed (KiB)", "%.0f", "-", None),
    ("peak_rss_mib", "Memory: peak resident, run with speech (MiB)", "%.1f", "< 30",
     lambda v: v < 30),
    ("start_to_window_ms", "Start: exec to window mapped (ms)", "%.1f", "< 200",
     lambda v: v < 200),
]


NOTES = """
Poll: stamps of "FA;" and "SM0;" as the simulated radio received them.
Key: XTEST key event sent by the benchmark -> X server -> quelmo -> "FA...;"
  complete at the simulated radio (its own receive stamp, same clock). The
  program's own time is that minus the median X delivery to a bare client of
  the benchmark's own; it still holds the pseudo-terminal hop, the
  simulator's wake-up and any wait for a shared core.
First sample: XTEST key F -> X server -> quelmo -> the first sound buffer
  holding its answer written to the disk driver's file, seen by the
  benchmark polling the file every 0.2 ms. Half the presses come 0.5 to
  0.9 s after the answer before has ended, while the sound device is still
  awake, half 1.1 to 2 s after, when it rests.
System speech: XTEST key F -> X server -> quelmo (SYSTEM_SPEECH=1) ->
  libspeechd -> a private speech-dispatcher -> its generic output module
  starting the command that stands for the synthesiser, which notes the
  time; a real synthesiser's own time to its first sample comes on top.
CPU: utime+stime from /proc over the idle period, all threads, in clock
  ticks (0.017 % each over 60 s); the sound thread, which writes the output
  to a file (SDL disk driver), rests after a second of silence. Radio
  missing: all threads' time on a core (/proc schedstat, nanoseconds) over
  half the idle period, after the simulated radio's adapter was pulled (its
  link leads nowhere; the port is tried once a second). Through rigctld:
  the same idle period with RIGCTLD= in quelmo.cfg and rigctld -m 1 (the
  dummy radio) on 127.0.0.1, all threads' time on a core (schedstat), the
  program's and rigctld's own.
Speech gap: silence in the sound output between the end of one word's
  recording and the start of the next, over three frequency announcements.
  Sound layer: wall time of 10 words through the player minus their length
  (SDL dummy driver); below zero the player returns before the last buffer
  has been heard. Missing word and S-meter tick: measured inside the program
  (bench/poll_tick_cost.cpp): mean of 10000 calls, median of 500 ticks.
Speech rate: every word of the default voice (build/wave) through libsonic
  at 1.5 (bench/speech_rate_cost.cpp); a word is processed at its first use
  and kept beside the word as recorded."""


def print_table(runs, runs_count):
    print()
    print("| Figure | Median | Spread (%d runs) | Target | Met |" % runs_count)
    print("|---|---:|---:|---|---|")
    for key, label, form, target, met in ROWS:
        values = [r[key] for r in runs if key in r]
        if not values:
            print("| %s | n/a | | %s | |" % (label, target))
            continue
        median = statistics.median(values)
        spread = (form + " - " + form) % (min(values), max(values))
        verdict = "" if met is None else ("yes" if met(median) else "NO")
        print("| %s | %s | %s | %s | %s |" % (label, form % median, spread, target, verdict))
    print(NOTES)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", required=True, help="the release build folder")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--idle", type=float, default=60, help="seconds of idle polling a run")
    parser.add_argument("--presses", type=int, default=100, help="key presses a run")
    parser.add_argument("--answers", type=int, default=30, help="F answers timed a run")
    options = parser.parse_args()
    options.build = os.path.abspath(options.build)
    e2e.QUELMO = os.path.join(options.build, "quelmo")
    e2e.QUELMO_SIM = os.path.join(options.build, "quelmo-sim")
    e2e.FLUSH_SOUND = e2e.FLUSH_SOUND or os.path.join(options.build, "tests", "e2e",
                                                      "libflush_sound.so")

    x_server = e2e.XServer()
    display = Display(x_server.display)
    runs = []
    try:
        for number in range(options.runs):
            print("run %d of %d ..." % (number + 1, options.runs), flush=True)
            figures = Run(x_server, display, options.idle, options.presses, options.answers).go()
            delivery = display.delivery_times("Prior", options.presses)
            delivery_median = statistics.median(delivery)
            figures["x_delivery_ms"] = delivery_median / 1000
            figures["own_median_ms"] = figures["key_median_ms"] - delivery_median / 1000
            figures["own_p99_ms"] = figures["key_p99_ms"] - delivery_median / 1000
            sound = tool_figures(os.path.join(options.build, "speech_overhead"), x_server.display)
            ticks = tool_figures(os.path.join(options.build, "poll_tick_cost"), x_server.display)
            rate = tool_figures(os.path.join(options.build, "speech_rate_cost"), x_server.display,
                                os.path.join(HERE, "..", "build", "wave"))
            for key, value in list(sound.items()) + list(ticks.items()) + list(rate.items()):
                figures[key] = value
            figures.update(SystemSpeechRun(x_server, display, options.answers).go())
            figures.update(RigctldIdleRun(x_server, options.idle).go())
            runs.append(figures)
    finally:
        display.close()
        x_server.stop()
    print_table(runs, options.runs)


if __name__ == "__main__":
    main()
