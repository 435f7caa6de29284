#!/usr/bin/env bash
# Starts one of the programs under Wine for a person to use.
# usage: run.sh quillet|corvalen BUILD_DIR
# It uses the X display of the session ($DISPLAY); without one it starts an Xvfb display of its
# own and says so. The programs run in a demo prefix of their own below BUILD_DIR.
set -eu
what=$1 build=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
case "$what" in
  quillet) prog=$root/dist/Quillet/Quillet.exe ;;
  corvalen) prog=$root/dist/Corvalen/Corvalen.exe ;;
  *) echo "run: unbekanntes Programm $what" >&2; exit 2 ;;
esac
if [ ! -f "$prog" ]; then
  echo "run: $(basename "$prog") ist noch nicht gebaut. Gebaut sind bisher:"
  find "$root/$build/win32" -maxdepth 3 -name '*.exe' ! -name '*_test.exe' -printf '  %P\n' 2>/dev/null | sort
  find "$root/dist" -type f -printf '  dist/%P\n' 2>/dev/null | sort
  exit 0
fi
export WINEPREFIX=$root/$build/demo-prefix WINEDEBUG=-all WINEARCH=win32 LANG=de_DE.UTF-8
if [ -z "${DISPLAY:-}" ]; then
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$root/$build/demo-display" >/dev/null 2>&1 &
  sleep 1
  export DISPLAY=:$(cat "$root/$build/demo-display")
  echo "run: kein DISPLAY gesetzt; eigenes Xvfb auf $DISPLAY gestartet"
fi
if [ "$what" = corvalen ]; then
  # The router dials the simulated line: the RAS stand-in's libraries (kept apart in rassim/) are
  # found on the path and preferred to Wine's stubs; its phone book and call log live in the
  # demo folder. The installation's registry value PATH names the program folder with the data.
  demo=$root/$build/demo-rassim
  mkdir -p "$demo"
  [ -f "$demo/rassim.ini" ] || printf '[rassim]\nStepMs=300\n' >"$demo/rassim.ini"
  winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
  export WINEDLLOVERRIDES="rasapi32,rasdlg=n,b" WINEPATH="$(winpath "$root/dist/Corvalen/rassim")"
  export RASSIM_CONFIG="$(winpath "$demo/rassim.ini")"
  wine reg add 'HKLM\Software\ASTREL\Corvalen2.0' /v PATH /d "$(winpath "$root/dist/Corvalen/")" /f >/dev/null 2>&1
  wine reg add 'HKCU\RemoteAccess' /f >/dev/null 2>&1
  echo "run: Corvalen wählt über das simulierte DFÜ-Netzwerk (Anrufprotokoll: $demo/rassim.log)"
fi
cd "$(dirname "$prog")"
# Quillet starts with an empty page to type in.
[ "$what" = quillet ] && [ $# -eq 0 ] && set -- /neu
exec wine "$prog" "$@"
