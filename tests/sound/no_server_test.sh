#!/usr/bin/env bash
# With no sound server to reach, the driver's burst of requests returns at once, the driver
# exits normally, and at most one warning is printed.
#
#   no_server_test.sh <sound_driver> <media folder>
set -euo pipefail
driver=$1 media=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/vemo-silent.XXXXXX")
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
export PULSE_SERVER=unix:$work/no-such-socket
unset DBUS_SESSION_BUS_ADDRESS VEMO_SOUND_LOG

status=0
"$driver" "$media" burst 2>"$work/stderr" || status=$?
cat "$work/stderr"
lines=$(wc -l <"$work/stderr")
echo "exit status $status, $lines line(s) on stderr"
[ "$status" -eq 0 ] && [ "$lines" -le 1 ]
