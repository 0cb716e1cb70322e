#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   tools/test.sh              plain build
#   tools/test.sh --sanitize   under AddressSanitizer + UndefinedBehaviorSanitizer
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

"$here/tools/deps.sh"

dir="$here/build"
if [ "${1:-}" = "--sanitize" ]; then
  dir="$here/build-sanitize"
  export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0"
fi
"$here/tools/build.sh" "$@"

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 300
