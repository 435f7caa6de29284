#!/usr/bin/env python3
"""Draws the image view's eight cursors (32 x 32, black with a white rim on transparency) and
writes them as .cur files beside this script. Run it again after changing a shape; the .cur
files are kept in the tree like the program's other art."""
import math
import os
import struct

SIZE = 32


def canvas():
    return [[0] * SIZE for _ in range(SIZE)]  # 0 transparent, 1 black


def line(c, x0, y0, x1, y1, width=1):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        x = x0 + (x1 - x0) * i / n
        y = y0 + (y1 - y0) * i / n
        for dx in range(width):
            for dy in range(width):
                xi, yi = int(round(x)) + dx, int(round(y)) + dy
                if 0 <= xi < SIZE and 0 <= yi < SIZE:
                    c[yi][xi] = 1


def ring(c, cx, cy, r):
    for a in range(360):
        x = cx + r * math.cos(math.radians(a))
        y = cy + r * math.sin(math.radians(a))
        c[int(round(y))][int(round(x))] = 1


def rect(c, x0, y0, x1, y1):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            c[y][x] = 1


def magnifier(plus):
    c = canvas()
    ring(c, 11, 11, 8)
    line(c, 17, 17, 27, 27, 3)
    line(c, 7, 11, 15, 11)
    if plus:
        line(c, 11, 7, 11, 15)
    return c, (11, 11)


def cross(gap, arm):
    c = canvas()
    m = 15
    line(c, m - arm, m, m - gap, m)
    line(c, m + gap, m, m + arm, m)
    line(c, m, m - arm, m, m - gap)
    line(c, m, m + gap, m, m + arm)
    return c, (m, m)


def eraser():
    c = canvas()
    for i in range(10):
        line(c, 4 + i, 20 - i, 14 + i, 30 - i)
    line(c, 14, 10, 24, 20)
    line(c, 13, 10, 23, 0)
    return c, (4, 20)


def hand():
    c = canvas()
    for x in (8, 12, 16, 20):
        rect(c, x, 6 if x in (12, 16) else 9, x + 2, 18)
    rect(c, 8, 16, 22, 26)
    line(c, 4, 14, 8, 20, 2)
    return c, (15, 6)


def pen():
    c = canvas()
    line(c, 2, 29, 6, 25)
    for i in range(3):
        line(c, 6 + i, 25 - i, 26 + i, 5 - i)
    line(c, 24, 2, 29, 7, 2)
    return c, (2, 29)


def cur(shape, hotspot):
    # The white rim: transparent pixels beside a black one become white.
    pix = [[0] * SIZE for _ in range(SIZE)]  # 0 transparent, 1 black, 2 white
    for y in range(SIZE):
        for x in range(SIZE):
            if shape[y][x]:
                pix[y][x] = 1
            elif any(0 <= y + dy < SIZE and 0 <= x + dx < SIZE and shape[y + dy][x + dx]
                     for dy in (-1, 0, 1) for dx in (-1, 0, 1)):
                pix[y][x] = 2
    xor = bytearray()
    andm = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up
        xb = ab = 0
        for x in range(SIZE):
            xb = xb << 1 | (pix[y][x] == 2)
            ab = ab << 1 | (pix[y][x] == 0)
        xor += struct.pack('>I', xb)
        andm += struct.pack('>I', ab)
    dib = struct.pack('<IiiHHIIiiII', 40, SIZE, 2 * SIZE, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    dib += bytes([0, 0, 0, 0, 255, 255, 255, 0]) + xor + andm
    head = struct.pack('<HHH', 0, 2, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, hotspot[0], hotspot[1], len(dib), 22)
    return head + entry + dib


SHAPES = {
    'zoommeno': magnifier(False),
    'zoompiu': magnifier(True),
    'croce': cross(0, 15),
    'gomma': eraser(),
    'mano': hand(),
    'penna': pen(),
    'croce1': cross(3, 12),
    'croce2': cross(2, 8),
}

here = os.path.dirname(os.path.abspath(__file__))
for name, (shape, hot) in SHAPES.items():
    with open(os.path.join(here, name + '.cur'), 'wb') as f:
        f.write(cur(shape, hot))
