#!/usr/bin/env bash
# The runner's file-size limit is for the files a program writes, not for its output: under a
# limit of 64 KB the probe's file stops at 64 KB, while its output of some 1.3 MB on standard
# output and standard error reaches the caller whole.
# usage: output_test.sh RUNNER TEMPLATE PROBE.exe
set -u
runner=$1 template=$2 probe=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/wine-output-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
lines=20000
ASTREL_WINE_FILE_SIZE_LIMIT=64 bash "$runner" --template "$template" "$probe" "$lines" \
  >"$work/out" 2>"$work/err" </dev/null
rc=$?
tr -d '\r' <"$work/out" >"$work/out.txt"
tr -d '\r' <"$work/err" >"$work/err.txt"
fail=0
check() { if [ "$2" != "$3" ]; then echo "$1: $2, expected $3"; fail=1; fi; }
check "exit code" "$rc" 0
check "file written" "$(grep '^Datei' "$work/out.txt")" "Datei: 65536 Bytes geschrieben"
check "lines on standard output" "$(grep -c '^Zeile [0-9]* der Ausgabe' "$work/out.txt")" "$lines"
check "last line on standard output" "$(tail -1 "$work/out.txt")" "Ende"
check "lines on standard error" "$(grep -c '^Meldung [0-9]*$' "$work/err.txt")" "$lines"
check "last line on standard error" "$(tail -1 "$work/err.txt")" "$(printf 'Meldung %06d' "$lines")"
[ "$fail" = 0 ] || { echo "--- output, last lines:"; tail -3 "$work/out.txt"; tail -3 "$work/err.txt"; }
exit "$fail"
