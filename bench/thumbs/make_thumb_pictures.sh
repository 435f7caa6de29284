#!/bin/bash
# The thumbnail benchmark's pictures: one photograph-like plasma picture at 1, 2, 3 and 4
# megapixels, each as JPEG, PNG, BMP and GIF (256 colours).
set -eu
out=$1
mkdir -p "$out"
cd "$out"
convert -seed 7 -size 2304x1728 plasma:fractal -blur 0x1 base.ppm
for size in 1152x864 1600x1200 2048x1536 2304x1728; do
  convert base.ppm -resize "$size!" "p$size.ppm"
  convert "p$size.ppm" -quality 85 "p$size.jpg"
  convert "p$size.ppm" "p$size.png"
  convert "p$size.ppm" -type TrueColor "BMP3:p$size.bmp"
  convert "p$size.ppm" -colors 256 "p$size.gif"
  rm "p$size.ppm"
done
rm base.ppm
