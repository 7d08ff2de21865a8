#!/usr/bin/env bash
# Times vertoko-convert on large generated height fields side by side with
# assimp's export of the same drawings, and the reader and writers alone.
#
#   bench/convert_bench.sh [VERTOKO_CONVERT] [SIZES...]
#
# VERTOKO_CONVERT defaults to build/src/cli/vertoko-convert; reader_bench,
# writer_bench and run_timed are taken from the bench folder of the same
# build (BENCH_BIN to name another). SIZES defaults to "300 1000" (cells
# per side). The drawings are generated into a temporary folder (BENCH_DIR
# to keep them elsewhere). Every time is the best of REPEAT runs (default
# 5), assimp's of ASSIMP_REPEAT (default 2), each after one untimed run.
# assimp is skipped above ASSIMP_MAX_SIZE cells per side (default 1000).
#
# Printed:
#  1. For every size and shape (N x N four-corner 3DFACEs, the same surface
#     as one polyface mesh): the file size, the OBJ conversion with vertex
#     cleaning at distance 0 (wall time and peak memory), assimp's export
#     and the ratio.
#  2. The reader alone on the largest 3DFACE drawing, in MB/s.
#  3. The same drawing to a smoothed POV-Ray scene: the whole conversion
#     against the OBJ conversion, and the writers' output rate.
#  4. Multi-object mode on that surface spread over 10,000 distinct layer and
#     colour pairs, against single-object mode on the same file (reading
#     and cleaning, no output), per face; the two modes run by turns.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
convert=${1:-$here/../build/src/cli/vertoko-convert}
shift || true
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(300 1000)
assimp_max=${ASSIMP_MAX_SIZE:-1000}
repeat=${REPEAT:-5}
assimp_repeat=${ASSIMP_REPEAT:-2}

if [ ! -x "$convert" ]; then
    echo "vertoko-convert not found at $convert (build it first)" >&2
    exit 2
fi
bench_bin=${BENCH_BIN:-$(cd "$(dirname "$convert")/../../bench" 2>/dev/null && pwd || echo "")}
if [ ! -x "$bench_bin/run_timed" ]; then
    echo "run_timed not found in $bench_bin (build the bench folder first)" >&2
    exit 2
fi
work=${BENCH_DIR:-$(mktemp -d)}
mkdir -p "$work"
[ -z "${BENCH_DIR:-}" ] && trap 'rm -rf "$work"' EXIT

# run_timed LOG COMMAND...: runs the command REPEAT times and prints
# "seconds peak_kib cpu_seconds" of the fastest run (processor time: user
# and system, of all threads), with its output in LOG.out and LOG.err. The
# bench folder's run_timed takes the times right around the child, so that
# no timing program or shell is counted with a run of a few milliseconds.
run_timed() {
    local log=$1
    shift
    "$bench_bin/run_timed" "$repeat" "$log.out" "$log.err" "$@" || {
        echo "command failed: $*" >&2
        tail -5 "$log.out" "$log.err" >&2
        return 1
    }
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.1f", a / b; else print "inf"}'; }

drawing() {  # drawing N SHAPE: the path of the generated drawing
    local dxf=$work/height-$1-$2.dxf
    [ -f "$dxf" ] || python3 "$here/make_height_field.py" "$1" "$2" "$dxf"
    echo "$dxf"
}

echo "OBJ with vertex cleaning at distance 0 (best of $repeat)"
printf '%-6s %-6s %9s %10s %8s %10s %10s %8s\n' size shape "file MB" "vertoko s" "cpu s" "peak MB" "assimp s" ratio
largest=""
largest_obj=""
for n in "${sizes[@]}"; do
    for shape in faces mesh; do
        dxf=$(drawing "$n" "$shape")
        mb=$(awk -v b="$(stat -c %s "$dxf")" 'BEGIN {printf "%.1f", b / 1e6}')
        read -r ours peak cpu < <(run_timed "$work/ours" "$convert" --clean --distance 0 "$dxf" -o "$work/ours.obj")
        peak_mb=$(awk -v k="$peak" 'BEGIN {printf "%.0f", k / 1024}')
        theirs=- rate=-
        if command -v assimp >/dev/null && [ "$n" -le "$assimp_max" ]; then
            read -r theirs _ < <(repeat=$assimp_repeat run_timed "$work/assimp" assimp export "$dxf" "$work/assimp.obj")
            rate=$(ratio "$theirs" "$ours")
        fi
        printf '%-6s %-6s %9s %10s %8s %10s %10s %8s\n' "$n" "$shape" "$mb" "$ours" "$cpu" "$peak_mb" "$theirs" "$rate"
        grep '頂点数' "$work/ours.out" | sed 's/^/       /'
        if [ "$shape" = faces ]; then
            largest=$dxf
            largest_n=$n
            largest_obj=$ours
            largest_cpu=$cpu
        fi
    done
done

echo
if [ -x "$bench_bin/reader_bench" ]; then
    best=0
    for ((i = 0; i < repeat; i++)); do
        line=$("$bench_bin/reader_bench" "$largest" | tail -1)
        rate=$(echo "$line" | sed -n 's/.*s: \([0-9.]*\) MB\/s (processor.*/\1/p')
        cpu_rate=$(echo "$line" | sed -n 's/.*processor time .* s: \([0-9.]*\) MB\/s.*/\1/p')
        best=$(awk -v a="$rate" -v b="$best" 'BEGIN {print (a > b ? a : b)}')
        best_cpu=$(awk -v a="$cpu_rate" -v b="${best_cpu:-0}" 'BEGIN {print (a > b ? a : b)}')
    done
    echo "reader alone, $largest_n x $largest_n 3DFACEs: $best MB/s, $best_cpu MB/s of processor time (best of $repeat)"
else
    echo "reader_bench not found in $bench_bin"
fi

echo
read -r pov _ pov_cpu < <(run_timed "$work/pov" "$convert" --clean --distance 0 --pov-smooth "$largest" -o "$work/ours.pov")
echo "POV-Ray with smoothing, $largest_n x $largest_n: $pov s, $(ratio "$pov" "$largest_obj") times the OBJ conversion ($largest_obj s); processor time $pov_cpu s against $largest_cpu s"
if [ -x "$bench_bin/writer_bench" ]; then
    best_obj=0 best_pov=0
    for ((i = 0; i < repeat; i++)); do
        "$bench_bin/writer_bench" "$largest" "$work" >"$work/writer.out" 2>"$work/writer.err"
        best_obj=$(awk -v b="$best_obj" '/^obj/ {print ($6 > b ? $6 : b)}' "$work/writer.out")
        best_pov=$(awk -v b="$best_pov" '/^pov/ {print ($6 > b ? $6 : b)}' "$work/writer.out")
        pov_line=$(grep '^pov' "$work/writer.out")
        sizes_text=$(awk '/^obj|^pov/ {printf "%s %s MB  ", $1, $2}' "$work/writer.out")
    done
    echo "writers alone: OBJ $best_obj MB/s, POV-Ray $best_pov MB/s ($sizes_text; last POV-Ray run: $pov_line)"
fi

echo
layers=$(drawing "$largest_n" layers)
faces=$((largest_n * largest_n))
# The two modes by turns, so that a change in the machine's speed during the
# runs (it is shared) falls on both alike.
single="" multi=""
for ((turn = 0; turn < repeat; turn++)); do
    read -r s _ s_cpu < <(repeat=1 run_timed "$work/single" "$convert" --clean --distance 0 --no-multi "$layers")
    read -r m _ m_cpu < <(repeat=1 run_timed "$work/multi" "$convert" --clean --distance 0 --multi "$layers")
    if [ -z "$single" ] || awk -v a="$s" -v b="$single" 'BEGIN {exit !(a < b)}'; then single=$s single_cpu=$s_cpu; fi
    if [ -z "$multi" ] || awk -v a="$m" -v b="$multi" 'BEGIN {exit !(a < b)}'; then multi=$m multi_cpu=$m_cpu; fi
done
objects=$(sed -n 's/^Object数：//p' "$work/multi.out")
awk -v s="$single" -v m="$multi" -v f="$faces" -v o="$objects" -v sc="$single_cpu" -v mc="$multi_cpu" 'BEGIN {
    printf "multi-object mode, %s objects: %.3f s, %.3f us per face; single-object mode %.3f s, %.3f us per face; ratio %.2f (processor time %.3f s against %.3f s, ratio %.2f)\n",
        o, m, m / f * 1e6, s, s / f * 1e6, m / s, mc, sc, mc / sc }'
