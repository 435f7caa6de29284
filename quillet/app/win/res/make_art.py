#!/usr/bin/env python3
"""Draws Quillet's tool-bar strip (12 pictures of 16x16, magenta is transparent) and its icon
(32x32) as plain BMP and ICO files. Run again after changing a picture; the outputs are kept
in this folder."""
import struct

M = (255, 0, 255)
BLACK, WHITE, GREY, DARK = (0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128)
BLUE, NAVY, RED, GREEN, YELLOW, MAROON = (0, 0, 255), (0, 0, 128), (255, 0, 0), (0, 128, 0), (255, 255, 0), (128, 0, 0)


class Pic:
    def __init__(self, w, h, bg=M):
        self.w, self.h = w, h
        self.p = [[bg] * w for _ in range(h)]

    def rect(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.p[y][x] = c
                elif fill is not None:
                    self.p[y][x] = fill

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.p[round(y0 + (y1 - y0) * i / n)][round(x0 + (x1 - x0) * i / n)] = c

    def dot(self, x, y, c):
        self.p[y][x] = c


def page(p, fill=WHITE):
    p.rect(3, 1, 12, 14, BLACK, fill)
    p.line(10, 1, 12, 3, BLACK)


def glyphs():
    out = []
    p = Pic(16, 16); page(p); p.line(5, 5, 10, 5, DARK); p.line(5, 8, 10, 8, DARK); out.append(p)  # new
    p = Pic(16, 16); p.rect(1, 5, 14, 13, BLACK, YELLOW); p.rect(1, 3, 6, 5, BLACK, YELLOW); out.append(p)  # open
    p = Pic(16, 16); p.rect(1, 1, 14, 14, BLACK, NAVY); p.rect(4, 1, 11, 6, BLACK, WHITE); p.rect(4, 9, 11, 14, BLACK, GREY); out.append(p)  # save
    p = Pic(16, 16)
    for y in range(16):
        for x in range(16):
            if (x - 7.5) ** 2 + (y - 7.5) ** 2 <= 42:
                p.dot(x, y, BLUE if (x + y) % 5 else GREEN)
    p.line(1, 7, 14, 7, WHITE); p.line(7, 1, 7, 14, WHITE); out.append(p)  # preview
    p = Pic(16, 16); p.rect(1, 2, 14, 13, BLACK, (0, 160, 255)); p.line(2, 12, 6, 7, GREEN); p.line(6, 7, 9, 10, GREEN); p.line(9, 10, 13, 5, GREEN); p.rect(10, 3, 12, 5, YELLOW, YELLOW); out.append(p)  # image
    p = Pic(16, 16); p.rect(1, 5, 8, 10, BLUE); p.rect(7, 5, 14, 10, BLUE); p.line(4, 7, 11, 7, BLUE); out.append(p)  # link
    p = Pic(16, 16); p.rect(1, 3, 14, 12, BLACK, WHITE); p.line(1, 3, 7, 8, BLACK); p.line(14, 3, 8, 8, BLACK); out.append(p)  # mail
    p = Pic(16, 16); p.rect(1, 2, 14, 13, BLACK, WHITE)
    for x in (5, 10): p.line(x, 2, x, 13, BLACK)
    for y in (6, 10): p.line(1, y, 14, y, BLACK)
    out.append(p)  # table
    p = Pic(16, 16); p.rect(1, 1, 14, 14, BLACK, GREY); p.rect(3, 3, 12, 5, BLACK, WHITE); p.rect(3, 8, 12, 10, BLACK, WHITE); p.rect(9, 12, 12, 13, BLACK, DARK); out.append(p)  # form
    p = Pic(16, 16)
    for y in range(16):
        for x in range(16):
            d = (x - 6) ** 2 + (y - 6) ** 2
            if 16 <= d <= 26: p.dot(x, y, BLACK)
            elif d < 16: p.dot(x, y, (200, 230, 255))
    p.line(9, 9, 14, 14, MAROON); p.line(10, 9, 14, 13, MAROON); out.append(p)  # browse
    p = Pic(16, 16); page(p); p.line(2, 7, 13, 7, RED); p.line(2, 8, 13, 8, RED); p.line(7, 3, 7, 5, RED); p.line(7, 10, 7, 12, RED); out.append(p)  # compress
    p = Pic(16, 16); p.line(6, 2, 6, 11, BLACK); p.line(6, 2, 12, 1, BLACK); p.line(12, 1, 12, 10, BLACK)
    p.rect(3, 10, 6, 13, BLACK, BLACK); p.rect(9, 9, 12, 12, BLACK, BLACK); out.append(p)  # sound
    return out


def bmp24(pic):
    rowsize = (pic.w * 3 + 3) & ~3
    data = b""
    for y in range(pic.h - 1, -1, -1):
        row = b"".join(bytes((c[2], c[1], c[0])) for c in pic.p[y])
        data += row + b"\0" * (rowsize - len(row))
    header = struct.pack("<IiiHHIIiiII", 40, pic.w, pic.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header, data


def write_bmp(path, pic):
    header, data = bmp24(pic)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def icon():
    p = Pic(32, 32, None)
    for y in range(32):
        for x in range(32):
            p.p[y][x] = None
    for y in range(3, 30):
        for x in range(6, 26):
            p.p[y][x] = WHITE
    for x in range(6, 26):
        p.p[3][x] = p.p[29][x] = BLACK
    for y in range(3, 30):
        p.p[y][6] = p.p[y][25] = BLACK
    for y in (9, 13, 17, 21):
        for x in range(10, 22):
            p.p[y][x] = NAVY
    for i in range(14):  # the quill
        x, y = 27 - i, 2 + i * 2
        for dx in range(3):
            if 0 <= x + dx < 32 and y < 32:
                p.p[y][x + dx] = MAROON
            if 0 <= x + dx < 32 and y + 1 < 32:
                p.p[y + 1][x + dx] = RED
    rowsize = 32 * 4
    xor = b""
    andmask = b""
    for y in range(31, -1, -1):
        xor += b"".join(bytes((c[2], c[1], c[0], 255)) if c else b"\0\0\0\0" for c in p.p[y])
        bits = 0
        row = b""
        for x in range(32):
            bits = (bits << 1) | (0 if p.p[y][x] else 1)
            if x % 8 == 7:
                row += bytes((bits,))
                bits = 0
        andmask += row
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    image = header + xor + andmask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 32, len(image), 22) + image


if __name__ == "__main__":
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    strip = Pic(16 * 12, 16)
    for i, g in enumerate(glyphs()):
        for y in range(16):
            strip.p[y][i * 16:(i + 1) * 16] = g.p[y]
    write_bmp(os.path.join(here, "toolbar.bmp"), strip)
    with open(os.path.join(here, "quillet.ico"), "wb") as f:
        f.write(icon())
