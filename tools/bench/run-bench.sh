#!/usr/bin/env bash
# Runs every benchmark program of a bench build folder (the programs named bench_*); each prints
# its figures side by side with its peer's and the ratio.
set -eu
build=$1
found=0
while IFS= read -r prog; do
  found=1
  echo "== $(basename "$prog")"
  "$prog"
done < <(find "$build" -maxdepth 3 -type f -name 'bench_*' -perm -u+x | sort)
[ "$found" = 1 ] || echo "bench: keine Benchmarks gebaut"
