#!/usr/bin/env bash
# Pictures users bring today, for the image dialog's and the image browser's roads: black
# lettering on a transparent background (PNG, and the same as a GIF) and a 48-megapixel photo,
# made by ImageMagick.
#   picture_fixtures.sh OUTDIR
set -euo pipefail
out=$1
rm -rf "$out"
mkdir -p "$out/bilder"
cd "$out/bilder"
convert -size 300x100 xc:none -fill black -draw 'rectangle 20,30 120,70' -draw 'rectangle 150,30 280,70' \
  -draw 'rectangle 0,0 299,2' png32:firma.png
convert firma.png firma.gif
convert -size 8000x6000 gradient:'#204080'-'#f0c010' -quality 80 photo48.jpg
