# Shell functions of the scripts that run a test beside a real server on 127.0.0.1 (sourced, not
# run): the server's temporary folder, its end with the script, and the test command whose failure
# shows the server's log. The sourcing script defines die() with its own name first.

# server_folder NAME: makes the temporary folder $work (NAME.XXXXXX) and sees to it that the server
# ($pid, set once it is started) is ended and the folder removed when the script exits.
server_folder() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX") || die "kein temporärer Ordner"
  pid=""
  trap server_cleanup EXIT
}

server_cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$work"
}

# run_beside_server TITLE LOG COMMAND [ARGS...]: runs the command and exits with its code; when it
# failed, the server's LOG follows under "--- TITLE" on standard error.
run_beside_server() {
  local title=$1 log=$2 rc
  shift 2
  "$@"
  rc=$?
  if [ "$rc" != 0 ]; then
    echo "--- $title" >&2
    cat "$log" >&2 2>/dev/null
  fi
  exit "$rc"
}
