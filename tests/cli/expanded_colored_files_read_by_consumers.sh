#!/usr/bin/env bash
# Converts drawings with block expansion and drawing colours on and has real
# consumers read the results: POV-Ray renders the coloured scenes without a
# parse error, and assimp reads each OBJ with one material per colour of
# its library and as many faces as the converter listed polygons.
# Usage: expanded_colored_files_read_by_consumers.sh VERTOKO_CONVERT SAMPLES_DIR
# Exits 77 (skipped) while the converter has no option for the two features.
set -uo pipefail
convert=$1
samples=$2

"$convert" --help 2>&1 | grep -q -- '--expand-inserts' || exit 77
"$convert" --help 2>&1 | grep -q -- '--drawing-colors' || exit 77

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export HOME=$work

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A block of one red, one BYBLOCK and one BYLAYER face, inserted three
# times: plain, in colour 5 and rotated on layer GREEN (colour 3 in the
# LAYER table). Colours: red, white, blue, green.
pairs() { printf '%s\n' "$@"; }
face() { pairs 0 3DFACE 8 "$1" 62 "$2" 10 "$3" 20 0 30 0 11 "$(($3 + 1))" 21 0 31 0 12 "$3" 22 1 32 0; }
{
    pairs 0 SECTION 2 TABLES 0 TABLE 2 LAYER 0 LAYER 2 GREEN 70 0 62 3 0 ENDTAB 0 ENDSEC
    pairs 0 SECTION 2 BLOCKS 0 BLOCK 8 0 2 TRIO 70 0 10 0 20 0 30 0 3 TRIO
    face 0 1 0
    face 0 0 2
    face 0 256 4
    pairs 0 ENDBLK 8 0 0 ENDSEC 0 SECTION 2 ENTITIES
    pairs 0 INSERT 8 0 2 TRIO 10 0 20 0 30 0
    pairs 0 INSERT 8 0 2 TRIO 62 5 10 0 20 5 30 0
    pairs 0 INSERT 8 GREEN 2 TRIO 50 90 10 0 20 10 30 0
    pairs 0 ENDSEC 0 EOF
} >trio.dxf

render() {
    local scene=$1
    if ! povray +W16 +H16 -D -V +I"$scene" +O"${scene%.pov}.png" >"${scene%.pov}.log" 2>&1; then
        fail "povray exit status for $scene"
        tail -5 "${scene%.pov}.log"
    elif grep -q "Parse Error" "${scene%.pov}.log"; then
        fail "parse error in $scene"
    fi
}

# check_obj FILE POLYGONS MATERIALS
check_obj() {
    local file=$1 polygons=$2 materials=$3 info
    if ! info=$(assimp info "$file" -r 2>&1); then
        fail "assimp could not read $file"
        return
    fi
    local faces read
    faces=$(echo "$info" | sed -n 's/^Faces: *\([0-9]*\)$/\1/p')
    # Read raw, assimp adds its default material; processed, it drops it
    # when no face uses it.
    read=$(assimp info "$file" 2>&1 | sed -n 's/^Materials: *\([0-9]*\)$/\1/p')
    [ "$faces" = "$polygons" ] || fail "$file: assimp reads $faces faces, log says $polygons"
    [ "$read" = "$materials" ] || fail "$file: assimp reads $read materials, expected $materials"
}

options=(--expand-inserts --drawing-colors)
# input, polygons of the single object, colours
while read -r input polygons colors; do
    name=$(basename "$input" .dxf)
    "$convert" "${options[@]}" "$input" -o "$name.pov" >/dev/null 2>&1 ||
        { fail "conversion of $input to POV-Ray"; continue; }
    render "$name.pov"
    "$convert" "${options[@]}" --pov-mesh2 "$input" -o "$name-mesh2.pov" >/dev/null 2>&1 ||
        { fail "conversion of $input to POV-Ray mesh2"; continue; }
    render "$name-mesh2.pov"
    if ! log=$("$convert" "${options[@]}" "$input" -o "$name.obj" 2>/dev/null); then
        fail "conversion of $input to OBJ"
        continue
    fi
    echo "$log" | grep -q "ポリゴン数 = $polygons\$" || fail "$input: not $polygons polygons: $log"
    [ "$(grep -c '^newmtl ' "$name.mtl")" = "$colors" ] || fail "$name.mtl: not $colors materials"
    check_obj "$name.obj" "$polygons" "$colors"
done <<LIST
trio.dxf 9 4
$samples/assimp/wuson.dxf 3732 1
$samples/libredwg/example_2000.dxf 4 2
LIST

# Several objects: the numbered files share one library.
"$convert" "${options[@]}" --multi trio.dxf -o multi.obj >/dev/null 2>&1 || fail "multi-object OBJ"
for file in multi001.obj multi002.obj multi003.obj; do
    [ -f "$file" ] && head -1 "$file" | grep -q '^mtllib multi.mtl' || fail "$file: no shared library"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all expanded and coloured files read back"
