#!/usr/bin/env bash
# Converts sample drawings with vertoko-convert and has real consumers read
# the results: POV-Ray renders every scene at 16 x 16 pixels without a parse
# error, and assimp reads every OBJ file with as many faces as the converter
# listed polygons and as many corners as the file's face lines hold. With the
# render-ready options, the mesh2 form renders the same pixels as the mesh
# form, framed scenes render, and assimp finds a normal for every corner of
# an OBJ file with normals.
# Usage: converted_files_read_by_consumers.sh VERTOKO_CONVERT SAMPLES_DIR
set -uo pipefail
convert=$1
samples=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export HOME=$work  # POV-Ray keeps its user settings under the home folder

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# Prints "vertices polygons" for each object line of the converter's log.
object_counts() {
    sed -n 's/^  #[0-9]*：頂点数 = \([0-9]*\), ポリゴン数 = \([0-9]*\)$/\1 \2/p'
}

render() {
    local scene=$1
    local log=${scene%.pov}.log
    if ! povray +W16 +H16 -D -V +I"$scene" +O"${scene%.pov}.png" >"$log" 2>&1; then
        fail "povray exit status for $scene"
        tail -5 "$log"
    elif grep -q "Parse Error" "$log"; then
        fail "parse error in $scene"
        grep "Parse Error" "$log"
    fi
}

# check_obj FILE VERTICES POLYGONS
check_obj() {
    local file=$1 vertices=$2 polygons=$3
    local info faces corners vlines
    if ! info=$(assimp info "$file" -r 2>&1); then
        fail "assimp could not read $file"
        return
    fi
    faces=$(echo "$info" | sed -n 's/^Faces: *\([0-9]*\)$/\1/p')
    corners=$(echo "$info" | sed -n 's/^Vertices: *\([0-9]*\)$/\1/p')
    vlines=$(grep -c '^v ' "$file")
    local counted
    counted=$(awk '/^f /{n += NF - 1} END {print n + 0}' "$file")
    [ "$vlines" = "$vertices" ] || fail "$file: $vlines vertex lines, log says $vertices"
    [ "$faces" = "$polygons" ] || fail "$file: assimp reads $faces faces, log says $polygons"
    [ "$corners" = "$counted" ] || fail "$file: assimp reads $corners corners, the face lines hold $counted"
}

for sample in assimp/PinkEggFromLW.dxf assimp/issue_2229.dxf assimp/wuson.dxf ezdxf/3dface.dxf \
    libdxf/zcad-teapot_R2000.dxf libdxf/blender-monkey_head_example_R12.dxf libredwg/2000_PolyLine3D.dxf; do
    input=$samples/$sample
    name=$(basename "$sample" .dxf)
    for mode in single multi; do
        flags=()
        [ "$mode" = multi ] && flags=(--multi)
        for smooth in --pov-smooth --no-pov-smooth; do
            scene=$name-$mode$smooth.pov
            "$convert" "${flags[@]}" "$input" -o "$scene" "$smooth" >/dev/null 2>&1 ||
                { fail "conversion of $sample to $scene"; continue; }
            render "$scene"
        done

        if ! log=$("$convert" "${flags[@]}" "$input" -o "$name-$mode.obj" 2>/dev/null); then
            fail "conversion of $sample to OBJ ($mode)"
            continue
        fi
        mapfile -t counts < <(echo "$log" | object_counts)
        if [ "${#counts[@]}" -eq 1 ]; then
            read -r v p <<<"${counts[0]}"
            [ "$p" -gt 0 ] && check_obj "$name-$mode.obj" "$v" "$p"
        else
            for i in "${!counts[@]}"; do
                read -r v p <<<"${counts[$i]}"
                file=$(printf '%s-%s%03d.obj' "$name" "$mode" $((i + 1)))
                [ -f "$file" ] || { fail "missing $file"; continue; }
                [ "$p" -gt 0 ] && check_obj "$file" "$v" "$p"
            done
        fi
    done
done

# The render-ready options.
# same_pixels A.png B.png: the decoded image data agree (the files differ in
# their text chunks).
same_pixels() {
    /usr/bin/python3 - "$1" "$2" <<'PY'
import struct, sys, zlib
def pixels(path):
    data = open(path, "rb").read()
    at, header, chunks = 8, b"", []
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            chunks.append(body)
        at += 12 + length
    return header, zlib.decompress(b"".join(chunks))
sys.exit(0 if pixels(sys.argv[1]) == pixels(sys.argv[2]) else 1)
PY
}

# check_obj_normals FILE: every corner of every face line names a normal
# and assimp reads one normal per corner.
check_obj_normals() {
    local file=$1 counted bare dumped
    counted=$(awk '/^f /{n += NF - 1} END {print n + 0}' "$file")
    bare=$(awk '/^f / && NF > 3 {for (i = 2; i <= NF; i++) if ($i !~ /\/\//) n++} END {print n + 0}' "$file")
    [ "$bare" = 0 ] || fail "$file: $bare face corners without a normal"
    if ! assimp dump "$file" "${file%.obj}.assxml" >/dev/null 2>&1; then
        fail "assimp could not read $file"
        return
    fi
    dumped=$(sed -n 's/.*<Normals num="\([0-9]*\)".*/\1/p' "${file%.obj}.assxml" | awk '{n += $1} END {print n + 0}')
    [ "$dumped" = "$counted" ] || fail "$file: assimp reads $dumped normals for $counted corners"
}

for sample in assimp/PinkEggFromLW.dxf assimp/wuson.dxf assimp/issue_2229.dxf \
    libdxf/zcad-teapot_R2000.dxf libdxf/blender-monkey_head_example_R12.dxf; do
    input=$samples/$sample
    name=$(basename "$sample" .dxf)
    for variant in plain creased; do
        flags=()
        [ "$variant" = creased ] && flags=(--orient-faces --crease-angle 60)
        for form in mesh mesh2; do
            form_flags=()
            [ "$form" = mesh2 ] && form_flags=(--pov-mesh2)
            scene=$name-$variant-$form.pov
            "$convert" "${flags[@]}" "${form_flags[@]}" "$input" -o "$scene" >/dev/null 2>&1 ||
                { fail "conversion of $sample to $scene"; continue 2; }
            povray +W32 +H24 -D -V +I"$scene" +O"${scene%.pov}.png" >"${scene%.pov}.log" 2>&1 ||
                fail "povray exit status for $scene"
        done
        same_pixels "$name-$variant-mesh.png" "$name-$variant-mesh2.png" ||
            fail "$name ($variant): mesh2 renders other pixels than mesh"
    done
    scene=$name-framed.pov
    if "$convert" --orient-faces --crease-angle 60 --pov-mesh2 --pov-fit-camera --multi "$input" \
        -o "$scene" >/dev/null 2>&1; then
        render "$scene"
    else
        fail "conversion of $sample to $scene"
    fi
    for multi in "" --multi; do
        out=$name-normals${multi:+-multi}.obj
        "$convert" $multi --crease-angle 60 --obj-normals "$input" -o "$out" >/dev/null 2>&1 ||
            { fail "conversion of $sample to $out"; continue; }
        for file in "${out%.obj}".obj "${out%.obj}"[0-9][0-9][0-9].obj; do
            [ -f "$file" ] && check_obj_normals "$file"
        done
    done
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all converted files read back"
