#!/usr/bin/env bash
# Converts a drawing written by ezdxf, with boxes on the layers "Window
# glass", "金物 metal" and "壁" (colour 8) and one on layer 0, using the shipped
# materials file, and has real consumers read the results: POV-Ray renders
# the scene (mesh and mesh2) without a parse error and every face takes the
# texture its layer names, assimp reads the OBJ materials with the file's
# values and the faces per material that ezdxf counts per layer. A copy of
# the file with a bad line is reported with that line's number and the other
# lines still apply. With --layer-names the OBJ groups and objects and the
# POV-Ray comments carry the layers' names as ezdxf reads them.
# Usage: layer_materials_read_by_consumers.sh VERTOKO_CONVERT EXAMPLES_DIR
set -uo pipefail
convert=$1
examples=$2
python=/usr/bin/python3

"$python" -c 'import ezdxf' 2>/dev/null || { echo "no ezdxf for $python"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export HOME=$work

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The drawing, and what ezdxf itself reads back from it: the faces on each
# layer, one "count<TAB>layer" line per layer.
"$python" - <<'PY' || { echo "FAIL: ezdxf could not write the drawing"; exit 1; }
import ezdxf
doc = ezdxf.new("R2018")
doc.layers.add("Window glass", color=4)
doc.layers.add("金物 metal", color=1)
doc.layers.add("壁", color=8)
msp = doc.modelspace()
def box(x0, x1, layer, **attribs):
    c = [(x, y, z) for z in (0, 1) for y in (0, 1) for x in (x0, x1)]
    for f in ((0, 2, 3, 1), (4, 5, 7, 6), (0, 1, 5, 4), (2, 6, 7, 3), (0, 4, 6, 2), (1, 3, 7, 5)):
        msp.add_3dface([c[i] for i in f], dxfattribs=dict(layer=layer, **attribs))
box(0, 1, "Window glass")
box(1.5, 2.5, "金物 metal")
box(3, 4, "壁")
box(4.5, 5.5, "0", color=5)
doc.saveas("layers.dxf")
back = ezdxf.readfile("layers.dxf")
counts = {}
for e in back.modelspace().query("3DFACE"):
    counts[e.dxf.layer] = counts.get(e.dxf.layer, 0) + 1
with open("counts.txt", "w", encoding="utf-8") as out:
    for layer, n in counts.items():
        out.write(f"{n}\t{layer}\n")
PY
faces_on() { awk -F'\t' -v l="$1" '$2 == l { print $1 }' counts.txt; }

materials=$examples/materials.txt
# The number of the first line of the file that starts with $1.
line_of() { grep -n -F -m1 -- "$1" "$2" | cut -d: -f1; }
glass_line=$(line_of '*glass* =' "$materials")
metal_line=$(line_of '*metal* =' "$materials")
wall_line=$(line_of '壁* =' "$materials")

render() {
    local scene=$1
    if ! povray +W32 +H24 -D -V +I"$scene" +O"${scene%.pov}.png" >"${scene%.pov}.log" 2>&1; then
        fail "povray exit status for $scene"
        tail -5 "${scene%.pov}.log"
    elif grep -q "Parse Error" "${scene%.pov}.log"; then
        fail "parse error in $scene"
    fi
}

# POV-Ray: one object of four looks, so a texture per look and each
# triangle naming its own; each look's triangles are its faces times two.
for form in mesh mesh2; do
    extra=()
    [ "$form" = mesh2 ] && extra=(--pov-mesh2)
    "$convert" --no-pov-smooth "${extra[@]}" --materials "$materials" layers.dxf \
        -o "$form.pov" >"$form.txt" 2>&1 || { fail "conversion to $form"; continue; }
    grep -qF "材質ファイル：$materials" "$form.txt" || fail "$form: no materials line in the log"
    grep -q "行目" "$form.txt" && fail "$form: the shipped file has a bad line: $(grep 行目 "$form.txt")"
    render "$form.pov"
    inc=$form.inc
    grep -qF 'rgbf <0.92,0.97,0.98,0.9>' "$inc" || fail "$form: no glass texture"
    grep -qF 'metallic reflection 0.15' "$inc" || fail "$form: no metal texture"
    grep -qF 'granite color_map' "$inc" || fail "$form: no concrete texture"
    [ "$(grep -c '^#declare poltexture0_' "$inc")" = 4 ] || fail "$form: not four textures"
done
# In the mesh form the triangles of the glass name the texture declared
# with the glass's pigment.
glass_texture=$(sed -n 's/^#declare \(poltexture0_[0-9]*\) = texture { pigment { rgbf.*/\1/p' mesh.inc)
glass_faces=$(faces_on "Window glass")
# A triangle's texture line is followed by the triangle's closing "\t}".
glass_triangles=$(awk -v t="$(printf '\ttexture { %s }\r' "$glass_texture")" \
    'prev == t && $0 == "\t}\r" { n++ } { prev = $0 } END { print n + 0 }' mesh.inc)
[ "$glass_triangles" = "$((glass_faces * 2))" ] ||
    fail "mesh: $glass_triangles glass triangles, ezdxf counts $glass_faces faces"

# assimp: a bad line in a copy of the file (an unclosed texture before the
# metal's line) is named by its number, and the metal takes its good line.
awk -v bad="$metal_line" 'NR == bad { print "*metal* = texture { pigment { rgb 1 } ; Kd 1 1 1" } { print }' \
    "$materials" >materials.txt
bad_line=$metal_line
metal_line=$((metal_line + 1))
glass_line_copy=$glass_line
[ "$glass_line" -gt "$bad_line" ] && glass_line_copy=$((glass_line + 1))
wall_line_copy=$wall_line
[ "$wall_line" -gt "$bad_line" ] && wall_line_copy=$((wall_line + 1))
"$convert" --materials materials.txt layers.dxf -o layers.obj >obj.txt 2>&1 || fail "conversion to OBJ"
grep -qF "材質ファイル materials.txt の $bad_line 行目: " obj.txt ||
    fail "no message naming line $bad_line: $(cat obj.txt)"
[ "$(grep -c '行目' obj.txt)" = 1 ] || fail "more than the one bad line reported"
assimp export layers.obj layers.assxml >/dev/null 2>&1 || fail "assimp could not read layers.obj"
# The diffuse colour of material $1 as assimp reads it.
diffuse() {
    awk -v name="\"$1\"" '
        index($0, name) { found = 1 }
        found && /\$clr.diffuse/ { getline; getline; print $1, $2, $3; exit }' layers.assxml
}
[ "$(diffuse material_line$glass_line_copy)" = "0.850000 0.920000 0.950000" ] ||
    fail "glass material: '$(diffuse material_line$glass_line_copy)'"
[ "$(diffuse material_line$metal_line)" = "0.620000 0.630000 0.650000" ] ||
    fail "metal material: '$(diffuse material_line$metal_line)'"
[ "$(diffuse material_line$wall_line_copy)" = "0.670000 0.660000 0.630000" ] ||
    fail "wall material: '$(diffuse material_line$wall_line_copy)'"
# Faces per material in the OBJ file against ezdxf's count per layer.
faces_of() {
    awk -v m="usemtl $1" '/^usemtl/ { on = ($0 == m "\r") } on && /^f / { n++ } END { print n + 0 }' layers.obj
}
[ "$(faces_of material_line$glass_line_copy)" = "$(faces_on "Window glass")" ] || fail "glass faces"
[ "$(faces_of material_line$metal_line)" = "$(faces_on "金物 metal")" ] || fail "metal faces"
[ "$(faces_of material_line$wall_line_copy)" = "$(faces_on "壁")" ] || fail "wall faces"
[ "$(faces_of dxfcolor_ffffff)" = "$(faces_on "0")" ] || fail "the faces on layer 0 keep white"

# Names, once the converter has the option.
if "$convert" --help 2>&1 | grep -q -- '--layer-names'; then
    "$convert" --layer-names layers.dxf -o named.obj >/dev/null 2>&1 || fail "named OBJ"
    for layer in "Window glass" "金物 metal" "壁" "0"; do
        grep -qxF "g ${layer// /_}"$'\r' named.obj || fail "no group for layer $layer"
    done
    "$convert" --layer-names --multi layers.dxf -o multi.obj >/dev/null 2>&1 || fail "multi OBJ"
    for file in multi00[1-4].obj; do
        [ "$(grep -c '^o ' "$file")" = 1 ] || fail "$file: not one o line"
    done
    "$convert" --layer-names --multi layers.dxf -o multi.pov >/dev/null 2>&1 || fail "multi POV"
    render multi.pov
    for layer in "Window glass" "金物 metal" "壁"; do
        grep -qF "// layer: $layer" multi.inc || fail "no comment naming $layer"
    done
else
    echo "note: the converter has no --layer-names yet; names not checked"
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "layers and materials read by POV-Ray and assimp"
