#!/bin/bash
# Installs every Debian package that building, testing and running Kavel needs.
# Idempotent: packages already present are left alone.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build clang clang-format libclang-rt-14-dev pkg-config
  # Qt 6: widgets, print support, script engine, tools
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev libgl-dev qt6-image-formats-plugins
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # printing: CUPS server and client, filters for PDF queues, a fake network printer
  cups cups-client cups-bsd cups-filters libcups2-dev socat
  # reading the documents that printing produces
  poppler-utils
  # fonts with the metrics of the families that web pages name
  fonts-noto-cjk fonts-liberation2 fonts-dejavu-core fontconfig
  # a display for window tests and screenshots
  xvfb xauth xdotool
  # regular expressions
  libpcre2-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
