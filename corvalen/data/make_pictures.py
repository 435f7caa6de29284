#!/usr/bin/env python3
"""Draws the pictures of Corvalen's HTML bill and writes them beside this script as GIF files.

logo.gif (64 x 95): the Astrel mark, a white four-pointed star on a blue tile, over "ASTREL".
rechnung.gif (468 x 60): the first banner of the bill, "Ihre Corvalen-Rechnung" on a blue
gradient with a dial-up line; the update server's banner takes its place later.
The GIF writer (palette, LZW) is this script's own. Run it again after changing the drawing; the
results are committed.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# A 5 x 7 pixel font of the letters the pictures use.
FONT = {
    'A': ['01110', '10001', '10001', '11111', '10001', '10001', '10001'],
    'C': ['01110', '10001', '10000', '10000', '10000', '10001', '01110'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
    'I': ['01110', '00100', '00100', '00100', '00100', '00100', '01110'],
    'L': ['10000', '10000', '10000', '10000', '10000', '10000', '11111'],
    'R': ['11110', '10001', '10001', '11110', '10100', '10010', '10001'],
    'S': ['01111', '10000', '10000', '01110', '00001', '00001', '11110'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
    'V': ['10001', '10001', '10001', '10001', '10001', '01010', '00100'],
    'a': ['00000', '00000', '01110', '00001', '01111', '10001', '01111'],
    'c': ['00000', '00000', '01110', '10000', '10000', '10001', '01110'],
    'e': ['00000', '00000', '01110', '10001', '11111', '10000', '01110'],
    'g': ['00000', '00000', '01111', '10001', '01111', '00001', '01110'],
    'h': ['10000', '10000', '10110', '11001', '10001', '10001', '10001'],
    'l': ['01100', '00100', '00100', '00100', '00100', '00100', '01110'],
    'n': ['00000', '00000', '10110', '11001', '10001', '10001', '10001'],
    'o': ['00000', '00000', '01110', '10001', '10001', '10001', '01110'],
    'r': ['00000', '00000', '10110', '11001', '10000', '10000', '10000'],
    's': ['00000', '00000', '01111', '10000', '01110', '00001', '11110'],
    't': ['01000', '01000', '11100', '01000', '01000', '01001', '00110'],
    'u': ['00000', '00000', '10001', '10001', '10001', '10011', '01101'],
    'v': ['00000', '00000', '10001', '10001', '10001', '01010', '00100'],
    '-': ['00000', '00000', '00000', '11111', '00000', '00000', '00000'],
    ' ': ['00000'] * 7,
}


class Canvas:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def set(self, x, y, colour):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.set(x, y, colour)

    def text(self, x, y, text, scale, colour):
        """Draws text with the 5 x 7 font, each font pixel scale x scale; returns the end x."""
        for ch in text:
            rows = FONT[ch]
            for ry, row in enumerate(rows):
                for rx, bit in enumerate(row):
                    if bit == '1':
                        self.rect(x + rx * scale, y + ry * scale, x + (rx + 1) * scale, y + (ry + 1) * scale, colour)
            x += 6 * scale
        return x


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def lzw(indices, min_code_size):
    """GIF LZW: variable code width from min_code_size + 1 up to 12 bits, a clear code when full."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0
    width = min_code_size + 1

    def put(code):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    put(clear)
    prefix = (indices[0],)
    for c in indices[1:]:
        word = prefix + (c,)
        if word in table:
            prefix = word
            continue
        put(table[prefix])
        if next_code < 4096:
            table[word] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            put(clear)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            width = min_code_size + 1
        prefix = (c,)
    put(table[prefix])
    put(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_file(canvas):
    """An 89a GIF of the canvas; its colours (RGB tuples) become the global colour table."""
    colours = sorted({c for row in canvas.px for c in row})
    assert len(colours) <= 256
    bits = max(1, (len(colours) - 1).bit_length())
    size = 1 << bits
    index = {c: i for i, c in enumerate(colours)}
    table = b''.join(struct.pack('BBB', *c) for c in colours) + b'\0' * 3 * (size - len(colours))
    data = [index[c] for row in canvas.px for c in row]
    min_code = max(2, bits)
    packed = lzw(data, min_code)
    blocks = b''.join(bytes([len(packed[i:i + 255])]) + packed[i:i + 255] for i in range(0, len(packed), 255))
    header = b'GIF89a' + struct.pack('<HHBBB', canvas.w, canvas.h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    image = b',' + struct.pack('<HHHHB', 0, 0, canvas.w, canvas.h, 0) + bytes([min_code]) + blocks + b'\0'
    return header + table + image + b';'


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


WHITE = (255, 255, 255)
NAVY = (0, 32, 96)
BLUE = (0, 72, 160)
SKY = (96, 160, 224)
GOLD = (255, 200, 40)


def draw_logo():
    c = Canvas(64, 95, WHITE)
    # the tile, a vertical gradient in eight steps
    for y in range(4, 64):
        colour = mix(SKY, NAVY, ((y - 4) // 8) / 7.0)
        c.rect(4, y, 60, y + 1, colour)
    # the star: four points around the tile's centre
    cx, cy = 32, 34
    for y in range(4, 64):
        for x in range(4, 60):
            dx, dy = abs(x - cx) + 0.5, abs(y - cy) + 0.5
            r = math.hypot(dx, dy)
            if r < 1:
                inside = True
            else:
                # a four-pointed star: narrow where both offsets are large
                inside = min(dx, dy) * (r / 5.0 + 1) < 6.5 and r < 26
            if inside:
                c.set(x, y, WHITE)
    c.rect(30, 32, 34, 36, GOLD)
    x = (64 - text_width('ASTREL', 1)) // 2
    c.text(x, 72, 'ASTREL', 1, NAVY)
    c.rect(4, 83, 60, 84, BLUE)
    return c


def draw_banner():
    c = Canvas(468, 60, WHITE)
    for x in range(468):
        colour = mix(NAVY, SKY, (x // 39) / 11.0)
        c.rect(x, 0, x + 1, 60, colour)
    # the dial-up line: a wave across the right half with a dot at each crest
    for x in range(300, 460):
        y = int(round(38 + 10 * math.sin((x - 300) / 12.0)))
        c.rect(x, y, x + 1, y + 2, WHITE)
        if (x - 300) % 75 == 19:
            c.rect(x - 2, y - 2, x + 3, y + 3, GOLD)
    c.text(16, 10, 'Ihre Corvalen-Rechnung', 2, WHITE)
    c.text(18, 38, 'Astrel Corvalen', 1, GOLD)
    return c


def main():
    for name, canvas in (('logo.gif', draw_logo()), ('rechnung.gif', draw_banner())):
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(gif_file(canvas))


if __name__ == '__main__':
    main()
