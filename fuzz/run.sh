#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UBSan) and runs
# each for SECONDS seconds (default 60) on the test fixtures as seeds.
# Crashes are written to build-fuzz/<target>-crashes/ and make the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-60}
OUT=build-fuzz
mkdir -p "$OUT"
FLAGS="-std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -Ibase"
BASE_SOURCES=$(ls base/*.cpp)
status=0
# The decoders may allocate up to the picture size limit for a moment; a small
# quarantine keeps freed blocks from adding up to a false out-of-memory.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64}
for target in ${TARGETS:-fuzz_ric fuzz_script fuzz_picture}; do
  clang++ $FLAGS -o "$OUT/$target" "fuzz/$target.cpp" $BASE_SOURCES -lpng -ljpeg -lgif -lz
  corpus="$OUT/$target-corpus"
  mkdir -p "$corpus" "$OUT/$target-crashes"
  case $target in
    fuzz_ric) cp -n tests/data/*.ric "$corpus"/ 2>/dev/null || true ;;
    fuzz_script) cp -n tests/data/scripts/* "$corpus"/ 2>/dev/null || true ;;
    fuzz_picture) cp -n tests/data/pictures/*.* "$corpus"/ 2>/dev/null || true ;;
  esac
  echo "fuzz: $target for ${SECONDS_EACH}s"
  if ! "$OUT/$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -max_len=262144 \
       -artifact_prefix="$OUT/$target-crashes/" "$corpus" 2>"$OUT/$target.log"; then
    echo "fuzz: $target found a fault; see $OUT/$target.log and $OUT/$target-crashes/" >&2
    status=1
  fi
  tail -n 1 "$OUT/$target.log"
done
exit $status
