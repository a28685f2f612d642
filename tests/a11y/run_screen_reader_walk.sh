#!/usr/bin/env bash
# Runs the screen reader walk on a display and a session bus of its own; the bus starts the
# accessibility bus and its registry when the walk first asks for them.
set -euo pipefail
here="$(dirname "$0")"
fifo="$(mktemp -u)"
mkfifo "$fifo"
# -displayfd: the server picks a free display and names it, so parallel tests never share one.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r display <"$fifo"
export DISPLAY=":$display"
dbus-run-session -- /usr/bin/python3 "$here/screen_reader_walk.py" "$@"
