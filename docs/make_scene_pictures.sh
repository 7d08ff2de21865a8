#!/usr/bin/env bash
# Makes the README's pictures of the POV-Ray scene options, each rendered by
# POV-Ray from the scene as the converter wrote it:
# - scene-default.png and scene-upright.png: the public sample
#   libdxf/zcad-teapot_R2000.dxf with the default options, and with the
#   drawing's Z axis up, the camera that fills the picture and the studio;
# - render-ready.png: examples/house.dxf with a smoothing angle of 60
#   degrees, consistent orientation and the camera that fills the picture.
# Usage: make_scene_pictures.sh VERTOKO_CONVERT SAMPLES_DIR OUTPUT_DIR
set -euo pipefail
convert=$(realpath "$1")
samples=$(realpath "$2")
output=$(realpath -m "$3")
house=$(realpath "$(dirname "$0")/../examples/house.dxf")
mkdir -p "$output"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME=$work  # POV-Ray keeps its user settings under the home folder

# render NAME WIDTH HEIGHT
render() {
    povray +W"$2" +H"$3" +A0.3 -D -V +I"$1.pov" +O"$output/$1.png" >"$1.log" 2>&1 || {
        tail -20 "$1.log"
        exit 1
    }
    echo "wrote $output/$1.png"
}

teapot=$samples/libdxf/zcad-teapot_R2000.dxf
"$convert" "$teapot" -o scene-default.pov >/dev/null
render scene-default 400 300
"$convert" --z-up --pov-fit-camera --pov-studio "$teapot" -o scene-upright.pov >/dev/null
render scene-upright 400 300
"$convert" --crease-angle 60 --orient-faces --pov-fit-camera "$house" -o render-ready.pov >/dev/null
render render-ready 480 360
