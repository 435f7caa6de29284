#!/usr/bin/env bash
# Makes the test pictures of the GIF, PCX and TIFF readers into a folder, each beside the pixels
# that ImageMagick decodes from it (<name>.rgb, 8 bits per channel, top row first).
#   make_fixtures.sh OUTDIR
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
rm -f ./*.tif ./*.tiff ./*.gif ./*.pcx ./*.rgb

# Pictures: the built-in rose (70 x 46, many colours) and a bilevel page with text-like detail.
convert rose: -alpha off rose.ppm
convert -size 203x61 xc:white -fill black -draw 'rectangle 3,3 60,20' -draw 'circle 120,30 140,50' \
  -draw 'line 0,60 202,0' -draw 'rectangle 150,5 152,55' -draw 'point 201,59' -monochrome page.pbm

t() { convert "$@"; }
# RGB
t rose.ppm -compress none rgb_none.tif
t rose.ppm -compress lzw rgb_lzw.tif
t rose.ppm -compress lzw -define tiff:predictor=2 rgb_lzw_pred.tif
tiffcp -c packbits rgb_none.tif rgb_packbits.tif
tiffcp -B -c none rgb_none.tif rgb_big.tif
tiffcp -p separate -r 16 -c lzw rgb_none.tif rgb_planar.tif
tiffcp -r 7 -c lzw:2 rgb_none.tif rgb_strips_pred.tif
# grey and palette
t rose.ppm -colorspace gray -depth 8 -compress none grey8.tif
t rose.ppm -colorspace gray -depth 8 -compress lzw -define quantum:polarity=min-is-white grey8_white.tif
t rose.ppm -colorspace gray -depth 4 -compress none grey4.tif
t rose.ppm -colors 200 -type palette -compress lzw pal8.tif
t rose.ppm -colors 16 -type palette -depth 4 -compress none pal4.tif
# bilevel
t page.pbm -define quantum:polarity=min-is-white -compress none mono_white.tif
t page.pbm -compress none mono_black.tif
tiffcp -c g3 mono_white.tif mono_g3.tif
tiffcp -c g3:2d mono_white.tif mono_g3_2d.tif
tiffcp -c g3:2d:fill -r 9 mono_white.tif mono_g3_2d_fill.tif
tiffcp -c g4 mono_white.tif mono_g4.tif
tiffcp -c g4 -f lsb2msb mono_white.tif mono_g4_lsb.tif
tiffcp -c g4 mono_black.tif mono_g4_black.tif
tiffcp -c packbits mono_black.tif mono_packbits.tif
tiffcp -c lzw mono_white.tif mono_lzw.tif
# tiled pictures (not decoded: blank in their size), one row per strip (read through a window)
tiffcp -t -w 16 -l 16 -c none rgb_none.tif rgb_tiled.tif
tiffcp -t -w 32 -l 16 -c lzw rgb_none.tif rgb_tiled_lzw.tif
tiffcp -r 1 -c none rgb_none.tif rgb_rows.tif
tiffcp -r 1 -c packbits rgb_none.tif rgb_rows_packbits.tif
tiffcp -r 1 -c lzw rgb_none.tif rgb_rows_lzw.tif
# layouts and compressions the reader has no decoder for: Deflate, JPEG, 16-bit RGB, CMYK, and a
# file whose first page is 16-bit
t rose.ppm -compress zip rgb_deflate.tif
t rose.ppm -compress jpeg rgb_jpeg.tif
t rose.ppm -depth 16 -compress none rgb16.tif
t rose.ppm -colorspace cmyk -compress none cmyk.tif
tiffcp rgb16.tif rgb_none.tif two16.tif
# two images and a resolution in centimetres
t rose.ppm page.pbm -compress none two.tif
t rose.ppm -units PixelsPerCentimeter -density 118 -compress none dpcm.tif

# GIF
t rose.ppm rose.gif
t rose.ppm -interlace GIF rose_interlaced.gif
t -seed 7 -size 300x200 plasma: -colors 256 plasma.gif
t -delay 7 rose.ppm \( rose.ppm -negate \) \( rose.ppm -flip -colors 64 \) -loop 0 +repage anim.gif
t page.pbm page.gif
# A transparent first frame: the loader gives the view the transparent colour as background.
t -size 12x8 xc:"#FF8000" -fill "#0000FF" -draw "rectangle 3,2 8,5" -transparent "#FF8000" trans.gif

# PCX
t rose.ppm rose.pcx
t rose.ppm -colors 200 -type palette pal8.pcx
t page.pbm -type bilevel mono.pcx
t rose.ppm -colors 16 -type palette pal16.pcx

for f in *.tif *.gif *.pcx; do
  convert "$f[0]" +repage -alpha off -depth 8 "rgb:${f%.*}_${f##*.}.rgb"
done
for i in 1 2; do convert "anim.gif[$i]" +repage -alpha off -depth 8 "rgb:anim_gif_$i.rgb"; done
convert "two.tif[1]" -depth 8 "rgb:two_tif_1.rgb"
# A planar picture of 8-row strips (6 per plane) cut inside its StripOffsets array: the array is
# moved to the end of the file and cut after 12 of its 18 offsets, so that the red and green planes
# are there and the blue one is not. (Made after the pixels above: no decoder reads it whole.)
tiffcp -p separate -c none -r 8 rgb_none.tif planar_cut.tiff
python3 - planar_cut.tiff <<'PY'
import struct, sys
name = sys.argv[1]
b = bytearray(open(name, 'rb').read())
o = '<' if b[:2] == b'II' else '>'
ifd = struct.unpack_from(o + 'I', b, 4)[0]
for i in range(struct.unpack_from(o + 'H', b, ifd)[0]):
    at = ifd + 2 + 12 * i
    tag, typ, count, value = struct.unpack_from(o + 'HHII', b, at)
    if tag == 273:
        assert typ == 4 and count == 18
        struct.pack_into(o + 'I', b, at + 8, len(b))
        b += b[value:value + 4 * 12]
        break
open(name, 'wb').write(b)
PY
# Blank A4 pages at 300 dpi (2480 x 3508, grey and colour, one strip) in Zstandard and LZMA, which
# compress them a few thousand to tens of thousands of times: not decoded, but not refused either.
t -size 2480x3508 xc:white -colorspace gray -depth 8 -compress none a4_grey.tif
t -size 2480x3508 xc:white -type TrueColor -depth 8 -compress none a4_rgb.tif
for c in zstd lzma; do
  tiffcp -c $c -r 3508 a4_grey.tif a4_grey_$c.tiff
  tiffcp -c $c -r 3508 a4_rgb.tif a4_rgb_$c.tiff
done
rm -f a4_grey.tif a4_rgb.tif
rm -f rose.ppm page.pbm
