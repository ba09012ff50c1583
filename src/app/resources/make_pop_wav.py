#!/usr/bin/env python3
"""Writes pop.wav, the start sound: mono, 8-bit, 11025 Hz, 0.17 s.

A short falling tone under a fast decay, so it reads as a pop over a noisy track.
Run again only to change the sound; the WAV beside it is what the build embeds.
"""
import math
import struct
import sys

RATE = 11025
SECONDS = 0.17


def samples():
    count = int(RATE * SECONDS)
    for n in range(count):
        t = n / RATE
        frequency = 900.0 - 2500.0 * t  # falls as it fades
        envelope = math.exp(-t * 28.0) * min(1.0, n / 20.0)
        value = envelope * math.sin(2 * math.pi * frequency * t)
        yield max(0, min(255, int(round(128 + 110 * value))))


def main(path):
    data = bytes(samples())
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    fmt = b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    with open(path, "wb") as out:
        out.write(header + fmt + b"data" + struct.pack("<I", len(data)) + data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "pop.wav")
