#!/usr/bin/env bash
# Configures and builds into a build folder.
#   tools/build.sh [--sanitize] [extra cmake arguments]
# The build folder is build/ (build-sanitize/ with --sanitize).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

dir="$here/build"
args=()
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir="$here/build-sanitize"
  args+=(-DTONARO_SANITIZE=ON -DTONARO_BUILD_BENCH=OFF)
fi

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi

cmake -S "$here" -B "$dir" "${generator[@]}" "${args[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
