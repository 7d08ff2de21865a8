#!/usr/bin/env bash
# Builds Vertoko and opens the bundled sample drawing in it. Where no display
# is available, converts the sample with vertoko-convert instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
sample=examples/house.dxf
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/app/vertoko "$sample"
fi
echo "No display found: converting $sample with vertoko-convert instead."
mkdir -p out
build/src/cli/vertoko-convert "$sample" -o out/house.obj
