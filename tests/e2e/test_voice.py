"""A test voice whose words can be told apart in the program's sound output.

Each word's WAV holds a run of one constant sample value that no other word
uses, then silence. The files are 44 100 Hz, 16-bit, mono: the format in
which the program opens the sound device, so they are played unconverted and
every value reaches the output file as written.
"""

import array
import os
import struct

RATE = 44100
SOUND_SAMPLES = 882    # 20 ms of the word's value
SILENT_SAMPLES = 882   # 20 ms of silence, so that repeated words stay apart

VOCABULARY = [
    "quelmo", "cfgnf", "delay", "help", "quit", "ton", "nc", "af", "rf", "power",
    "band", "ef", "point", "ok", "invalid", "sch", "gch", "notch", "spc", "tune",
    "preamp", "at", "nb", "nr", "on", "off", "connected", "mhz", "s", "plus", "swr",
    "gt5", "watts", "bw", "khz", "lsb", "usb", "cw", "am", "fm", "metres", "un",
    "max", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "12", "15",
    "17", "20", "21", "30", "40", "60", "70", "80", "160", "notsaved",
    "lost", "nodev", "denied", "busy", "badspeed", "noanswer", "port", "speed", "tuner",
    "carrier", "pwrctl", "log", "checkline", "id", "running", "noserver", "serverbusy",
    "noaddress", "echo", "option", "refused", "notavailable", "noreading", "notunderstood",
    "unknownmodel", "radiooff",
]


def value_of(index):
    return 256 * (index + 1)


def wav_bytes(samples):
    data = samples.tobytes()
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16)
    header += b"data" + struct.pack("<I", len(data))
    return header + data


def write_test_voice(folder, sound_samples=SOUND_SAMPLES):
    os.makedirs(folder, exist_ok=True)
    for index, word in enumerate(VOCABULARY):
        samples = array.array("h", [value_of(index)] * sound_samples + [0] * SILENT_SAMPLES)
        with open(os.path.join(folder, word + ".wav"), "wb") as wav:
            wav.write(wav_bytes(samples))


def decode_words(raw_path):
    """The words in a raw 16-bit mono output file, in the order played."""
    words_by_value = {value_of(i): word for i, word in enumerate(VOCABULARY)}
    try:
        with open(raw_path, "rb") as raw:
            data = raw.read()
    except FileNotFoundError:
        return []
    samples = array.array("h")
    samples.frombytes(data[: len(data) // 2 * 2])
    words = []
    previous = 0
    for sample in samples:
        if sample != previous and sample != 0:
            words.append(words_by_value.get(sample, "?%d" % sample))
        previous = sample
    return words


def read_samples(raw_path, start=0):
    """The raw 16-bit mono output from sample `start` on."""
    samples = array.array("h")
    try:
        with open(raw_path, "rb") as raw:
            raw.seek(2 * start)
            data = raw.read()
    except FileNotFoundError:
        return samples
    samples.frombytes(data[: len(data) // 2 * 2])
    return samples


def word_runs(samples):
    """(first sample, length, word) of each run of one word's value."""
    words_by_value = {value_of(i): word for i, word in enumerate(VOCABULARY)}
    runs = []
    for position, sample in enumerate(samples):
        if sample == 0:
            continue
        if runs and runs[-1][2] == sample and runs[-1][0] + runs[-1][1] == position:
            runs[-1][1] += 1
        else:
            runs.append([position, 1, sample])
    return [(start, length, words_by_value.get(value, "?%d" % value))
            for start, length, value in runs]
