#!/usr/bin/env bash
# Converts large height fields to OBJ with vertex cleaning at distance 0 and
# compares the time with assimp's export of the same drawing.
#
#   bench/convert_bench.sh [VERTOKO_CONVERT] [SIZES...]
#
# VERTOKO_CONVERT defaults to build/src/cli/vertoko-convert; SIZES to
# "300 1000" (cells per side). The drawings are generated into a temporary
# folder (BENCH_DIR to keep them elsewhere). For every size and shape (N x N
# four-corner 3DFACEs, and the same surface as one polyface mesh) it prints
# the file size, vertoko-convert's wall time and peak memory, assimp's wall
# time and the ratio. assimp is skipped above ASSIMP_MAX_SIZE cells per side
# (default 1000).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
convert=${1:-$here/../build/src/cli/vertoko-convert}
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(300 1000)
assimp_max=${ASSIMP_MAX_SIZE:-1000}

if [ ! -x "$convert" ]; then
    echo "vertoko-convert not found at $convert (build it first)" >&2
    exit 2
fi
work=${BENCH_DIR:-$(mktemp -d)}
mkdir -p "$work"
[ -z "${BENCH_DIR:-}" ] && trap 'rm -rf "$work"' EXIT

# run_timed LOG COMMAND...: runs the command under /usr/bin/time -v and
# prints "seconds peak_kib".
run_timed() {
    local log=$1
    shift
    /usr/bin/time -v "$@" >"$log.out" 2>"$log.time" || {
        echo "command failed: $*" >&2
        tail -5 "$log.out" "$log.time" >&2
        return 1
    }
    local wall peak
    wall=$(sed -n 's/^\s*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log.time")
    peak=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$log.time")
    # m:ss.ss or h:mm:ss to seconds
    awk -v t="$wall" -v p="$peak" 'BEGIN {
        n = split(t, part, ":"); s = 0
        for (i = 1; i <= n; i++) s = s * 60 + part[i]
        printf "%.2f %d\n", s, p }'
}

printf '%-6s %-6s %9s %10s %10s %10s %8s\n' size shape "file MB" "vertoko s" "peak MB" "assimp s" ratio
for n in "${sizes[@]}"; do
    for shape in faces mesh; do
        dxf=$work/height-$n-$shape.dxf
        [ -f "$dxf" ] || python3 "$here/make_height_field.py" "$n" "$shape" "$dxf"
        mb=$(awk -v b="$(stat -c %s "$dxf")" 'BEGIN {printf "%.1f", b / 1e6}')
        read -r ours peak < <(run_timed "$work/ours" "$convert" --clean --distance 0 "$dxf" -o "$work/ours.obj")
        peak_mb=$(awk -v k="$peak" 'BEGIN {printf "%.0f", k / 1024}')
        theirs=- ratio=-
        if command -v assimp >/dev/null && [ "$n" -le "$assimp_max" ]; then
            read -r theirs _ < <(run_timed "$work/assimp" assimp export "$dxf" "$work/assimp.obj")
            ratio=$(awk -v a="$theirs" -v b="$ours" 'BEGIN {if (b > 0) printf "%.1f", a / b; else print "inf"}')
        fi
        printf '%-6s %-6s %9s %10s %10s %10s %8s\n' "$n" "$shape" "$mb" "$ours" "$peak_mb" "$theirs" "$ratio"
        grep '頂点数' "$work/ours.out" | sed 's/^/       /'
    done
done
