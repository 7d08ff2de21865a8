#!/usr/bin/python3
"""Writes the binary DXF seeds of the fuzz corpus from the public samples
and one drawing of its own (Debian's python3-ezdxf): each seed is the
fuzzer's options byte followed by a binary DXF file. Run from the
repository: fuzz/make_binary_seeds.py"""
import io
import sys
from pathlib import Path

import ezdxf

samples = Path(sys.argv[1] if len(sys.argv) > 1 else "../shared/dxf-samples")
corpus = Path(__file__).parent / "corpus"


def binary(doc):
    stream = io.BytesIO()
    doc.write(stream, fmt="bin")
    return stream.getvalue()


def copy_entities(source, version, kinds):
    doc = ezdxf.new(version)
    msp = doc.modelspace()
    for entity in source.modelspace():
        if entity.dxftype() in kinds:
            msp.add_foreign_entity(entity)
    for entity in msp:
        entity.proxy_graphic = None  # ezdxf cannot write it as binary chunks
    return doc


seeds = {}
# Two 3DFACEs of an R10 drawing, as R12 binary (one-byte group codes).
seeds["linetest_r12.bin"] = (0, copy_entities(ezdxf.readfile(samples / "assimp/lineTest.dxf"),
                                              "R12", {"3DFACE"}))
# The MESH and the polyface meshes of a current drawing, as R2018 binary.
uncommon = ezdxf.readfile(samples / "ezdxf/uncommon.dxf")
seeds["uncommon_mesh_r2018.bin"] = (4, copy_entities(uncommon, "R2018", {"MESH", "POLYLINE"}))
# 2D polylines and a face of an R12 drawing, for the lenient reading.
poli = ezdxf.readfile(samples / "ezdxf/POLI-ALL210_12.DXF")
seeds["poli_r2000.bin"] = (5, copy_entities(poli, "R2000", {"POLYLINE", "3DFACE"}))


def thick_entities():
    """Every entity that stands up by its thickness, SOLID and TRACE, a flat
    2D polyline, a hatch and a text, also inside a block placed twice, in a
    millimetre drawing."""
    doc = ezdxf.new("R2000")
    doc.header["$INSUNITS"] = 4
    oblique = {"thickness": -1.5, "extrusion": (0.36, -0.48, 0.8)}

    def fill(space, attribs):
        space.add_line((0, 0, 0), (4, 1, 0), dxfattribs=attribs)
        space.add_circle((1, 2, 0.5), 3, dxfattribs=attribs)
        space.add_arc((-1, 0.5, 1.5), 2, 300, 45, dxfattribs=attribs)
        space.add_solid([(0, 0), (4, 0), (0, 3), (4, 3.5)], dxfattribs=attribs)
        space.add_trace([(0, 0), (0, 2), (5, 0.5)], dxfattribs=attribs)
        space.add_lwpolyline([(0, 0, 0.5), (3, 0, -1), (3, 3, 0)], format="xyb", close=True,
                             dxfattribs=attribs)
        space.add_polyline2d([(0, 0, 1), (2, 0, 0), (2, 2, -0.4)], format="xyb",
                             dxfattribs=attribs)

    block = doc.blocks.new("POSTS", base_point=(1, 1, 0))
    fill(block, {"thickness": 2})
    msp = doc.modelspace()
    fill(msp, oblique)
    msp.add_polyline2d([(0, 0), (1, 1)])
    msp.add_text("A", dxfattribs={"thickness": 1})
    hatch = msp.add_hatch()
    hatch.paths.add_polyline_path([(0, 0), (1, 0), (1, 1)])
    msp.add_blockref("POSTS", (10, 0, 0), dxfattribs={"rotation": 30})
    msp.add_blockref("POSTS", (0, 10, 0), dxfattribs={"extrusion": (0, 0, -1)})
    return doc


# Thickness read (128), metres and 3 segments per circle (32), insertions
# placed (8), lenient (4).
seeds["thick_entities_r2000.bin"] = (128 + 32 + 8 + 4, thick_entities())

corpus.mkdir(exist_ok=True)
for name, (options, doc) in seeds.items():
    data = bytes([options]) + binary(doc)
    (corpus / name).write_bytes(data)
    print(name, len(data), "bytes")
