#!/usr/bin/env bash
# Draws the README's before/after pictures of a respelled passage with
# `tonaro render`: docs/images/lament.musicxml as written, and after
# `tonaro change-pitches --from A# --to Bb`.
#
# Usage: tools/pictures.sh [BUILD_DIR]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$here/build}"
cmake --build "$build" -j2 --target tonaro zpchangepitches

images="$here/docs/images"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work" HOME="$work"
"$build/bin/tonaro" render "$images/lament.musicxml" -o "$images/lament-before.png" --width 760
"$build/bin/tonaro" change-pitches "$images/lament.musicxml" -o "$work/after.musicxml" --from A# --to Bb \
  --settings-dir "$work"
"$build/bin/tonaro" render "$work/after.musicxml" -o "$images/lament-after.png" --width 760
