#!/bin/bash
# Configures and builds Kavel into build/ (the program is build/kavel).
# Usage: scripts/build.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
ninja -C build -j"$(nproc)"
