#!/usr/bin/python3
"""Writes the binary DXF drawings the reader tests use (run with Debian's
python3-ezdxf): a current one with MESH, 3DFACE, polyface, a 2D polyline,
a solid and a block insertion, and an R12 one with 3DFACE and polyface.
Prints the counts the tests expect, derived from the entities themselves."""
import sys
from pathlib import Path

import ezdxf
from ezdxf.render import forms

out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)


def faces_r2018(doc):
    msp = doc.modelspace()
    cube = forms.cube().scale_uniform(2.0).translate(10, 0, 0)
    mesh = msp.add_mesh(dxfattribs={"layer": "MESHES", "color": 3})
    with mesh.edit_data() as data:
        data.vertices = list(cube.vertices)
        # The six quads, one triangle and one edge (no polygon).
        data.faces = [list(f) for f in cube.faces] + [[0, 1, 2], [3, 4]]
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 0), (1, 1, 0)], dxfattribs={"layer": "FACES"})
    msp.add_3dface([(0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)], dxfattribs={"layer": "FACES"})
    pface = msp.add_polyface(dxfattribs={"layer": "PFACE"})
    pface.append_faces([[(0, 0, 5), (1, 0, 5), (1, 1, 5), (0, 1, 5)], [(1, 0, 5), (2, 0, 5), (1, 1, 5)]])
    msp.add_polyline2d([(0, 0), (5, 0), (5, 5)], dxfattribs={"layer": "OUTLINE"})
    msp.new_entity("3DSOLID", {"layer": "SOLIDS"})
    block = doc.blocks.new("TILE")
    block.add_3dface([(0, 0, 0), (1, 0, 0), (0, 1, 0), (0, 1, 0)])
    msp.add_blockref("TILE", (20, 0, 0))
    msp.add_blockref("TILE", (30, 0, 0))


def faces_r12(doc):
    msp = doc.modelspace()
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)], dxfattribs={"layer": "FACES", "color": 1})
    pface = msp.add_polyface(dxfattribs={"layer": "PFACE"})
    pface.append_faces([[(0, 0, 5), (1, 0, 5), (1, 1, 5)], [(1, 0, 5), (2, 0, 5), (1, 1, 5), (1, 2, 5)]])


def counts(path):
    doc = ezdxf.readfile(path)
    vertices = polygons = 0
    for space in [doc.modelspace()] + [b for b in doc.blocks if not b.name.startswith("*")]:
        for e in space:
            kind = e.dxftype()
            if kind == "3DFACE":
                corners = [e.dxf.vtx0, e.dxf.vtx1, e.dxf.vtx2, e.dxf.vtx3]
                n = 3 if corners[3] == corners[2] else 4
                vertices += n
                polygons += 1
            elif kind == "MESH":
                vertices += len(e.vertices)
                polygons += sum(1 for f in e.faces if len(f) >= 3)
            elif kind == "POLYLINE" and e.is_poly_face_mesh:
                vs = [v for v in e.vertices if v.is_poly_face_mesh_vertex]
                fs = [v for v in e.vertices if v.is_face_record]
                vertices += len(vs)
                polygons += len(fs)
    return vertices, polygons


for name, version, build in [("faces_r2018_bin.dxf", "R2018", faces_r2018),
                             ("faces_r12_bin.dxf", "R12", faces_r12)]:
    doc = ezdxf.new(version)
    build(doc)
    path = out / name
    doc.saveas(path, fmt="bin")
    print(name, path.stat().st_size, "bytes; vertices, polygons:", counts(path))
