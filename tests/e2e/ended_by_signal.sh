#!/usr/bin/env bash
# The real demo program on a display of its own, ended by SIGTERM, SIGHUP and SIGINT once it
# lists its lines: each time it ends as Cancel does (exit status 0, not killed) and takes its
# UUCP lock file with it. What the printer receives is checked by the scenarios.
#   ended_by_signal.sh QUILLET_DEMO
set -euo pipefail
demo="$1"
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "no $tool"; exit 77; }
done
if [ -z "${DISPLAY_READY:-}" ]; then
  DISPLAY_READY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
# The exit status is what is looked at: under AddressSanitizer, what Qt's platform plugin
# leaves at exit must not change it.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# The lock files in the lock folder that hold this process ID.
locks_of() {
  grep -lsx " *$1" /run/lock/LCK..* /var/lock/LCK..* 2>/dev/null || true
}

# Waits up to 15 s for a window with that exact title; prints its id.
window_named() {
  for _ in $(seq 150); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window \"$1\"" >&2
  return 1
}

for signal in TERM HUP INT; do
  "$demo" &
  pid=$!
  ports=$(window_named "Select Serial Port")
  xdotool windowfocus --sync "$ports" key Return
  window_named Quillet >/dev/null
  # The lines are listed once the wait window has gone.
  for _ in $(seq 150); do
    xdotool search --name '^Wait\.\.\.$' >/dev/null 2>&1 || break
    sleep 0.1
  done
  [ -n "$(locks_of "$pid")" ] || { echo "SIG$signal: no lock file while the port is open"; exit 1; }
  kill -s "$signal" "$pid"
  status=0
  wait "$pid" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "SIG$signal: exit status $status"
    exit 1
  fi
  left=$(locks_of "$pid")
  if [ -n "$left" ]; then
    echo "SIG$signal: lock file left: $left"
    exit 1
  fi
  echo "SIG$signal: ended as Cancel does"
done
