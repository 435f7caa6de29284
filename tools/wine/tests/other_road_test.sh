#!/usr/bin/env bash
# The road for 32-bit code that this machine does not take by itself (see i386-road.sh):
#   - where 32-bit x86 code runs natively, the runner's self-test runs once more through the
#     emulated road, inside a namespace whose binfmt_misc handler is qemu-i386;
#   - where it does not, asking for the native road is refused at once with its message, and the
#     program is not started.
# usage: other_road_test.sh RUNNER TEMPLATE PROGRAM.exe
set -u
runner=$1 template=$2 prog=$3
. "$(dirname "$runner")/i386-road.sh"
if astrel_i386_runs_natively; then
  export ASTREL_I386=emulated
  astrel_i386_enter "$0" "$@"
  # Inside: i386 programs go to qemu-i386 here, and the runner (already inside) runs the program.
  grep -q '^enabled' /proc/sys/fs/binfmt_misc/astrel-i386 ||
    { echo "no qemu-i386 handler inside the emulated road's namespace"; exit 1; }
  grep -q "^interpreter $ASTREL_QEMU_I386\$" /proc/sys/fs/binfmt_misc/astrel-i386 ||
    { echo "the handler is not $ASTREL_QEMU_I386:"; cat /proc/sys/fs/binfmt_misc/astrel-i386; exit 1; }
  exec bash "$runner" --template "$template" "$prog" --gtest_brief=1
fi
out=$(ASTREL_I386=native bash "$runner" --template "$template" "$prog" --gtest_brief=1 2>&1 </dev/null)
rc=$?
fail=0
[ "$rc" = 2 ] || { echo "exit code $rc, expected 2"; fail=1; }
case "$out" in
  *"ASTREL_I386=native: dieser Rechner führt keinen 32-Bit-x86-Code aus"*) ;;
  *) echo "the refusal does not say why"; fail=1 ;;
esac
case "$out" in *PASSED*|*"tests from"*) echo "the program ran although its road cannot run"; fail=1 ;; esac
[ "$fail" = 0 ] || printf -- '--- the runner said:\n%s\n' "$out"
exit "$fail"
