#!/usr/bin/env bash
# Makes docs/block-colors.png: the public sample assimp/wuson.dxf turned into
# a block drawn BYBLOCK, inserted five times with different colours, turns,
# scales and a mirror, converted with block expansion and drawing colours
# on, and rendered by POV-Ray.
# Usage: make_block_colors_picture.sh VERTOKO_CONVERT SAMPLES_DIR OUTPUT.png
set -euo pipefail
convert=$(realpath "$1")
samples=$(realpath "$2")
output=$(realpath -m "$3")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME=$work

pairs() { printf '%s\r\n' "$@"; }
# The layer table gives layer GOLD colour 40.
pairs 0 SECTION 2 TABLES 0 TABLE 2 LAYER 0 LAYER 2 GOLD 70 0 62 40 0 ENDTAB 0 ENDSEC >drawing.dxf
# The sample's block with its polyline drawn BYBLOCK and the faces' own
# colours dropped, up to the end of its BLOCKS section.
tr -d '\r' <"$samples/assimp/wuson.dxf" | awk '
    NR % 2 == 1 { code = $1; next }
    code == 62 { next }
    { print code; print }
    $0 == "POLYLINE" { polyline = 1 }
    code == 8 && polyline && !done { print "62"; print "0"; done = 1 }
    $0 == "ENDBLK" { block = 1 }
    $0 == "ENDSEC" && block { exit }
' | sed 's/$/\r/' >>drawing.dxf
insert() { pairs 0 INSERT 2 Mesh "$@"; }
{
    pairs 0 SECTION 2 ENTITIES
    insert 8 0 62 1 10 0 20 0 30 0
    insert 8 0 62 5 50 20 10 1.1 20 0 30 0
    insert 8 GOLD 41 1.3 42 1.3 43 1.3 10 2.3 20 0 30 0
    insert 8 0 62 3 41 -1 10 3.5 20 0 30 0
    insert 8 0 62 6 41 0.7 42 0.7 43 0.7 10 4.4 20 0 30 0
    pairs 0 ENDSEC 0 EOF
} >>drawing.dxf

"$convert" --expand-inserts --drawing-colors drawing.dxf -o scene.pov
# The converter's camera, moved closer to what it looks at and given the
# picture's aspect ratio.
awk -F'[<>,]' '
    /^camera/ { print; print "\tright x*1000/420"; next }
    /location/ { for (i = 2; i <= 4; ++i) from[i] = $i; next }
    /look_at/ {
        printf "\tlocation <%g,%g,%g>\n", $2 + 0.42 * (from[2] - $2), $3 + 0.42 * (from[3] - $3),
            $4 + 0.42 * (from[4] - $4)
    }
    { print }
' scene.pov >picture.pov
povray +W1000 +H420 +A -D -V +Ipicture.pov +O"$output" >povray.log 2>&1 || {
    tail -20 povray.log
    exit 1
}
echo "wrote $output"
