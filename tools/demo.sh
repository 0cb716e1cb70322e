#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the main job.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

"$here/tools/deps.sh"
"$here/tools/build.sh"

echo
echo "Built everything into $here/build/bin."
echo "The host application does not exist yet; nothing more to run."
