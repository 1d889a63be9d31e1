#!/bin/bash
# Sets everything up and runs every test: the unit and whole-run tests against a local
# CUPS, the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer, and
# 40 seconds of fuzzing per target (KAVEL_FUZZ_SECONDS sets another time).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/cups-start.sh >/dev/null
scripts/build.sh

echo "== tests"
(cd build && ctest --output-on-failure -j2 --timeout 600)

echo "== tests with sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKAVEL_SANITIZE=ON -DKAVEL_BENCH=OFF >/dev/null
ninja -C build-asan -j"$(nproc)"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j2 --timeout 900)

echo "== fuzzing"
scripts/fuzz.sh "${KAVEL_FUZZ_SECONDS:-40}"
