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
# The thumbnail view's folder: a one-frame and an animated GIF, a JPEG, a wide and a small PNG, a
# PNG that is no picture.
mkdir -p view
convert -size 40x30 xc:'#c0c000' view/a.gif
convert -delay 10 -size 40x40 xc:red xc:blue -loop 0 view/b.gif
convert -size 64x48 xc:'#2020c0' view/c.JPG
convert -size 400x200 xc:'#d02020' view/wide.png
convert -size 30x30 xc:'#20a020' view/small.png
printf "kein Bild" > view/kaputt.png
convert -size 32x32 xc:"#00c0c0" view/f.ico
