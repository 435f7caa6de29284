#!/usr/bin/env bash
# Runs a command (the downloads' test program under Wine) with a real HTTP server as its proxy:
# Python's http.server, started here on 127.0.0.1 and a free port over an empty folder. WinInet
# follows the proxy setting (http_proxy) and asks the proxy for the whole address,
# "GET http://host:80/path"; the server's handler takes that as "/host/path", so a file for
# http://host/path lies in the folder at host/path.
# The command learns the folder from the environment:
#   ASTREL_HTTP_ROOT  the served folder (a Unix path)
# Without Python this fails with a message: the test must not pass without its server.
#
# usage: with_http_server.sh COMMAND [ARGS...]
set -u

die() { printf 'with_http_server: %s\n' "$*" >&2; exit 1; }
. "$(dirname "$0")/../../../../tools/testsupport/test_server.sh"
command -v python3 >/dev/null || die "python3 fehlt (tools/setup/setup.sh installiert es)"

server_folder httpserver

www=$work/www
mkdir -p "$www"
cat >"$work/proxy.py" <<'EOF'
import functools, http.server, re, sys

class Handler(http.server.SimpleHTTPRequestHandler):
    # A proxy's request names the whole address: http://host[:port]/path is served as /host/path.
    def translate_path(self, path):
        m = re.match(r'^http://([^/:]+)(?::\d+)?(/.*)?$', path)
        if m:
            path = '/' + m.group(1) + (m.group(2) or '/')
        return super().translate_path(path)

server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=sys.argv[1]))
print(server.server_address[1], flush=True)
server.serve_forever()
EOF
python3 -u "$work/proxy.py" "$www" >"$work/server.port" 2>"$work/server.log" &
pid=$!
port=""
for _ in $(seq 1 100); do
  port=$(head -1 "$work/server.port" 2>/dev/null)
  [ -n "$port" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  cat "$work/server.log" >&2
  die "http.server ließ sich nicht starten"
fi

run_beside_server http.server "$work/server.log" \
  env -u no_proxy -u NO_PROXY http_proxy="http://127.0.0.1:$port" HTTP_PROXY="http://127.0.0.1:$port" \
  ASTREL_HTTP_ROOT="$www" "$@"
