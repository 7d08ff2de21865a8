#!/usr/bin/env bash
# Builds the optimised and the sanitizer configuration, runs every test in
# both (under a virtual X server for the preview tests), then fuzzes the
# DXF reader for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset default
cmake --build --preset default
cmake --preset asan
cmake --build --preset asan

xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset default
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset asan

if [ -f fuzz/CMakeLists.txt ] && grep -q add_executable fuzz/CMakeLists.txt; then
  cmake --preset fuzz
  cmake --build --preset fuzz --target dxf_reader_fuzzer
  scripts/fuzz.sh "${VERTOKO_FUZZ_SECONDS:-60}"
fi
scripts/package-test.sh
echo "All tests passed."
