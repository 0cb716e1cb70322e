#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each of them.
#   tools/fuzz.sh [--short] [--time SECONDS] [--runs N] [TARGET...]
# --short (CI) runs each target from its seeds alone with a fixed random
# seed for 40,000 executions or 45 seconds, whichever comes first, so that
# a short run here tries the same inputs as CI's (a slower machine stops
# earlier, at the same inputs); the default is 300 seconds.
# --runs N stops each target after N executions instead (still bounded by
# the time). Without TARGET names every target runs, one after another, each
# as a single process (one fuzzing job at a time).
# Working corpora live in build-fuzz/corpus/<target>, seeded from fuzz/seeds
# and the MusicXML suite; inputs that crash are kept in
# build-fuzz/findings/<target>. Exits non-zero when any target found one.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="$here/build-fuzz"

seconds=300
short=0
runs=-1
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --short) seconds=45; runs=40000; short=1 ;;
    --time) seconds="$2"; shift ;;
    --runs) runs="$2"; shift ;;
    -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
    *) targets+=("$1") ;;
  esac
  shift
done
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_measurement fuzz_pitchname fuzz_settings fuzz_musicxml fuzz_mxl)
fi

TONARO_WITH_FUZZ=1 "$here/tools/deps.sh"

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
  -DTONARO_BUILD_FUZZ=ON -DTONARO_BUILD_TESTS=OFF -DTONARO_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}" fuzz_mxlseeds

suite="$here/tests/data/musicxml-suite"
failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  if [ "$short" = 1 ]; then corpus="$build/corpus-short/$target"; rm -rf "$corpus"; fi
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  seeds=()
  case "$target" in
    fuzz_musicxml)
      seeds=("$suite")
      ;;
    fuzz_mxl)
      # Small archives written by the engine, and the suite's own archive.
      "$build/bin/fuzz_mxlseeds" "$suite" "$build/seeds/fuzz_mxl" >/dev/null
      cp -f "$suite"/*.mxl "$build/seeds/fuzz_mxl/" 2>/dev/null || true
      seeds=("$build/seeds/fuzz_mxl" "$here/fuzz/seeds/mxl")
      ;;
    *)
      seeds=("$here/fuzz/seeds/${target#fuzz_}")
      ;;
  esac
  if [ -d "$here/fuzz/regressions/$target" ]; then seeds+=("$here/fuzz/regressions/$target"); fi
  extra=()
  if [ "$short" = 1 ]; then extra+=(-seed=1); fi
  case "$target" in
    fuzz_musicxml|fuzz_mxl) extra+=(-dict="$here/fuzz/musicxml.dict" -max_len=65536 -rss_limit_mb=3072) ;;
  esac

  # Findings of earlier runs stay where they are; only new ones count.
  before=$(find "$findings" -maxdepth 1 -type f | wc -l)
  echo "== $target: ${seconds}s"
  log="$build/$target.log"
  set +e
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/bin/$target" "$corpus" "${seeds[@]}" \
    -max_total_time="$seconds" -runs="$runs" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$findings/" "${extra[@]}" >"$log" 2>&1
  status=$?
  set -e
  grep -E "^(stat::number_of_executed_units|SUMMARY|fuzz invariant)" "$log" || true
  after=$(find "$findings" -maxdepth 1 -type f | wc -l)
  if [ "$status" -ne 0 ] || [ "$after" -gt "$before" ]; then
    echo "!! $target found a fault; inputs in $findings, log in $build/$target.log"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Findings in: ${failed[*]}"
  exit 1
fi
echo "No findings."
