#!/usr/bin/python3
"""Writes the drawings of the layer window's tests into OUT (run with Debian's
python3-ezdxf: make_layer_drawings.py OUT) and OUT/expected.txt, what the
window must list for each, taken from ezdxf: the layer's name as ezdxf reads
it back, its colour as ezdxf's palette gives it and the number of 3DFACEs on
it in the modelspace.

All faces lie in the plane z = 0 within the square [-1, 1]^2 and face +z:
- 床 (colour 1): the bands y < -0.5, y > 0.5 and x < -0.5 (three quads);
- 壁 (colour 5): the centre square |x|, |y| <= 0.5 as two triangles;
- 窓枠 (colour 3): the band
  x > 0.5, |y| <= 0.5, as four quads stacked in y.
So the floor alone spans the whole square: leaving out 壁 or 窓枠 leaves the
box of the model as it was. layers_swapped.dxf has the same faces with the
LAYER table in another order; layers_r12.dxf is written in Shift_JIS
($DWGCODEPAGE ANSI_932).

expected.txt: one block per drawing:
  drawing NAME
  layer NAME_UTF8 RRGGBB FACES     (the layers with faces, in table order)
  end
"""
import sys
from pathlib import Path

import ezdxf
from ezdxf import colors

out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
out.mkdir(parents=True, exist_ok=True)

LAYERS = [("床", 1), ("壁", 5), ("窓枠", 3)]


def faces():
    yield "床", [(-1, -1), (1, -1), (1, -0.5), (-1, -0.5)]
    yield "床", [(-1, 0.5), (1, 0.5), (1, 1), (-1, 1)]
    yield "床", [(-1, -0.5), (-0.5, -0.5), (-0.5, 0.5), (-1, 0.5)]
    yield "壁", [(-0.5, -0.5), (0.5, -0.5), (0.5, 0.5)]
    yield "壁", [(-0.5, -0.5), (0.5, 0.5), (-0.5, 0.5)]
    for k in range(4):
        y0 = -0.5 + 0.25 * k
        yield "窓枠", [(0.5, y0), (1, y0), (1, y0 + 0.25), (0.5, y0 + 0.25)]


def write(name, version, order, encoding=None):
    doc = ezdxf.new(version)
    if encoding:
        doc.encoding = encoding  # sets $DWGCODEPAGE too
    for layer, aci in order:
        doc.layers.add(layer, color=aci)
    msp = doc.modelspace()
    for layer, corners in faces():
        points = [(x, y, 0) for x, y in corners]
        if len(points) == 3:
            points.append(points[2])
        msp.add_3dface(points, dxfattribs={"layer": layer})
    path = out / name
    doc.saveas(path)
    # Read back: the names, colours and counts as ezdxf sees them.
    back = ezdxf.readfile(path)
    lines = [f"drawing {name}"]
    counts = {}
    for face in back.modelspace().query("3DFACE"):
        counts[face.dxf.layer] = counts.get(face.dxf.layer, 0) + 1
    for entry in back.layers:
        if entry.dxf.name not in counts:
            continue
        r, g, b = colors.aci2rgb(abs(entry.dxf.color))
        lines.append(f"layer {entry.dxf.name} {r:02X}{g:02X}{b:02X} {counts[entry.dxf.name]}")
    lines.append("end")
    return lines


expected = []
expected += write("layers_r2018.dxf", "R2018", LAYERS)
expected += write("layers_r2018_other.dxf", "R2018", LAYERS)
expected += write("layers_swapped.dxf", "R2018", list(reversed(LAYERS)))
expected += write("layers_r12.dxf", "R12", LAYERS, encoding="cp932")
(out / "expected.txt").write_text("\n".join(expected) + "\n", encoding="utf-8")
