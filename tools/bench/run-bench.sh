#!/usr/bin/env bash
# Runs every benchmark program of a bench build folder (the programs named bench_*) and prints one
# table: each row a job against its peer, measured in the same run, as the ratio peer time / our
# time (above 1: ours is faster), with the aim beside it; the rows that fall short are named at
# the end. The programs' own figures go to BUILD/bench-details.log.
set -eu
build=$1
details=$build/bench-details.log
: >"$details"
found=0
while IFS= read -r prog; do
  found=1
  echo "== $(basename "$prog")" >>"$details"
  "$prog" >>"$details" 2>&1 || echo "FEHLER: $(basename "$prog") endete mit einem Fehler" | tee -a "$details"
done < <(find "$build" -maxdepth 3 -type f -name 'bench_*' -perm -u+x | sort)
[ "$found" = 1 ] || { echo "bench: keine Benchmarks gebaut"; exit 0; }
grep -av '^ROW' "$details" | grep -a '^FEHLER' || true
grep -a '^ROW' "$details" | awk -F'\t' '
  BEGIN { printf "%-50s %-15s %7s %6s  %s\n", "job", "peer", "ratio", "aim", ""; short = "" }
  { ok = ($4 + 0 >= $5 + 0); printf "%-50s %-15s %7.2f %6.2f  %s\n", $2, $3, $4, $5, ok ? "ok" : "VERFEHLT";
    if (!ok) short = short "\n  " $2 " (" $3 "): " $4 " statt " $5 }
  END { if (short == "") print "Alle Zeilen erreichen ihr Ziel."; else print "Unter dem Ziel:" short }'
echo "(Einzelheiten: $details; Zeiten sind Prozessorzeiten, gemessen im selben Lauf)"
