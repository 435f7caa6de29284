#!/usr/bin/env bash
# Makes the BMP variants that TBitmap reads, each beside the pixels that netpbm's bmptopnm decodes
# from it (<name>.rgb, 8 bits per channel, top row first):
#   bmp_fixtures.sh OUTDIR
# netpbm and ImageMagick write the common kinds; the kinds no tool writes (RLE4 and RLE8 with
# literal stretches, top-down rows, the 64-byte OS/2 2.x header) are made from those by rewriting
# them, and bmptopnm decodes them all the same. Two exceptions, named below, take another decoder.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
rm -f ./*.bmp ./*.rgb

# 37 x 23: odd width, so every depth pads its rows.
convert rose: -resize 37x23! -alpha off rose.ppm
convert rose.ppm -colors 16 -type palette rose16.ppm
convert rose.ppm -colors 2 -type palette rose2.ppm

ppmtobmp -bpp 24 rose.ppm > w24.bmp
ppmtobmp -bpp 8 rose16.ppm > w8.bmp
ppmtobmp -bpp 4 rose16.ppm > w4.bmp
ppmtobmp -bpp 1 rose2.ppm > w1.bmp
ppmtobmp -os2 -bpp 24 rose.ppm > os2_24.bmp
ppmtobmp -os2 -bpp 8 rose16.ppm > os2_8.bmp
ppmtobmp -os2 -bpp 1 rose2.ppm > os2_1.bmp
convert rose.ppm -colors 200 -type palette -compress RLE bmp3:rle8_im.bmp
convert rose.ppm -define bmp:subtype=RGB565 bmp:bf565.bmp
convert rose.ppm -define bmp:subtype=RGB555 bmp3:rgb555.bmp
convert rose.ppm -alpha set -define bmp:subtype=ARGB8888 bmp:bf8888.bmp

# The header rewrites.
python3 - <<'PY'
import struct

def rd(name):
    return bytearray(open(name, 'rb').read())

def rows(b):
    off = struct.unpack_from('<I', b, 10)[0]
    w, h, bits = struct.unpack_from('<iiH', b, 18)[0], struct.unpack_from('<i', b, 22)[0], struct.unpack_from('<H', b, 28)[0]
    stride = ((w * bits + 31) // 32) * 4
    return off, h, stride

# Top-down rows: the height negated, the rows in the other order.
for src, dst in (('w24.bmp', 'topdown24.bmp'), ('w8.bmp', 'topdown8.bmp')):
    b = rd(src)
    off, h, stride = rows(b)
    px = [b[off + i * stride: off + (i + 1) * stride] for i in range(h)]
    struct.pack_into('<i', b, 22, -h)
    b[off:] = b''.join(reversed(px))
    open(dst, 'wb').write(b)

# OS/2 2.x: the 40-byte header grown to 64 bytes (its own fields zero).
b = rd('w8.bmp')
off = struct.unpack_from('<I', b, 10)[0]
b2 = b[:14] + struct.pack('<I', 64) + b[18:54] + bytes(24) + b[54:]
struct.pack_into('<I', b2, 10, off + 24)
struct.pack_into('<I', b2, 2, len(b2))
open('os2v2_8.bmp', 'wb').write(b2)

# RLE4 and RLE8 of the 16-colour picture: runs of equal pixels, literal stretches between them,
# a row end after each row and the picture end at last.
def rle(src, dst, four):
    b = rd(src)
    off, h, stride = rows(b)
    w = struct.unpack_from('<i', b, 18)[0]
    out = bytearray()
    for y in range(h):
        line = b[off + y * stride: off + (y + 1) * stride]
        pix = [((line[x // 2] >> (4 if x % 2 == 0 else 0)) & 15) if four else line[x] for x in range(w)]
        x = 0
        while x < w:
            n = 1
            while x + n < w and n < 255 and pix[x + n] == pix[x]:
                n += 1
            if n >= 3 or w - x < 3:
                out += bytes([n, (pix[x] << 4 | pix[x]) if four else pix[x]])
                x += n
            else:
                m = min(w - x, 20)
                lit = pix[x:x + m]
                out += bytes([0, m])
                if four:
                    data = bytearray((lit[i] << 4) | (lit[i + 1] if i + 1 < m else 0) for i in range(0, m, 2))
                else:
                    data = bytearray(lit)
                if len(data) % 2:
                    data.append(0)
                out += data
                x += m
        out += b'\x00\x00'
    out += b'\x00\x01'
    b2 = b[:off] + out
    struct.pack_into('<I', b2, 30, 2 if four else 1)  # compression: RLE4 / RLE8
    struct.pack_into('<I', b2, 34, len(out))          # image size
    struct.pack_into('<I', b2, 2, len(b2))
    open(dst, 'wb').write(b2)

rle('w4.bmp', 'rle4.bmp', True)
rle('w8.bmp', 'rle8.bmp', False)
PY

px() { bmptopnm "$1" 2>/dev/null | ppmtoppm | pamdepth 255 | tail -c $((37 * 23 * 3)); }
for f in ./*.bmp; do
  case $f in
    # ImageMagick's RLE8 lets its last run of a row reach past the row, which bmptopnm refuses:
    # ImageMagick's own decoding is the reference (such runs end at the row's end).
    ./rle8_im.bmp) convert "$f" rgb:"${f%.bmp}.rgb" ;;
    # bmptopnm 11.01 misreads the 64-byte OS/2 2.x header; it is w8.bmp with a longer header.
    ./os2v2_8.bmp) px w8.bmp > "${f%.bmp}.rgb" ;;
    *) px "$f" > "${f%.bmp}.rgb" ;;
  esac
done
