#!/usr/bin/env bash
# Runs a command on a virtual display of its own:
#   with-display.sh WIDTHxHEIGHTxDEPTH COMMAND [ARG...]
# Xvfb picks a display whose sockets are free itself (-displayfd), the
# sockets in the system-wide abstract namespace included, so it cannot take
# the number of a display started at the same time, here or in a clean root
# (xvfb-run -a looks only for lock files in this system's /tmp, and a
# server in a root has its lock file in the root's). The command's exit
# status is this script's.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 WIDTHxHEIGHTxDEPTH COMMAND [ARG...]" >&2; exit 2; }
screen=$1
shift
state=$(mktemp -d "${TMPDIR:-/tmp}/parlanta-display.XXXXXX")
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$state/display" 2>"$state/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$state"' EXIT
trap 'exit 143' TERM INT
for _ in $(seq 300); do
    [ -s "$state/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.1
done
[ -s "$state/display" ] || { cat "$state/xvfb.log" >&2; echo "with-display.sh: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n 1 "$state/display")" "$@" && status=0 || status=$?
exit "$status"
