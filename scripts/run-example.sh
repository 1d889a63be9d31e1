#!/bin/bash
# Sets everything up on a fresh Debian 12 machine and runs the main job: the embedded
# example task printed to PDF through the built-in PDF printer (out/example.pdf), with its
# pages as pictures in out/example-pages/. Only the program is built, not the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --main
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVEL_BENCH=OFF -DKAVEL_TESTS=OFF >/dev/null
ninja -C build -j"$(nproc)" kavel
mkdir -p out
build/kavel run --pdf out/example.pdf --png out/example-pages
