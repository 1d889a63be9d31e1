#!/bin/bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for SECONDS seconds
# (default 60), starting from the committed seeds in fuzz/corpus/NAME. Every target runs
# even when an earlier one fails; the script exits non-zero on any crash, hang, leak or
# sanitizer finding, and the input that caused it is kept in build-fuzz/artifacts/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]        (targets: values calls ini pagestore options protocol)
set -euo pipefail

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(values calls ini pagestore options protocol)
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKAVEL_FUZZ=ON -DKAVEL_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
ninja -C "$build" -j2 "${targets[@]/#/fuzz_}"

# What each target needs beyond the common options: the longest input (files and streams
# are long, and reach that length at once rather than growing slowly), and a small
# allocation limit where an input of some KB must never need much memory.
declare -A extra=(
  [values]="-max_len=256"
  [calls]="-max_len=4096 -rss_limit_mb=3072"
  [ini]="-max_len=32768 -len_control=0 -malloc_limit_mb=64"
  [pagestore]="-max_len=65536 -len_control=0 -malloc_limit_mb=64"
  [options]="-max_len=4096"
  [protocol]="-max_len=8192 -malloc_limit_mb=256"
)

mkdir -p "$build/artifacts"
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
failed=()
for target in "${targets[@]}"; do
  # Inputs found go to a corpus under build-fuzz that later runs start from; the
  # committed seeds stay as they are.
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  dict=()
  [ -f "$root/fuzz/fuzz_$target.dict" ] && dict=(-dict="$root/fuzz/fuzz_$target.dict")
  echo "== fuzz_$target for ${seconds}s"
  # shellcheck disable=SC2086  # the extra options are words
  if ! "$build/fuzz/fuzz_$target" -timeout=25 -rss_limit_mb=2048 -detect_leaks=1 \
    -print_final_stats=1 ${extra[$target]} "${dict[@]}" -max_total_time="$seconds" \
    -artifact_prefix="$build/artifacts/$target-" "$corpus" "$root/fuzz/corpus/$target" \
    >"$build/fuzz-$target.log" 2>&1; then
    failed+=("$target")
    tail -n 60 "$build/fuzz-$target.log"
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$build/fuzz-$target.log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found something in: ${failed[*]} (inputs in $build/artifacts/, logs in $build/fuzz-*.log)"
  exit 1
fi
