#!/usr/bin/env bash
# Makes the test pictures of the JPEG and PNG readers into a folder, each beside the pixels that
# ImageMagick decodes from it (<name>.rgb, or <name>.rgba with the alpha channel; 8 bits per
# channel, top row first).
#   jpeg_png_fixtures.sh OUTDIR
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
rm -f ./*.jpg ./*.png ./*.rgb ./*.rgba

convert rose: -alpha off rose.ppm
# A picture whose 16-bit samples differ in their two bytes, and an alpha gradient over it.
convert -size 64x16 gradient:'#1234f0'-'#e0c501' -depth 16 grad16.ppm
convert -size 64x16 gradient:white-black -depth 16 alpha16.pgm

# JPEG: colour, greyscale, progressive, CMYK (Adobe), restart markers, and the three density units.
convert rose.ppm -quality 90 -sampling-factor 2x2 rose.jpg
convert rose.ppm -quality 85 -colorspace gray grey.jpg
convert rose.ppm -quality 90 -interlace JPEG progressive.jpg
convert rose.ppm -quality 95 -colorspace cmyk cmyk.jpg
convert rose.ppm -quality 90 -define jpeg:restart-interval=1 restart.jpg
convert rose.ppm -units PixelsPerCentimeter -density 118 dpcm.jpg
convert rose.ppm -units PixelsPerInch -density 72 dpi.jpg
convert rose.ppm -units Undefined -density 1 aspect.jpg
for f in rose grey progressive restart; do convert $f.jpg -depth 8 rgb:$f.rgb; done
convert cmyk.jpg -colorspace sRGB -depth 8 rgb:cmyk.rgb

# PNG: every colour type and depth, with and without transparency, interlaced.
convert rose.ppm rgb8.png
convert rose.ppm -interlace PNG interlaced.png
convert rose.ppm -colorspace gray -depth 8 -define png:color-type=0 -define png:bit-depth=8 grey8.png
convert rose.ppm -colorspace gray -depth 4 -define png:color-type=0 -define png:bit-depth=4 grey4.png
convert rose.ppm -monochrome -define png:color-type=0 -define png:bit-depth=1 grey1.png
convert rose.ppm -colors 50 -define png:color-type=3 -define png:bit-depth=8 pal8.png
convert rose.ppm -colors 12 -define png:color-type=3 -define png:bit-depth=4 pal4.png
convert grad16.ppm -define png:color-type=2 -define png:bit-depth=16 rgb16.png
convert grad16.ppm alpha16.pgm -alpha off -compose CopyOpacity -composite \
  -define png:color-type=6 -define png:bit-depth=16 rgba16.png
convert rose.ppm \( -size 70x46 gradient:white-black \) -alpha off -compose CopyOpacity -composite \
  -define png:color-type=6 -define png:bit-depth=8 rgba8.png
convert rgba8.png -interlace PNG rgba8_interlaced.png
convert rose.ppm -colorspace gray \( -size 70x46 gradient:white-black \) -alpha off -compose CopyOpacity -composite \
  -define png:color-type=4 -define png:bit-depth=8 greyalpha8.png
# A palette picture with a tRNS chunk: white becomes fully transparent, the rest opaque.
convert rose.ppm -colors 16 -fill white -draw 'rectangle 0,0 20,10' -transparent white PNG8:paltrns.png
# The same as a colour picture whose tRNS chunk names white as its transparent colour.
convert rose.ppm -fill white -draw 'rectangle 0,0 20,10' -transparent white PNG24:rgbtrns.png
# Pictures users bring today: black lettering on a transparent background (RGBA, as a palette
# picture with tRNS and as a GIF), a 24-megapixel PNG photo and 48-megapixel photos.
convert -size 300x100 xc:none -fill black -draw 'rectangle 20,30 120,70' -draw 'rectangle 150,30 280,70' \
  -draw 'rectangle 0,0 299,2' png32:firma.png
convert firma.png png8:firma_pal.png
convert -size 6000x4000 gradient:'#204080'-'#f0c010' -depth 8 -define png:color-type=2 photo24.png
convert -size 8000x6000 gradient:'#204080'-'#f0c010' -depth 8 -define png:color-type=2 photo48.png
convert -size 8000x6000 gradient:'#204080'-'#f0c010' -quality 80 photo48.jpg
# Progressive photos, whose decoding keeps the coefficients of the whole picture: 24 megapixels at
# 4:2:0 (pnmtojpeg's sampling), 16 at 4:4:4 and 48 at 4:2:0.
pamscale -xsize 6000 -ysize 4000 rose.ppm | pnmtojpeg -quality 85 -progressive > photo24_prog.jpg
pamscale -xsize 4900 -ysize 3300 rose.ppm | pnmtojpeg -quality 85 -progressive -sample=1x1,1x1,1x1 > photo16_444_prog.jpg
pamscale -xsize 8000 -ysize 6000 rose.ppm | pnmtojpeg -quality 85 -progressive > photo48_prog.jpg
# A run-length coded bitmap of 48 megapixels, for the loader's budget on the BMP road.
convert -size 8000x6000 xc:gray50 -colors 2 -compress RLE BMP3:photo48_rle.bmp
for f in rgb8 interlaced grey8 grey4 grey1 pal8 pal4 rgb16 rgba16 rgba8 rgba8_interlaced greyalpha8 paltrns rgbtrns firma firma_pal; do
  convert $f.png -depth 8 rgba:$f.rgba
done
