#!/usr/bin/env bash
# Takes the README picture of Corvalen's main dialog online: the test build's screenshot program
# starts Corvalen on the simulated line, connects and writes the dialog as a bitmap, which is
# turned into docs/corvalen.png.
# usage: corvalen.sh BUILD_DIR [OUTPUT.png]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-build}
out=${2:-$root/docs/corvalen.png}
prog=$root/$build/win32/corvalen/app/corvalen_screenshot.exe
[ -f "$prog" ] || { echo "screenshot: $prog fehlt (erst make win32)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
WINEDLLOVERRIDES=rasapi32,rasdlg=n,b bash "$root/tools/wine/wine-run.sh" \
  --template "$root/$build/win32/wine-template" "$prog" "Z:$work/corvalen.bmp"
convert "$work/corvalen.bmp" "$out"
echo "screenshot: $out"
