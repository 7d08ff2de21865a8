#!/usr/bin/env bash
# Times entities with thickness against plain faces: drawings of thick lines
# (walls) and thick circles (columns), read with --thickness at 32 segments
# per circle, against drawings of as many 3DFACEs at the same places. Each
# pair is read alone (the object list, no output) and converted to OBJ, with
# vertex cleaning at distance 0 as by default, and the time per face is
# printed side by side, wall clock and processor time (the machine may be
# shared; the processor time is the steadier): the lines alone, the circles
# alone, then both.
#
#   bench/thick_bench.sh [VERTOKO_CONVERT] [LINES] [CIRCLES]
#
# VERTOKO_CONVERT defaults to build/src/cli/vertoko-convert, LINES to
# 100000 and CIRCLES to 10000; run_timed comes from the bench folder of the
# same build (BENCH_BIN to name another). Every time is the best of REPEAT
# runs (default 5), the two drawings of a pair by turns.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
convert=${1:-$here/../build/src/cli/vertoko-convert}
lines=${2:-100000}
circles=${3:-10000}
repeat=${REPEAT:-5}
bench_bin=${BENCH_BIN:-$(cd "$(dirname "$convert")/../../bench" 2>/dev/null && pwd || echo "")}
if [ ! -x "$convert" ] || [ ! -x "$bench_bin/run_timed" ]; then
    echo "vertoko-convert or run_timed not found (build the converter and the bench folder)" >&2
    exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# seconds LOG COMMAND...: "wall cpu" of one run.
seconds() {
    local log=$1
    shift
    "$bench_bin/run_timed" 1 "$log.out" "$log.err" "$@" | awk '{print $1, $3}'
}
# least "WALL CPU" "WALL CPU": each the smaller.
least() {
    awk -v a="$1" -v b="$2" 'BEGIN {split(a, x, " "); split(b, y, " ");
        print (x[1] < y[1] ? x[1] : y[1]), (x[2] < y[2] ? x[2] : y[2])}'
}

printf 'Per face, best of %d: entities with thickness (--thickness) against 3DFACEs\n' "$repeat"
printf '%-28s %-5s %8s %8s %9s %9s %6s %9s %9s %6s\n' drawing run "thick MB" "face MB" \
    "thick us" "face us" ratio "thick cpu" "face cpu" ratio
for pair in "$lines 0" "0 $circles" "$lines $circles"; do
    read -r l c <<<"$pair"
    faces=$((l + 32 * c))
    python3 "$here/make_thick_drawing.py" "$l" "$c" thick "$work/thick.dxf"
    python3 "$here/make_thick_drawing.py" "$l" "$c" faces "$work/faces.dxf"
    declare -A best=([read-thick]="999 999" [read-faces]="999 999" [obj-thick]="999 999"
        [obj-faces]="999 999")
    for _ in $(seq "$repeat"); do
        for shape in thick faces; do
            flags=()
            [ "$shape" = thick ] && flags=(--thickness)
            t=$(seconds "$work/read-$shape" "$convert" "${flags[@]}" "$work/$shape.dxf")
            best[read-$shape]=$(least "$t" "${best[read-$shape]}")
            t=$(seconds "$work/obj-$shape" "$convert" "${flags[@]}" "$work/$shape.dxf" \
                -o "$work/$shape.obj")
            best[obj-$shape]=$(least "$t" "${best[obj-$shape]}")
        done
    done
    # Both drawings of the pair must have made the same faces.
    for shape in thick faces; do
        grep -q "ポリゴン数 = $faces\$" "$work/read-$shape.out" ||
            { echo "$shape: not $faces faces:"; cat "$work/read-$shape.out"; exit 1; } >&2
    done
    label="$l lines + $c circles"
    for run in read obj; do
        awk -v d="$label" -v r="$run" -v a="${best[$run-thick]}" -v b="${best[$run-faces]}" \
            -v sa="$(stat -c %s "$work/thick.dxf")" -v sb="$(stat -c %s "$work/faces.dxf")" \
            -v n="$faces" 'BEGIN {split(a, x, " "); split(b, y, " ");
                printf "%-28s %-5s %8.1f %8.1f %9.3f %9.3f %6.2f %9.3f %9.3f %6.2f\n",
                d, r, sa / 1e6, sb / 1e6, x[1] / n * 1e6, y[1] / n * 1e6, x[1] / y[1],
                x[2] / n * 1e6, y[2] / n * 1e6, x[2] / y[2]}'
    done
    unset best
done
