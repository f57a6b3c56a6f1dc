#!/usr/bin/env python3
# Writes the seed corpus of fuzz_packets (fuzz/corpus/fuzz_packets/): a few valid packet
# streams with garbage and split packets, cut into chunks in the target's input format
# ([c][chunk], length c + 1 for c < 128, else (c - 127) * 8).
import math
import os
import random
import struct
import sys

def header(kind, length, b4, b5, b7, b8, b9):
    return b"B" + kind + struct.pack("<H", length) + bytes([b4, b5, 0, b7, b8, b9])

def frame(b4, b5, samples):
    return header(b"A", 266, b4, b5, 0, 0, 0) + bytes(samples)

def rng_range(b4, b5, start, end, value):
    return header(b"R", 10 + end - start, b4, b5, start, end, 0) + bytes([value] * (end - start))

def single(b4, b5, pos, value):
    return header(b"S", 11, b4, b5, pos & 0xFF, (pos >> 8) & 0xFF, (pos >> 16) & 0xFF) + bytes([value])

def chunked(stream, rnd):
    out = bytearray()
    at = 0
    while at < len(stream):
        c = rnd.randrange(256)
        n = c + 1 if c < 128 else (c - 127) * 8
        out.append(c)
        out += stream[at:at + n]
        at += n
    return bytes(out)

def main(dest):
    rnd = random.Random(3)
    sine = [int(128 - 100 * math.sin(2 * math.pi * 2 * i / 256)) for i in range(256)]
    seeds = {
        "frame": frame(23, 4, sine),
        "range": frame(23, 4, sine) + rng_range(23, 4, 10, 20, 7) + rng_range(23, 4, 40, 40, 0),
        "roll": b"".join(single(0xC0 | 23, 0x25, p, p & 0xFF) for p in range(0, 520, 3)),
        "garbage": b"BB\x00BA\x0a\x01" + frame(22, 0x9B, sine) + b"\x42\x53\x0b" + single(63, 15, 7, 1),
        "timebases": b"".join(single(tb, 4, 1000, 9) for tb in range(64)) + frame(5, 0x1F, sine),
    }
    os.makedirs(dest, exist_ok=True)
    for name, stream in seeds.items():
        with open(os.path.join(dest, name), "wb") as f:
            f.write(chunked(stream, rnd))

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "corpus", "fuzz_packets"))
