#!/usr/bin/env python3
"""Draws Corvalen's icons (167, 5531) and splash bitmap (166) and writes them beside this script.

The icons are 32x32 with 16 colours: a telephone-line plug (167) and a coin over a line (5531).
The splash is a 24-bit bitmap with a blue gradient, a banner and a stylised dial-up line.
Run it again after changing the drawing; the results are committed.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def icon_file(pixels):
    """pixels: 32 rows of 32 palette indices, None for transparent."""
    w = h = 32
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    xor = b''
    andm = b''
    for y in range(h - 1, -1, -1):
        row = pixels[y]
        bits = bytearray()
        for x in range(0, w, 2):
            a = row[x] or 0
            b = row[x + 1] or 0
            bits.append((a << 4) | b)
        xor += bytes(bits)
        mask = bytearray(4)
        for x in range(w):
            if row[x] is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        andm += bytes(mask)
    image = header + pal + xor + andm
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', w, h, 16, 0, 1, 4, len(image), 22) + image


def draw_plug():
    px = [[None] * 32 for _ in range(32)]
    for y in range(32):
        for x in range(32):
            # the cable: a sine line across the icon
            cy = 22 + 4 * math.sin(x / 5.0)
            if abs(y - cy) < 1.6:
                px[y][x] = 0
    for y in range(4, 18):
        for x in range(9, 23):
            px[y][x] = 12 if (y in (4, 17) or x in (9, 22)) else 14
    for y in range(0, 4):
        for x in (12, 13, 18, 19):
            px[y][x] = 8
    for y in range(18, 21):
        for x in range(14, 18):
            px[y][x] = 4
    return px


def draw_coin():
    px = [[None] * 32 for _ in range(32)]
    for y in range(32):
        for x in range(32):
            d = math.hypot(x - 15.5, y - 13.5)
            if d < 12:
                px[y][x] = 3 if d > 10.5 else 11
            if 27 <= y <= 28 and 2 <= x <= 29:
                px[y][x] = 4
    # a "D" for DM in the coin
    for y in range(8, 20):
        px[y][11] = 1
        px[y][12] = 1
    for y in range(8, 20):
        x = int(12 + 6 * math.sin((y - 8) / 11.0 * math.pi))
        px[y][x] = 1
        px[y][x + 1] = 1
    return px


def splash():
    w, h = 360, 200
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            r, g, b = 20 + y // 4, 40 + y // 3, 120 + y // 2
            if 70 <= y <= 110:
                r, g, b = 240, 240, 250
                # letters of a banner: vertical strokes in a regular pattern
                if 80 <= y <= 100 and (x // 6) % 3 == 0 and 40 <= x <= 320:
                    r, g, b = 20, 40, 140
            cy = 150 + 18 * math.sin(x / 25.0)
            if abs(y - cy) < 2.5:
                r, g, b = 255, 220, 40
            row += bytes((min(b, 255), min(g, 255), min(r, 255)))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    data = b''.join(reversed(rows))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54) + info + data


with open(os.path.join(HERE, 'corvalen167.ico'), 'wb') as f:
    f.write(icon_file(draw_plug()))
with open(os.path.join(HERE, 'corvalen5531.ico'), 'wb') as f:
    f.write(icon_file(draw_coin()))
with open(os.path.join(HERE, 'splash166.bmp'), 'wb') as f:
    f.write(splash())
