#!/usr/bin/env bash
# Runs one Windows program under Wine the way every win32 test runs:
#   - a private Wine prefix, copied from a template prefix that is made once per build folder;
#   - an X server of its own (Xvfb on a display number it picks itself), never an existing display;
#   - the German locale, WINEDEBUG=-all, the caller's WINEDLLOVERRIDES passed through;
#   - a time limit, after which the program, its wineserver and the X server are ended;
#   - Wine's output goes to files (its background processes inherit open pipes, so a caller waiting
#     for end-of-file on them would hang) and is printed afterwards;
#   - the program's exit code is the result; a program Wine's debugger reports as crashed fails.
#
# usage: wine-run.sh --template DIR [--timeout SECONDS] [--keep-prefix DIR] PROGRAM.exe [ARGS...]
#   The environment variable ASTREL_WINE_TIMEOUT overrides the default time limit (120 s); where
#   32-bit code is emulated the limit is three times as long (ASTREL_TIME_SCALE, i386-road.sh).
#   With --keep-prefix the prefix is left in DIR after the run (for inspecting registry and files).
#   ASTREL_WINE_FILE_SIZE_LIMIT=KB: no file the program (or one it starts) writes may grow past KB
#   kilobytes; writes past it fail as on a full disk (SIGXFSZ is ignored, so they fail instead of
#   ending the program). The program's output and the prefix's registry are outside the limit.
set -u
# On a machine that runs no 32-bit x86 code, the rest of this script runs inside the namespace
# where qemu-i386 runs Wine's 32-bit half (see i386-road.sh).
. "$(dirname "$0")/i386-road.sh"
astrel_i386_enter "$0" "$@"

template=""
limit=${ASTREL_WINE_TIMEOUT:-120}
keep=""
while [ $# -gt 0 ]; do
  case "$1" in
    --template) template=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --keep-prefix) keep=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ -n "$template" ] || { echo "wine-run: --template fehlt" >&2; exit 2; }
limit=$((limit * ${ASTREL_TIME_SCALE:-1}))
[ $# -ge 1 ] || { echo "wine-run: kein Programm angegeben" >&2; exit 2; }

export WINEDEBUG=-all
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
export WINEARCH=win32
base_overrides="mscoree,mshtml=;winemenubuilder.exe=d"

# --- the template prefix, made once (several runs may ask for it at the same time) -------------
. "$(dirname "$0")/prefix.sh"
make_template() {
  mkdir -p "$(dirname "$template")"
  exec 8>"$template.lock"
  flock 8
  if ! astrel_prefix_ready "$template"; then
    rm -rf "$template" "$template.tmp"
    mkdir -p "$template.tmp"
    if ! WINEDLLOVERRIDES=$base_overrides astrel_prepare_prefix "$template.tmp"; then
      echo "wine-run: Wine-Präfix konnte nicht angelegt werden (siehe $template.tmp.log)" >&2
      exit 3
    fi
    mv "$template.tmp" "$template"
  fi
  exec 8>&-
}
astrel_prefix_ready "$template" || make_template || exit 3

work=$(mktemp -d "${TMPDIR:-/tmp}/wine-run.XXXXXX")
prefix=${keep:-$work/prefix}
xpid=""
cleanup() {
  if [ -d "$prefix" ]; then WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 </dev/null; fi
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

# The template's files are hard-linked (a prefix is some 600 MB of system DLLs that no test
# changes); the registry files, which Wine rewrites, are real copies.
rm -rf "$prefix"
cp -al "$template" "$prefix"
for reg in "$prefix"/*.reg; do cp --remove-destination "$template/$(basename "$reg")" "$reg"; done

# --- an X server of our own --------------------------------------------------------------------
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 1 200); do
  [ -s "$work/display" ] && break
  kill -0 "$xpid" 2>/dev/null || break
  sleep 0.05
done
display=$(tr -dc '0-9' <"$work/display" 2>/dev/null)
if [ -z "$display" ]; then
  echo "wine-run: Xvfb ist nicht gestartet:" >&2; cat "$work/xvfb.log" >&2; exit 3
fi

# --- the program -------------------------------------------------------------------------------
overrides=$base_overrides
[ -n "${WINEDLLOVERRIDES:-}" ] && overrides="$WINEDLLOVERRIDES;$overrides"
run_program() {
  WINEPREFIX=$prefix DISPLAY=:$display WINEDLLOVERRIDES=$overrides \
    timeout -k 5 "$limit" wine "$@" </dev/null
}
if [ -z "${ASTREL_WINE_FILE_SIZE_LIMIT:-}" ]; then
  run_program "$@" >"$work/out" 2>"$work/err"
  rc=$?
else
  # The limit is for the files the program writes. Its output (a test's log) is not one of them:
  # it goes through pipes to readers outside the limit, and the prefix's wineserver, which writes
  # the registry files, is started outside it as well.
  mkfifo "$work/out.pipe" "$work/err.pipe"
  cat "$work/out.pipe" >"$work/out" &
  outpid=$!
  cat "$work/err.pipe" >"$work/err" &
  errpid=$!
  WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 </dev/null
  (
    ulimit -f "$ASTREL_WINE_FILE_SIZE_LIMIT"
    trap '' XFSZ
    run_program "$@"
  ) >"$work/out.pipe" 2>"$work/err.pipe"
  rc=$?
  # Wine's background processes hold the pipes too; they end with their wineserver, and then the
  # readers see the end of the output.
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 </dev/null
  for _ in $(seq 1 100); do
    kill -0 "$outpid" 2>/dev/null || kill -0 "$errpid" 2>/dev/null || break
    sleep 0.05
  done
  kill "$outpid" "$errpid" 2>/dev/null
  wait "$outpid" "$errpid" 2>/dev/null
fi
cat "$work/out"
# Wine's own noise on stderr is dropped; the program's messages are kept.
grep -v -E '^(wine: |[0-9a-f]{4}:(err|fixme|warn):|Xlib: |X connection)' "$work/err" >&2 || true
# A program that Wine's debugger reported as crashed has failed, whatever its exit code says.
if [ "$rc" = 0 ] && grep -q -E '^Unhandled exception: ' "$work/out" "$work/err" 2>/dev/null; then
  echo "wine-run: das Programm ist abgestürzt (Unhandled exception): $*" >&2
  rc=1
fi
if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
  echo "wine-run: Zeitlimit von $limit s überschritten: $*" >&2
fi
exit "$rc"
