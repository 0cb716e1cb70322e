#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the main job: the
# Change Pitches plug-in respells A# as Bb in the bundled example score.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

"$here/tools/deps.sh"
"$here/tools/build.sh"

out_dir="$here/build/demo"
mkdir -p "$out_dir"
out="$out_dir/serenade-changed.musicxml"

echo
echo "Respelling A# as Bb in examples/serenade.musicxml (sounding pitch, every staff):"
"$here/build/bin/tonaro" change-pitches "$here/examples/serenade.musicxml" -o "$out" \
  --from A# --to Bb --direction closest --settings-dir "$out_dir/settings"
echo
echo "The result was written to $out"
