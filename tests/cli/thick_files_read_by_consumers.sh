#!/usr/bin/env bash
# Converts the public samples that hold SOLID, TRACE, thick 2D polylines,
# thick lines, circles and arcs with --thickness (and once converted to
# metres) and has real consumers read the results: every drawing gives
# faces, POV-Ray renders each scene (mesh and mesh2) without a parse error,
# and assimp reads each OBJ with as many faces as the converter listed.
# Usage: thick_files_read_by_consumers.sh VERTOKO_CONVERT SAMPLES_DIR
set -uo pipefail
convert=$1
samples=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export HOME=$work

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

render() {
    local scene=$1
    local log=${scene%.pov}.log
    if ! povray +W32 +H24 -D -V +I"$scene" +O"${scene%.pov}.png" >"$log" 2>&1; then
        fail "povray exit status for $scene"
        tail -5 "$log"
    elif grep -q "Parse Error" "$log"; then
        fail "parse error in $scene"
    fi
}

# The polygons of the single object of a converter log.
polygons() { sed -n 's/^  #001：頂点数 = [0-9]*, ポリゴン数 = \([0-9]*\)$/\1/p'; }

# The strict reading, but for the 3DFACE of AutoCAD 2.6 given as X and Y
# only, which the lenient reading takes.
while read -r sample reading; do
    input=$samples/$sample
    name=$(basename "$sample")
    name=${name%.*}
    count=0
    for units in as-drawn m; do
        flags=(--thickness --units "$units" --pov-fit-camera $reading)
        if ! log=$("$convert" "${flags[@]}" "$input" -o "$name-$units.obj" 2>&1); then
            fail "conversion of $sample to OBJ ($units): $log"
            continue
        fi
        count=$(echo "$log" | polygons)
        [ -n "$count" ] && [ "$count" -gt 0 ] || { fail "$sample: no faces: $log"; continue; }
        faces=$(assimp info "$name-$units.obj" -r 2>&1 | sed -n 's/^Faces: *\([0-9]*\)$/\1/p')
        [ "$faces" = "$count" ] || fail "$name-$units.obj: assimp reads $faces faces, log says $count"
        for form in mesh mesh2; do
            form_flags=()
            [ "$form" = mesh2 ] && form_flags=(--pov-mesh2)
            scene=$name-$units-$form.pov
            "$convert" "${flags[@]}" "${form_flags[@]}" "$input" -o "$scene" >/dev/null 2>&1 ||
                { fail "conversion of $sample to $scene"; continue; }
            render "$scene"
        done
    done
    # Without the option the drawing reads as it always did: no more faces.
    before=$("$convert" "$input" --skip-unsupported 2>&1 | polygons)
    [ "${before:-0}" -lt "$count" ] || fail "$sample: $before faces before, $count with --thickness"
done <<LIST
ezdxf/POLI-ALL210_12.DXF
libdxf/all_R10_entities.dxf
libredwg/r11_entities-3d.dxf
libredwg/r2.6_entities.dxf --skip-unsupported
libredwg/example_r12.dxf
libredwg/example_2000.dxf
libredwg/example_2018.dxf
libredwg/2000_TS1.dxf
ezdxf/uncommon.dxf
LIST

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all thick drawings read back"
