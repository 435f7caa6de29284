# Sourced by set-up and by every script that starts Wine: the road by which this machine runs the
# 32-bit x86 code of the Windows programs and of Wine's 32-bit half.
#
#   native    the kernel runs i386 programs itself (Wine as on any Debian machine);
#   emulated  the kernel refuses every i386 program ("Exec format error"); qemu-i386 runs them. It
#             is registered as the binfmt_misc handler of i386 ELF files inside a private user and
#             mount namespace of the script that starts Wine, so nothing changes for the rest of the
#             machine. Wine's server is the 64-bit one of the wine64 package on both roads and runs
#             natively; only the programs and Wine's 32-bit loader and libraries are emulated.
#
# ASTREL_I386=native or ASTREL_I386=emulated forces a road; without it the machine is asked (a
# hand-made i386 program of three instructions either runs or does not). The emulated road works
# on either kind of machine, the native road only where i386 code runs.
#
# astrel_i386_road            prints the road (native | emulated), or fails with a message when
#                             ASTREL_I386 holds something else or asks for a road that cannot run
# astrel_i386_runs_natively   true when the kernel runs i386 programs
# astrel_i386_enter SCRIPT ARGS...
#                             on the emulated road, runs the calling script again inside its
#                             namespace (once: the scripts it starts are inside already); on the
#                             native road returns at once. Call it first thing in the script.
#                             It exports ASTREL_TIME_SCALE, by which the scripts and the runner
#                             stretch their time limits: 1 on the native road, 3 on the emulated
#                             one, where the programs take some three times as long (ctest's own
#                             limits stand behind the largest, ASTREL_WINE_TIME_SCALE_MAX in
#                             cmake/Astrel.cmake).
# ASTREL_QEMU_DIR             where set-up puts qemu-i386 (a static binary), outside the checkout

ASTREL_QEMU_DIR=${ASTREL_QEMU_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/astrel-qemu}
ASTREL_QEMU_I386=$ASTREL_QEMU_DIR/qemu-i386

# The smallest i386 Linux program: an ELF header, one loadable segment, and exit(0) through
# int 0x80 (mov eax,1; xor ebx,ebx; int 0x80).
astrel_i386_runs_natively() {
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/astrel-i386.XXXXXX") || return 1
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  rc=$?
  rm -f "$probe"
  [ "$rc" = 0 ]
}

astrel_i386_road() {
  case "${ASTREL_I386:-}" in
    "")
      if astrel_i386_runs_natively; then echo native; else echo emulated; fi ;;
    emulated) echo emulated ;;
    native)
      if astrel_i386_runs_natively; then echo native; else
        echo "ASTREL_I386=native: dieser Rechner führt keinen 32-Bit-x86-Code aus (der Kernel lehnt i386-Programme ab); ohne ASTREL_I386 wird emuliert" >&2
        return 1
      fi ;;
    *)
      echo "ASTREL_I386=$ASTREL_I386: erlaubt sind native und emulated" >&2
      return 1 ;;
  esac
}

# The binfmt_misc rule: the first 20 bytes of an i386 ELF executable or shared object (class 32,
# little-endian, machine 3), with the mask that ignores the OS ABI byte and the low bit of the type.
# The flag F opens qemu-i386 now, so the handler works wherever the program lies.
ASTREL_I386_BINFMT=':astrel-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'

astrel_i386_enter() {
  [ "${ASTREL_I386_INSIDE:-}" = 1 ] && return 0
  local road
  road=$(astrel_i386_road) || exit 2
  export ASTREL_I386_INSIDE=1 ASTREL_TIME_SCALE=1
  [ "$road" = native ] && return 0
  ASTREL_TIME_SCALE=3
  if [ ! -x "$ASTREL_QEMU_I386" ]; then
    echo "qemu-i386 fehlt in $ASTREL_QEMU_DIR: zuerst tools/setup/setup.sh ausführen (make tut das)" >&2
    exit 2
  fi
  # The namespace's first steps: binfmt_misc of its own, with qemu-i386 as the handler of i386
  # programs; then the script again, in the same process.
  local inside='
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null &&
      printf "%s" "$1$2:F" >/proc/sys/fs/binfmt_misc/register 2>/dev/null || {
        echo "qemu-i386 lässt sich in einem eigenen Namensraum nicht als Interpreter für i386-Programme eintragen (binfmt_misc braucht Linux 6.7 oder neuer)" >&2
        exit 2
      }
    shift 2
    exec bash "$@"'
  if [ "$(id -u)" = 0 ]; then
    # As root every user is mapped to itself, so that files of other users (the mail folder of a
    # test's Dovecot, say) are theirs inside as well. Only a process outside may write such a map:
    # a holder process makes the namespaces, the map is written for it, and this process joins
    # them (keeping its process id; joining a mount namespace starts at its root, so the working
    # folder is looked up again inside it: a folder kept from outside would lie on the outer
    # namespace's mounts, and a hard link from it to a path inside fails) and ends the holder.
    local holder ours
    ours=$(readlink /proc/self/ns/user)
    unshare --user --mount sleep 60 </dev/null >/dev/null 2>&1 &
    holder=$!
    for _ in $(seq 200); do
      [ "$(readlink "/proc/$holder/ns/user" 2>/dev/null)" != "$ours" ] && break
      sleep 0.01
    done
    if echo '0 0 4294967295' >"/proc/$holder/uid_map" 2>/dev/null &&
       echo '0 0 4294967295' >"/proc/$holder/gid_map" 2>/dev/null; then
      exec nsenter --target "$holder" --user --mount --wdns="$PWD" -- bash -c "kill $holder 2>/dev/null; $inside" \
        astrel-i386 "$ASTREL_I386_BINFMT" "$ASTREL_QEMU_I386" "$@"
    fi
    kill "$holder" 2>/dev/null
  fi
  # Otherwise the caller is the namespace's only user (root inside). No --fork: the script keeps
  # its process, so the signals sent to it (a time limit, Ctrl-C) reach its traps as before.
  exec unshare --user --map-root-user --mount bash -c "$inside" \
    astrel-i386 "$ASTREL_I386_BINFMT" "$ASTREL_QEMU_I386" "$@"
}
