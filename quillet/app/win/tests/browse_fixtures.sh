#!/bin/bash
# Pictures for the image browser's tests: one of each format the browser shows, made by
# ImageMagick and netpbm, an animated GIF (left out), a PNG that is no picture, a text file, and
# a second folder below.
set -eu
out=$1
rm -rf "$out"
mkdir -p "$out/bilder/zweite"
cd "$out/bilder"
convert -size 300x200 xc:'#d02020' a.png
ppmmake '#20a020' 120 90 | ppmtobmp > b.bmp
ppmmake '#2020c0' 640 480 | pnmtojpeg > c.JPG
convert -size 50x70 xc:'#c0c000' d.gif
convert -delay 10 -size 40x40 xc:red xc:blue -loop 0 e.gif
convert -size 32x32 xc:'#00c0c0' f.ico
printf 'kein Bild' > kaputt.png
printf 'Notiz' > notiz.txt
printf '<html></html>\r\n' > seite.htm
ppmmake '#808080' 200 100 | pnmtojpeg > zweite/g.jpg
# A GIF whose screen colour is black (one white pixel on a screen of 40 x 30), written byte by byte,
# and black lettering of 40 x 20 pixels on a transparent picture.
mkdir -p "$out/durchsichtig"
cd "$out/durchsichtig"
printf 'GIF89a\050\000\036\000\200\000\000\000\000\000\377\377\377\054\000\000\000\000\001\000\001\000\000\002\002\114\001\000\073' > schwarz.gif
convert -size 120x60 xc:none -fill black -draw 'rectangle 40,20 79,39' png32:firma.png
