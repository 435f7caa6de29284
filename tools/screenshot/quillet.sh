#!/usr/bin/env bash
# Takes the README screenshots of Quillet: starts a copy of dist/Quillet/Quillet.exe with a page under an
# Xvfb display of its own and captures the screen into docs/quillet.png; with "compressor", it
# then opens the compressor window with that page packed (through the build's
# quillet_show_compressor) and captures that window into docs/quillet-compressor.png; with
# "browser", pictures lie beside the page and the image browser is opened on them (through the
# build's quillet_show_browser), captured into docs/quillet-browser.png. It ends everything it
# started.
# usage: quillet.sh BUILD_DIR [OUTPUT.png] [compressor|browser]
set -eu
. "$(dirname "$0")/../wine/i386-road.sh"
astrel_i386_enter "$0" "$@"
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
what=${3:-page}
case $what in
  compressor) out=${2:-$root/docs/quillet-compressor.png} ;;
  browser) out=${2:-$root/docs/quillet-browser.png} ;;
  *) out=${2:-$root/docs/quillet.png} ;;
esac
out=$(realpath -m "$out")
prog=$root/dist/Quillet/Quillet.exe
[ -f "$prog" ] || { echo "screenshot: $prog fehlt (erst make win32)" >&2; exit 1; }
mkdir -p "$root/$build"
# The program runs from a copy: what it writes into its DATEN\ folder stays out of dist/.
mkdir -p "$root/$build/screenshot-quillet"
cp -r -u "$root/dist/Quillet/." "$root/$build/screenshot-quillet/"
prog=$root/$build/screenshot-quillet/Quillet.exe
export WINEPREFIX=$root/$build/screenshot-prefix WINEDEBUG=-all WINEARCH=win32 LANG=de_DE.UTF-8
exec 3>"$root/$build/screenshot-display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$root/$build/screenshot-display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$root/$build/screenshot-display")
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
. "$root/tools/wine/prefix.sh"
if ! astrel_prefix_ready "$WINEPREFIX"; then
  rm -rf "$WINEPREFIX"
  astrel_prepare_prefix "$WINEPREFIX" || { echo "screenshot: Wine-Präfix konnte nicht angelegt werden" >&2; exit 1; }
fi
# A small page to show, with the highlighting at work.
page=$root/$build/screenshot-page/beispiel.htm
mkdir -p "$(dirname "$page")"
printf '%s\r\n' '<Html>' '<Head>' '<Title>Willkommen</Title>' \
  '<Meta Name="Generator" Content="Quillet Version 1.6">' '</Head>' \
  '<Body bgcolor="#FFFFFF" link="#0000FF" alink="#FF0000" vlink="#800080">' \
  '<!-- Kopfzeile -->' '<Center><B> Meine erste Seite </B></Center>' '<HR>' \
  '<P Align="left"> Hier steht der Text der Seite. </P>' '<a Href="mailto:post@example.de">Post</a>' \
  '' '</Body>' '</Html>' > "$page"
if [ "$what" = browser ]; then
  # Pictures of ImageMagick's own beside the page: the browser opens on the opened page's folder.
  pics=$(dirname "$page")
  convert logo: -resize 50% "$pics/logo.jpg"
  convert rose: "$pics/rose.png"
  convert wizard: -resize 40% "$pics/wizard.gif"
  convert netscape: "$pics/netscape.bmp"
  convert granite: -resize 200% "$pics/granit.png"
  convert -size 160x120 gradient:'#2050d0'-'#f0c020' "$pics/verlauf.jpg"
  convert -size 32x32 plasma:red-yellow "$pics/symbol.ico"
fi
cd "$(dirname "$prog")"
wine "$prog" "Z:${page//\//\\}" >/dev/null 2>&1 &
app=$!
# Wait for the main window, then let it settle.
for _ in $(seq 100); do
  if xwininfo -root -tree 2>/dev/null | grep -q 'Quillet 1.6'; then break; fi
  sleep 0.2
done
sleep 3
if [ "$what" = compressor ]; then
  wine "$root/$build/win32/quillet/app/win/quillet_show_compressor.exe" "Z:${page//\//\\}" >/dev/null 2>&1
  sleep 2
  win=$(xwininfo -root -tree 2>/dev/null | grep '" Quillet - Compressor"' | awk '{print $1}' | head -1)
  [ -n "$win" ] || { echo "screenshot: kein Compressor-Fenster" >&2; exit 1; }
  import -window "$win" png:- | convert - +repage "$out"
elif [ "$what" = browser ]; then
  # The browser is a document window inside Quillet's frame: the helper says whether it came up
  # with its thumbnails.
  wine "$root/$build/win32/quillet/app/win/quillet_show_browser.exe" >/dev/null 2>&1 ||
    { echo "screenshot: der Bilder Browser zeigt keine Bilder" >&2; exit 1; }
  sleep 2
  import -window root png:- | convert - -trim +repage "$out"
else
  import -window root png:- | convert - -trim +repage "$out"
fi
echo "screenshot: $out"
