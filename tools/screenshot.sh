#!/usr/bin/env bash
# Takes docs/images/window.png: the score window with the Change Pitches
# dialog open, on a virtual X server (xvfb-run, Debian package xvfb; install
# it with TONARO_WITH_SCREENSHOT=1 tools/deps.sh).
#
# Usage: tools/screenshot.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$here/build}"

if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is missing: install the Debian package xvfb" >&2
  exit 1
fi
if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DTONARO_BUILD_BENCH=OFF
fi
cmake --build "$build" -j2 --target tonaro_screenshot

# Fresh settings, so that the dialog shows its defaults and nothing of the
# user's own is read or written.
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT
mkdir -p "$here/docs/images"
XDG_CONFIG_HOME="$settings" HOME="$settings" QT_QPA_PLATFORM=xcb \
  xvfb-run --auto-servernum --server-args="-screen 0 1440x900x24" \
  "$build/bin/tonaro_screenshot" "$here/docs/images/window.png"
echo "Wrote $here/docs/images/window.png"
