#!/usr/bin/env bash
# Runs the very script behind `make run` / `make run-corvalen` as a new user's shell would (no
# DISPLAY, so it starts an X server of its own), in a demo folder and Wine prefix of this test's
# own, and works the program it started with the probe from inside that prefix.
# usage: run_test.sh quillet|corvalen BUILD_DIR PROBE.exe
set -u
. "$(dirname "$0")/../../wine/i386-road.sh"
astrel_i386_enter "$0" "$@"
what=$1 build=$2 probe=$3
root=$(cd "$(dirname "$0")/../../.." && pwd)
demo=$(mktemp -d "${TMPDIR:-/tmp}/run-test.XXXXXX")
runpid=""
finish() {
  if [ -n "$runpid" ] && kill -0 "$runpid" 2>/dev/null; then
    kill "$runpid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$runpid" 2>/dev/null || break; sleep 0.1; done
  fi
  echo "--- run.sh:"; cat "$demo/run.out" 2>/dev/null
  rm -rf "$demo"
}
trap finish EXIT

filter=Quillet.*
[ "$what" = corvalen ] && filter=Corvalen.*
ASTREL_DEMO_DIR=$demo/demo env -u DISPLAY bash "$root/tools/run/run.sh" "$what" "$build" >"$demo/run.out" 2>&1 </dev/null &
runpid=$!
scale=${ASTREL_TIME_SCALE:-1}
for _ in $(seq $((600 * scale))); do
  [ -s "$demo/demo/display" ] && break
  kill -0 "$runpid" 2>/dev/null || { echo "run.sh ended before the program started"; exit 1; }
  sleep 0.1
done
[ -s "$demo/demo/display" ] || { echo "run.sh did not start a display"; exit 1; }
grep -q "eigenes Xvfb" "$demo/run.out" || { echo "run.sh did not say that it started an X server"; exit 1; }

WINEPREFIX=$demo/demo/prefix DISPLAY=:$(cat "$demo/demo/display") WINEDEBUG=-all WINEARCH=win32 LANG=de_DE.UTF-8 \
  timeout -k 5 $((150 * scale)) wine "$probe" --gtest_filter="$filter" --gtest_brief=1 >"$demo/probe.out" 2>"$demo/probe.err" </dev/null
rc=$?
cat "$demo/probe.out"
# The probe ends the program; the script then ends its X server and Wine and returns.
for _ in $(seq $((300 * scale))); do kill -0 "$runpid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$runpid" 2>/dev/null; then echo "run.sh did not end after the program closed"; rc=1; fi
[ -n "$(ls -A "$root/dist/Corvalen" 2>/dev/null | grep -i -E 'rassim|rasapi32|rasdlg')" ] && { echo "dist/Corvalen holds the RAS stand-in"; rc=1; }
# Quillet ran on a copy: its empty page left nothing beside what dist/Quillet ships.
extra=$(cd "$root/dist/Quillet" 2>/dev/null && find . -type f ! -path ./Quillet.exe ! -path ./lpng.dll ! -path ./DATEN/HILFE/Quillet.hlp)
[ -n "$extra" ] && { echo "dist/Quillet holds more than it ships:"; echo "$extra"; rc=1; }
exit "$rc"
