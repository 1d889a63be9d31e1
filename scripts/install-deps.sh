#!/bin/bash
# Installs the Debian packages that Kavel needs. Idempotent: packages already present are
# left alone, and apt is asked only when something is missing.
#   scripts/install-deps.sh          everything: building, running, testing, fuzzing
#   scripts/install-deps.sh --main   only what building and running the program needs
set -euo pipefail

MAIN=(
  # toolchain
  build-essential cmake ninja-build pkg-config
  # Qt 6: widgets, print support, script engine
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev libgl-dev qt6-image-formats-plugins
  # pages keep Qt's shaped text items (glyphs with their characters, Qt's private text
  # layout); page records are checked with zlib's CRC-32
  qt6-base-private-dev zlib1g-dev
  # the local print service for web pages: WebSocket server
  qt6-websockets-dev
  # printing: the CUPS client library
  libcups2-dev
  # the PDF writer: cairo's PDF surface over FreeType faces
  libcairo2-dev libfreetype-dev libharfbuzz-dev
  # fonts with the metrics of the families that web pages name
  fonts-noto-cjk fonts-liberation2 fonts-dejavu-core fontconfig
  # the browser engine that lays out HTML items (headless, over its debugging pipe)
  chromium
)
TESTS=(
  # fuzzing, sanitizers, formatting
  clang clang-format libclang-rt-14-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # printing for real: CUPS server and tools, filters for PDF queues, a fake network printer
  cups cups-client cups-bsd cups-filters socat
  # reading the documents that printing produces
  poppler-utils
  # a display for window tests and screenshots
  xvfb xauth xdotool
)

PACKAGES=("${MAIN[@]}")
[ "${1:-}" = "--main" ] || PACKAGES+=("${TESTS[@]}")

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
