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
  status=0
  build/src/app/vertoko "$sample" || status=$?
  # vertoko ends at once with 1 when another instance of it is running.
  if [ "$status" -eq 1 ]; then
    echo "Vertoko is already running: close it first, then run this again." >&2
  fi
  exit "$status"
fi
echo "No display found: converting $sample with vertoko-convert instead."
mkdir -p out
build/src/cli/vertoko-convert "$sample" -o out/house.obj
echo "Wrote out/house.obj."
