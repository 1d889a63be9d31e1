#!/bin/bash
# Configures and builds Kavel into build/ (the program is build/kavel); the benchmarks
# build separately with bench/run.sh.
# Usage: scripts/build.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVEL_BENCH=OFF -DKAVEL_TESTS=ON "$@" >/dev/null
ninja -C build -j"$(nproc)"
