#!/usr/bin/env bash
# Starts one of the programs under Wine for a person to use.
# usage: run.sh quillet|corvalen BUILD_DIR [PROGRAM ARGUMENTS...]
#   Quillet without arguments opens an empty page.
# It uses the X display of the session ($DISPLAY); without one it starts an Xvfb display of its
# own, says so, and ends it when the program ends. The programs run in a demo folder of their own
# (ASTREL_DEMO_DIR, default BUILD_DIR/demo) with a Wine prefix of its own:
#   DIR/prefix     the Wine prefix
#   DIR/display    the number of the display the program runs on
#   DIR/quillet/   Quillet's program folder: a copy of dist/Quillet, so that the pages, working
#                  copies and media Quillet writes into its DATEN\ folder stay out of dist/
#   DIR/corvalen/  Corvalen's program folder: the program as dist/Corvalen ships it, with the
#                  stand-in RAS libraries beside it (Wine looks for a program's DLLs beside it
#                  before its own system folder only there); its phone book and call log
#                  (rassim.log) lie there too. dist/ itself stays as it ships.
set -eu
. "$(dirname "$0")/../wine/i386-road.sh"
astrel_i386_enter "$0" "$@"
[ $# -ge 2 ] || { echo "usage: run.sh quillet|corvalen BUILD_DIR [ARGS...]" >&2; exit 2; }
what=$1 build=$2
shift 2
root=$(cd "$(dirname "$0")/../.." && pwd)
case "$build" in /*) ;; *) build=$root/$build ;; esac
case "$what" in
  quillet) prog=$root/dist/Quillet/Quillet.exe ;;
  corvalen) prog=$root/dist/Corvalen/Corvalen.exe ;;
  *) echo "run: unbekanntes Programm $what" >&2; exit 2 ;;
esac
if [ ! -f "$prog" ]; then
  echo "run: $(basename "$prog") ist noch nicht gebaut. Gebaut sind bisher:"
  find "$build/win32" -maxdepth 3 -name '*.exe' ! -name '*_test.exe' -printf '  %P\n' 2>/dev/null | sort
  find "$root/dist" -type f -printf '  dist/%P\n' 2>/dev/null | sort
  exit 1
fi
demo=${ASTREL_DEMO_DIR:-$build/demo}
mkdir -p "$demo"
demo=$(cd "$demo" && pwd)
export WINEPREFIX=$demo/prefix WINEDEBUG=-all WINEARCH=win32 LANG=de_DE.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

xpid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xpid" ]; then kill "$xpid" 2>/dev/null || true; wait "$xpid" 2>/dev/null || true; fi
  rm -f "$demo/display"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

. "$root/tools/wine/prefix.sh"
if ! astrel_prefix_ready "$WINEPREFIX"; then
  echo "run: lege das Wine-Präfix $WINEPREFIX an (einmalig, einige Sekunden)"
  rm -rf "$WINEPREFIX"
  astrel_prepare_prefix "$WINEPREFIX" || { echo "run: Wine-Präfix konnte nicht angelegt werden (siehe $WINEPREFIX.log)" >&2; exit 1; }
fi

if [ -z "${DISPLAY:-}" ]; then
  rm -f "$demo/display"
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$demo/display.tmp" >"$demo/xvfb.log" 2>&1 &
  xpid=$!
  for _ in $(seq 100); do [ -s "$demo/display.tmp" ] && break; sleep 0.05; done
  [ -s "$demo/display.tmp" ] || { echo "run: Xvfb ist nicht gestartet (siehe $demo/xvfb.log)" >&2; exit 1; }
  export DISPLAY=:$(tr -dc '0-9' <"$demo/display.tmp")
  echo "run: kein DISPLAY gesetzt; eigenes Xvfb auf $DISPLAY gestartet"
fi

if [ "$what" = quillet ]; then
  dir=$demo/quillet
  mkdir -p "$dir"
  cp -r -u "$root/dist/Quillet/." "$dir/"
  prog=$dir/Quillet.exe
fi
if [ "$what" = corvalen ]; then
  dir=$demo/corvalen
  mkdir -p "$dir"
  cp -u "$root"/dist/Corvalen/* "$dir/"
  for dll in rasapi32.dll rasdlg.dll; do
    [ -f "$build/win32/tools/rassim/$dll" ] || { echo "run: $build/win32/tools/rassim/$dll fehlt (erst make win32)" >&2; exit 1; }
    cp -u "$build/win32/tools/rassim/$dll" "$dir/"
  done
  [ -f "$dir/rassim.ini" ] || printf '[rassim]\nStepMs=300\n' >"$dir/rassim.ini"
  export WINEDLLOVERRIDES="rasapi32,rasdlg=n,b;$WINEDLLOVERRIDES"
  export RASSIM_CONFIG="$(winpath "$dir/rassim.ini")"
  # The installation's registry value PATH names the program folder with the data.
  wine reg add 'HKLM\Software\ASTREL\Corvalen2.0' /v PATH /d "$(winpath "$dir/")" /f >/dev/null 2>&1
  # The installation names the server messages' file on the update server; without it the demo
  # would ask the server for its bare folder "/msg/".
  wine reg add 'HKLM\Software\ASTREL\Corvalen2.0' /v MessageUrl /d corva.xml /f >/dev/null 2>&1
  wine reg add 'HKCU\RemoteAccess' /f >/dev/null 2>&1
  echo "run: Corvalen wählt über das simulierte DFÜ-Netzwerk (Anrufprotokoll: $dir/rassim.log)"
  prog=$dir/Corvalen.exe
fi
cd "$(dirname "$prog")"
# Quillet starts with an empty page to type in.
if [ "$what" = quillet ] && [ $# -eq 0 ]; then set -- /neu; fi
# The display is named only once everything is in place, so that whoever waits for it finds the
# program starting.
printf '%s\n' "${DISPLAY#:}" >"$demo/display"
rm -f "$demo/display.tmp"
rc=0
wine "$prog" "$@" || rc=$?
exit "$rc"
