#!/usr/bin/env bash
# Runs a command on a virtual X server of its own (Xvfb, one 1600x1000
# screen, on a free display number) under the openbox window manager, then
# stops both, whatever the command did. The command is cut off after
# TONARO_WINDOW_TEST_TIMEOUT seconds (default 240).
#   withopenbox.sh COMMAND [ARGUMENTS...]
set -euo pipefail

for tool in Xvfb openbox xdotool xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "withopenbox.sh: $tool is missing; install the Debian packages xvfb, openbox, xdotool and x11-utils (tools/deps.sh)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
xvfb_pid=
openbox_pid=
stop() {
  # Only the two servers started here, by their process ids.
  if [ -n "$openbox_pid" ]; then kill "$openbox_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT

# Xvfb picks a free display and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  if [ -s "$work/display" ]; then break; fi
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then cat "$work/xvfb.log" >&2; exit 1; fi
  sleep 0.1
done
if [ ! -s "$work/display" ]; then echo "withopenbox.sh: Xvfb did not start" >&2; exit 1; fi
export DISPLAY=":$(head -n1 "$work/display")"

# openbox tells it is ready by running its start-up command.
XDG_CONFIG_HOME="$work" openbox --startup "touch $work/ready" >"$work/openbox.log" 2>&1 &
openbox_pid=$!
for _ in $(seq 100); do
  if [ -e "$work/ready" ]; then break; fi
  sleep 0.1
done
if [ ! -e "$work/ready" ]; then cat "$work/openbox.log" >&2; echo "withopenbox.sh: openbox did not start" >&2; exit 1; fi

export QT_QPA_PLATFORM=xcb
export NO_AT_BRIDGE=1
set +e
timeout --kill-after=10 "${TONARO_WINDOW_TEST_TIMEOUT:-240}" "$@"
status=$?
set -e
if [ "$status" -eq 124 ]; then echo "withopenbox.sh: timed out: $*" >&2; fi
exit "$status"
