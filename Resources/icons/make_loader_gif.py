#!/usr/bin/env python3
"""Writes loader.gif, the busy indicator: eight dots on a circle, one bright dot going round.

Run by hand after changing the drawing: python3 make_loader_gif.py > loader.gif
The frames are drawn and encoded here without any imaging library.
"""
import math
import struct
import sys

SIZE = 32
FRAMES = 8
# palette: 0 transparent/white, 1..4 shades from light grey-blue to the program blue
PALETTE = [(255, 255, 255), (214, 226, 243), (170, 196, 232), (110, 161, 241), (44, 120, 204)]


def frame(step):
    pixels = [0] * (SIZE * SIZE)
    for dot in range(FRAMES):
        angle = 2 * math.pi * dot / FRAMES - math.pi / 2
        cx = SIZE / 2 + 11 * math.cos(angle)
        cy = SIZE / 2 + 11 * math.sin(angle)
        age = (step - dot) % FRAMES
        shade = 4 if age == 0 else 3 if age == 1 else 2 if age == 2 else 1
        for y in range(SIZE):
            for x in range(SIZE):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= 3.2 ** 2:
                    pixels[y * SIZE + x] = shade
    return pixels


def lzw(pixels, min_code_size=3):
    # Plain LZW with a dictionary reset before it grows past 12 bits.
    clear = 1 << min_code_size
    end = clear + 1
    codes = []
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    code_size = min_code_size + 1
    out_bits = []  # (code, size)
    out_bits.append((clear, code_size))
    prefix = ()
    for p in pixels:
        candidate = prefix + (p,)
        if candidate in table:
            prefix = candidate
            continue
        out_bits.append((table[prefix], code_size))
        table[candidate] = next_code
        next_code += 1
        if next_code > (1 << code_size) and code_size < 12:
            code_size += 1
        if next_code >= 4095:
            out_bits.append((clear, code_size))
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            code_size = min_code_size + 1
        prefix = (p,)
    out_bits.append((table[prefix], code_size))
    out_bits.append((end, code_size))
    data = bytearray()
    acc = 0
    nbits = 0
    for code, size in out_bits:
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            data.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8
    if nbits:
        data.append(acc & 0xFF)
    return bytes(data)


def main():
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", SIZE, SIZE, 0xF2, 0, 0)  # global table of 8 colours
    palette = PALETTE + [(0, 0, 0)] * (8 - len(PALETTE))
    for r, g, b in palette:
        out += bytes((r, g, b))
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for step in range(FRAMES):
        out += b"\x21\xF9\x04\x09" + struct.pack("<H", 10) + b"\x00\x00"  # 100 ms, colour 0 transparent
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        out += b"\x03"
        data = lzw(frame(step))
        for i in range(0, len(data), 255):
            chunk = data[i:i + 255]
            out += bytes((len(chunk),)) + chunk
        out += b"\x00"
    out += b"\x3B"
    sys.stdout.buffer.write(out)


if __name__ == "__main__":
    main()
