#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build folder for a given time, several at once.
# usage: run-fuzz.sh BUILD_DIR SECONDS JOBS
# FUZZ_TARGETS="name ..." runs only the targets named there.
# Each target starts from its seed folder (fuzz/seeds/<name>, may be missing) and keeps what it
# finds in BUILD_DIR/corpus/<name>. A crash leaves its input in BUILD_DIR/crashes/<name>/.
# Every target runs with the programs' real limits. libFuzzer's malloc limit is the picture budget
# of quillet/imaging/budget/picture_budget.h, read from there, which is also the budget of Corvalen's
# readers (corvalen/tariff/DataBudget.h): any single allocation above it is a finding. Its memory limit (the process's resident size) is twice the budget: AddressSanitizer's
# shadow memory, its quarantine of freed blocks (kept small here) and the fuzzer's corpus come on
# top of what the program itself holds, so an input that makes a reader hold more than the budget
# in several blocks is a finding as well.
set -u
build=$1 seconds=$2 jobs=${3:-$(nproc)}
here=$(cd "$(dirname "$0")/../.." && pwd)
budget_mb=$(sed -n 's/.*kPictureBudgetBytes = int64_t(\([0-9]*\)) << 20.*/\1/p' "$here/quillet/imaging/budget/picture_budget.h")
[ -n "$budget_mb" ] || { echo "run-fuzz: Budget in picture_budget.h nicht gefunden" >&2; exit 2; }
# Corvalen's readers keep to a budget of the same size (corvalen/tariff/DataBudget.h).
data_mb=$(sed -n 's/.*kDataBudgetBytes = size_t(\([0-9]*\)) << 20.*/\1/p' "$here/corvalen/tariff/DataBudget.h")
[ "$data_mb" = "$budget_mb" ] || { echo "run-fuzz: DataBudget.h ($data_mb MB) und picture_budget.h ($budget_mb MB) weichen ab" >&2; exit 2; }
export budget_mb
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16}
list=$build/fuzz-targets.txt
[ -f "$list" ] || { echo "run-fuzz: $list fehlt" >&2; exit 2; }
mapfile -t lines <"$list"
if [ -n "${FUZZ_TARGETS:-}" ]; then
  keep=()
  for l in "${lines[@]}"; do
    case " $FUZZ_TARGETS " in *" ${l%% *} "*) keep+=("$l") ;; esac
  done
  lines=("${keep[@]}")
  # A misspelt name is no run that passed.
  [ "${#lines[@]}" -gt 0 ] || { echo "run-fuzz: kein Fuzz-Ziel heißt so: $FUZZ_TARGETS" >&2; exit 2; }
fi
if [ "${#lines[@]}" -eq 0 ]; then echo "run-fuzz: keine Fuzz-Ziele"; exit 0; fi

one() {
  local name=$1 prog=$2 seeds=$3 build=$4 seconds=$5
  local corpus=$build/corpus/$name crashes=$build/crashes/$name
  mkdir -p "$corpus" "$crashes"
  local dirs=("$corpus")
  [ -d "$seeds" ] && dirs+=("$seeds")
  if "$prog" -max_total_time="$seconds" -timeout=10 -rss_limit_mb="$((2 * budget_mb))" -malloc_limit_mb="$budget_mb" -print_final_stats=0 \
       -artifact_prefix="$crashes/" "${dirs[@]}" >"$build/$name.fuzz.log" 2>&1; then
    local runs
    runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$build/$name.fuzz.log" | tail -1)
    echo "fuzz $name: ok ($seconds s, ${runs:-?} runs, $(ls "$corpus" | wc -l) inputs in corpus)"
  else
    echo "fuzz $name: FEHLER"; tail -40 "$build/$name.fuzz.log"; return 1
  fi
}
export -f one
printf '%s\n' "${lines[@]}" | xargs -P "$jobs" -L 1 bash -c 'one "$0" "$1" "$2" "'"$build"'" "'"$seconds"'"' \
  >"$build/fuzz-summary.log"
rc=$?
cat "$build/fuzz-summary.log"
passed=$(grep -c ': ok' "$build/fuzz-summary.log")
failed=$(grep -c ': FEHLER' "$build/fuzz-summary.log")
echo "fuzz: $passed passed, $failed failed"
[ "$rc" = 0 ] && [ "$failed" = 0 ]
