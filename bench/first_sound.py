"""Whether trimming a word of the voice took any of its first sound, judged
against the word as the engine said it (make-voice --untrimmed); used by
bench/voice-recognition and the voice's test."""

import array
import wave

# Sound below this peak (about -50 dB) is silence when judging the trimming;
# a word's speech is surely under way where it is louder than LOUD (-30 dB).
SOUND_FLOOR = 100
LOUD = 1000
WINDOW_SECONDS = 0.005


def samples_of(path):
    with wave.open(path) as w:
        return array.array("h", w.readframes(w.getnframes())), w.getframerate()


def seconds_of(path):
    with wave.open(path) as w:
        return w.getnframes() / w.getframerate()


def onset_of(samples, rate):
    """The first sample of the sound that leads into the speech: from the
    first loud stretch back over every 5 ms stretch above the floor. The
    faint noise some engines make while silent stays below the floor."""
    n = int(WINDOW_SECONDS * rate)
    peaks = [max(map(abs, samples[i:i + n])) for i in range(0, len(samples), n)]
    window = next((i for i, p in enumerate(peaks) if p > LOUD), 0)
    while window > 0 and peaks[window - 1] > SOUND_FLOOR:
        window -= 1
    start = window * n
    return next((i for i in range(start, min(start + n, len(samples)))
                 if abs(samples[i]) > SOUND_FLOOR), start)


def start_in_whole(kept, whole):
    """Where the trimmed word's first samples lie in the word as said."""
    probe = kept[:64].tolist()
    for start in range(len(whole) - len(probe)):
        if whole[start] == probe[0] and whole[start:start + len(probe)].tolist() == probe:
            return start
    return None


def first_sound(trimmed, untrimmed):
    """(milliseconds of sound the trimming took from the word's start,
    milliseconds from the word's start to its first sound), both None when
    the trimmed word is not found in the word as said."""
    whole, rate = samples_of(untrimmed)
    kept, _ = samples_of(trimmed)
    onset = onset_of(whole, rate)
    start = start_in_whole(kept, whole)
    if start is None:
        return None, None
    return (max(0, start - onset) * 1000.0 / rate, max(0, onset - start) * 1000.0 / rate)
