#!/usr/bin/env python3
"""Draws the installer's icon "MnIcon": a brown parcel with a green arrow pointing into it,
at 32x32 and 16x16 pixels, 16 colours with an AND mask (small, as the installer must be).
Run: make_icon.py MnIcon.ico"""
import struct
import sys


def pixel(x, y, size):
    s = size / 32.0
    u, v = x / s, y / s  # coordinates on the 32x32 drawing
    # the parcel: a box in the lower part with a darker lid line and a tape stripe
    if 6 <= u < 28 and 14 <= v < 30:
        if v < 17:
            return (0x8B, 0x5A, 0x2B, 255)
        if 15 <= u < 19:
            return (0xE8, 0xD8, 0xA8, 255)
        if u < 7 or u >= 27 or v >= 29:
            return (0x5C, 0x3A, 0x1A, 255)
        return (0xC8, 0x8A, 0x4A, 255)
    # the arrow: a shaft from the top and a head just above the lid
    if 14 <= u < 20 and 1 <= v < 8:
        return (0x2E, 0x9E, 0x3E, 255)
    if 8 <= v < 14 and abs(u - 17) <= (14 - v) * 1.1:
        return (0x2E, 0x9E, 0x3E, 255)
    return (0, 0, 0, 0)


def image(size):
    palette = [(0, 0, 0)]
    rows = []
    mask_rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        indices = []
        bits = 0
        mask = b""
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            colour = (r, g, b) if a else (0, 0, 0)
            if colour not in palette:
                palette.append(colour)
            indices.append(palette.index(colour))
            bits = (bits << 1) | (0 if a else 1)
            if x % 8 == 7:
                mask += struct.pack("B", bits)
                bits = 0
        row = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        mask += b"\0" * ((4 - len(mask) % 4) % 4)
        rows.append(row)
        mask_rows.append(mask)
    assert len(palette) <= 16
    palette += [(0, 0, 0)] * (16 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + b"".join(rows) + b"".join(mask_rows)


def main(out):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 16, 0, 1, 4, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "MnIcon.ico")
