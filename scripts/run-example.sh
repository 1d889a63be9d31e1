#!/bin/bash
# Sets everything up on a fresh Debian 12 machine and runs the main job: the embedded
# example task printed to PDF through the built-in PDF printer (out/example.pdf).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
mkdir -p out
build/kavel run --pdf out/example.pdf --png out/example-pages
