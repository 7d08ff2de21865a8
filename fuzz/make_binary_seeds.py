#!/usr/bin/python3
"""Writes the binary DXF seeds of the fuzz corpus from the public samples
(Debian's python3-ezdxf): each seed is the fuzzer's options byte followed
by a binary DXF file. Run from the repository: fuzz/make_binary_seeds.py"""
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

corpus.mkdir(exist_ok=True)
for name, (options, doc) in seeds.items():
    data = bytes([options]) + binary(doc)
    (corpus / name).write_bytes(data)
    print(name, len(data), "bytes")
