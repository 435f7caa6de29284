#!/bin/bash
# Pictures of the thumbnail tests, made by ImageMagick: one 640 x 480 picture, red on the left and
# blue on the right, in JPEG, PNG, BMP and GIF, and a JPEG cut off in its header.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
convert -size 320x480 xc:'#e01010' -size 320x480 xc:'#1010e0' +append photo.ppm
convert photo.ppm -quality 90 photo.jpg
convert photo.ppm photo.png
convert photo.ppm -type TrueColor BMP3:photo.bmp
convert photo.ppm photo.gif
head -c 40 photo.jpg > broken.jpg
