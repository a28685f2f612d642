#!/usr/bin/env bash
# Runs the screen reader walk on a display and a session bus of its own; the bus starts the
# accessibility bus and its registry when the walk first asks for them.
set -euo pipefail
here="$(dirname "$0")"
exec xvfb-run -a -s "-screen 0 1024x768x24" \
  dbus-run-session -- /usr/bin/python3 "$here/screen_reader_walk.py" "$@"
