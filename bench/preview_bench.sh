#!/bin/sh
# Frames per second of the preview while dragged, for height fields of
# 360,000 and 1,000,000 faces, under Xvfb with Mesa's software renderer
# (llvmpipe), as in a virtual machine or a remote desktop.
#
#   bench/preview_bench.sh [build/bench/preview_bench]
#   bench/preview_bench.sh --smoke PREVIEW_BENCH   a small field on the current
#                                                  display, for the tests
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

if [ "${1:-}" = "--smoke" ]; then
    /usr/bin/python3 "$here/make_height_field.py" 60 faces "$work/small.dxf"
    "$2" "$work/small.dxf" 0.2
    exit 0
fi

bench=${1:-$here/../build/bench/preview_bench}
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe QT_QPA_PLATFORM=xcb
for n in 600 1000; do
    /usr/bin/python3 "$here/make_height_field.py" "$n" faces "$work/field$n.dxf"
    echo "== height field $n x $n"
    xvfb-run -a -s "-screen 0 1280x1024x24" "$bench" "$work/field$n.dxf" 3
    rm -f "$work/field$n.dxf"
done
