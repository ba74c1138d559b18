#!/usr/bin/env python3
"""Synthesises the start-up jingle of Ciarlatronix into a 16-bit PCM WAV file.

A toy-piano tune in C major, 132 beats a minute: a rising arpeggio, a cheeky
hiccup on the leading tone and a resolution, over an oom-pah bass, closing on
a short fade. Every note is a few harmonics with a quick attack and an
exponential decay, so it rings like a music box. The output is the same on
every run.

Usage: make-audio.py OUTPUT.wav
"""
import math
import struct
import sys
import wave

RATE = 44100
BEAT = 60.0 / 132

# (start in beats, length in beats, MIDI note)
MELODY = [
    (0.0, 0.5, 72), (0.5, 0.5, 76), (1.0, 0.5, 79), (1.5, 0.5, 84),
    (2.0, 0.25, 83), (2.25, 0.25, 84), (2.5, 0.5, 83), (3.0, 0.5, 79),
    (3.5, 0.5, 81), (4.0, 0.5, 77), (4.5, 0.5, 74), (5.0, 0.5, 71),
    (5.5, 0.5, 74), (6.0, 1.5, 72),
]
BASS = [
    (0.0, 1.0, 48), (1.0, 1.0, 55), (2.0, 1.0, 52), (3.0, 1.0, 55),
    (4.0, 1.0, 53), (5.0, 1.0, 55), (6.0, 1.5, 48),
]
LENGTH_BEATS = 7.5
PEAK = 10 ** (-3 / 20)  # -3 dBFS


def frequency(note):
    return 440.0 * 2 ** ((note - 69) / 12)


def add_note(samples, start, length, note, loudness, harmonics):
    first = int(start * BEAT * RATE)
    count = int(length * BEAT * RATE)
    f = frequency(note)
    for i in range(count):
        t = i / RATE
        attack = min(1.0, t / 0.005)
        envelope = attack * math.exp(-t * 5.0)
        release = min(1.0, (count - i) / (0.01 * RATE))
        value = sum(weight * math.sin(2 * math.pi * f * k * t) for k, weight in harmonics)
        if first + i < len(samples):
            samples[first + i] += loudness * envelope * release * value


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    samples = [0.0] * int(LENGTH_BEATS * BEAT * RATE)
    for start, length, note in MELODY:
        add_note(samples, start, length, note, 0.6, [(1, 1.0), (2, 0.35), (3, 0.15), (4, 0.05)])
    for start, length, note in BASS:
        add_note(samples, start, length, note, 0.45, [(1, 1.0), (2, 0.2)])
    fade = int(0.3 * RATE)
    for i in range(fade):
        samples[-fade + i] *= 1.0 - i / fade
    scale = PEAK / max(abs(s) for s in samples)
    frames = b"".join(struct.pack("<h", int(round(s * scale * 32767))) for s in samples)
    with wave.open(sys.argv[1], "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


if __name__ == "__main__":
    main()
