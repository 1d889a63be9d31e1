#!/bin/bash
# Builds the value fuzzer with clang and runs it for SECONDS seconds (default 60), starting
# from the committed seeds in fuzz/corpus/values. Exits non-zero on any crash, leak or
# sanitizer finding; the input that caused it is kept in build-fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKAVEL_FUZZ=ON -DKAVEL_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j2 fuzz_values

# Inputs found during the run go to a scratch folder; the committed seeds stay as they are.
found="$(mktemp -d)"
trap 'rm -rf "$found"' EXIT
mkdir -p "$build/artifacts"

"$build/fuzz/fuzz_values" -max_len=256 -max_total_time="$seconds" -timeout=10 \
  -rss_limit_mb=2048 -detect_leaks=1 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/" "$found" "$root/fuzz/corpus/values"
