#!/usr/bin/env bash
# Runs a command (the mailbox check's test program under Wine) beside a real POP3 server: Debian's
# Dovecot, started here on 127.0.0.1 and a free port with a configuration of its own in a
# temporary folder, one user "kunde" with the password "geheim" and a maildir of three messages.
# The command learns the server from the environment:
#   ASTREL_DOVECOT_PORT     the port
#   ASTREL_DOVECOT_MAILDIR  the user's maildir (a Unix path; new messages go into its "new" folder)
# Without Dovecot this fails with a message: the test must not pass without its server.
#
# usage: with_dovecot.sh COMMAND [ARGS...]
set -u

die() { printf 'with_dovecot: %s\n' "$*" >&2; exit 1; }
. "$(dirname "$0")/../../../../tools/testsupport/test_server.sh"
dovecot=$(command -v dovecot || ls /usr/sbin/dovecot 2>/dev/null) ||
  die "dovecot fehlt (Paket dovecot-pop3d; tools/setup/setup.sh installiert es)"
[ -x /usr/lib/dovecot/pop3 ] || die "der POP3-Dienst von Dovecot fehlt (Paket dovecot-pop3d)"

server_folder dovecot

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])') ||
  die "kein freier Port"
maildir=$work/mail/kunde
mkdir -p "$maildir"/{new,cur,tmp} "$work/run" "$work/state"
for i in 1 2 3; do
  printf 'From: absender%d@example.org\r\nTo: kunde@example.org\r\nSubject: Nachricht %d\r\n\r\nText %d\r\n' \
    "$i" "$i" "$i" >"$maildir/new/100000000$i.M1P1.test"
done
printf 'kunde:{PLAIN}geheim\n' >"$work/passwd"

# As root the mail processes run as Dovecot's own user (mail of uid 0 is refused); otherwise
# everything runs as the caller.
if [ "$(id -u)" = 0 ]; then
  mailuser=dovecot
  getent passwd dovecot >/dev/null || die "der Benutzer dovecot fehlt (Paket dovecot-core)"
  users="default_internal_user = dovecot
default_login_user = dovenull"
  chown -R dovecot: "$work/mail"
  chmod 755 "$work"
else
  mailuser=$(id -un)
  users="default_internal_user = $mailuser
default_internal_group = $(id -gn)
default_login_user = $mailuser"
fi
uid=$(id -u "$mailuser")
gid=$(id -g "$mailuser")

cat >"$work/dovecot.conf" <<EOF
protocols = pop3
listen = 127.0.0.1
base_dir = $work/run
state_dir = $work/state
log_path = $work/dovecot.log
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
first_valid_uid = $uid
last_valid_uid = $uid
$users
mail_location = maildir:$work/mail/%u
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $work/passwd
}
userdb {
  driver = static
  args = uid=$uid gid=$gid home=$work/mail/%u
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = $port
  }
}
service anvil {
  chroot =
}
service pop3-login {
  chroot =
}
service stats {
  unix_listener stats-writer {
    mode = 0666
  }
}
EOF

"$dovecot" -F -c "$work/dovecot.conf" >"$work/dovecot.out" 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  if python3 -c "import socket,sys; socket.create_connection(('127.0.0.1',$port),0.2).close()" 2>/dev/null; then
    break
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$pid" 2>/dev/null; then
  cat "$work/dovecot.out" "$work/dovecot.log" >&2 2>/dev/null
  pid=""
  die "Dovecot ließ sich nicht starten"
fi

run_beside_server dovecot.log "$work/dovecot.log" \
  env ASTREL_DOVECOT_PORT="$port" ASTREL_DOVECOT_MAILDIR="$maildir" "$@"
