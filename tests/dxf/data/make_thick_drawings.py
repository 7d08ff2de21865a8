#!/usr/bin/python3
"""Writes the drawings of the thickness and unit tests into OUT (run with
Debian's python3-ezdxf: make_thick_drawings.py OUT [SAMPLES]) and
OUT/expected.txt, the faces the reader must make
of them, computed from ezdxf's own geometry: its OCS, its arc and circle
vertices, bulge_to_arc and the INSERT matrices; the unit factors as exact
fractions.

The faces follow the rules the reader documents:
- walls: on a line of points (consecutive equal points dropped), from each
  point to the next the quadrilateral (a, b, b + lift, a + lift), lift being
  the thickness along the unit extrusion direction; closed, also from the
  last point to the first unless they are equal. Two vertices per point.
- a circle takes N points at 360 k / N degrees; an arc ceil(N span / 360)
  segments (a whole number missed by less than 1e-9 counts as met), its ends
  included; a bulged polyline segment as many for its arc's angle.
- SOLID and TRACE: corners 1, 2, 4, 3 (a triangle when the fourth is the
  third); flat, one face of new vertices; thick, a prism: the corners turned
  to run counter-clockwise seen from the lifted side, the bottom reversed,
  the top, then a side per edge.

expected.txt holds one block per read:
  case DRAWING thick=0|1 segments=N units=K insert=0|1 exact=0|1
  report TEXT            (the line of what was not converted; may be empty)
  vertices V
  polygon TAG n x y z ...   (n corners)
  end
"""
import math
import random
import sys
from fractions import Fraction
from pathlib import Path

import ezdxf
from ezdxf.math import OCS, ConstructionArc, Vec3, arc_angle_span_deg, bulge_to_arc

out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
out.mkdir(parents=True, exist_ok=True)
cases = []

NORMALS = [(0, 0, 1), (0, 0, -1), (0.36, -0.48, 0.8)]


def segments_for(span_radians, per_circle):
    share = per_circle * abs(span_radians) / (2 * math.pi)
    return max(1, min(per_circle, math.ceil(share - 1e-9)))


def lift_of(entity):
    thickness = entity.dxf.get("thickness", 0.0)
    return OCS(entity.dxf.get("extrusion", (0, 0, 1))).uz * thickness


class Faces:
    """The polygons and the vertex count of one read, in reading order."""

    def __init__(self):
        self.polygons = []
        self.vertices = 0

    def walls(self, tag, points, lift, closed):
        kept = []
        for p in points:
            if not kept or Vec3(p) != kept[-1]:
                kept.append(Vec3(p))
        self.vertices += 2 * len(kept)
        for a, b in zip(kept, kept[1:]):
            self.polygons.append((tag, [a, b, b + lift, a + lift]))
        if closed and len(kept) >= 2 and kept[-1] != kept[0]:
            a, b = kept[-1], kept[0]
            self.polygons.append((tag, [a, b, b + lift, a + lift]))

    def face(self, tag, corners):
        self.vertices += len(corners)
        self.polygons.append((tag, list(corners)))

    def prism(self, tag, corners, lift):
        area = Vec3()
        for k, a in enumerate(corners):
            area += a.cross(corners[(k + 1) % len(corners)])
        if area.dot(lift) < 0:
            corners = corners[::-1]
        self.vertices += 2 * len(corners)
        self.polygons.append((tag, corners[::-1]))
        self.polygons.append((tag, [c + lift for c in corners]))
        for k, a in enumerate(corners):
            b = corners[(k + 1) % len(corners)]
            if a != b:
                self.polygons.append((tag, [a, b, b + lift, a + lift]))


def path_points(ocs, elevation, points, closed, per_circle):
    """The world points of a polyline given as (x, y, bulge) in its OCS."""
    result = []

    def inside(p, q):
        x0, y0, bulge = p
        x1, y1 = q[0], q[1]
        if bulge == 0 or (x0, y0) == (x1, y1):
            return
        center, start, end, radius = bulge_to_arc((x0, y0), (x1, y1), bulge)
        span = (end - start) % (2 * math.pi)
        n = segments_for(span, per_circle)
        arc = ConstructionArc(center, radius)
        if bulge > 0:
            angles = [math.degrees(start + span * k / n) for k in range(1, n)]
        else:
            angles = [math.degrees(end - span * k / n) for k in range(1, n)]
        for v in arc.vertices(angles):
            result.append(ocs.to_wcs(Vec3(v.x, v.y, elevation)))

    for i, p in enumerate(points):
        if i > 0:
            inside(points[i - 1], p)
        result.append(ocs.to_wcs(Vec3(p[0], p[1], elevation)))
    if closed and points:
        inside(points[-1], points[0])
    return result


def entity_faces(faces, e, per_circle, tag_prefix=""):
    """The faces of entity e, as the reader with thickness on makes them;
    returns True when it counts as a flat 2D polyline."""
    kind = e.dxftype()
    tag = tag_prefix + kind + "#" + e.dxf.handle
    if kind == "3DFACE":
        faces.face(tag, e.wcs_vertices())
        return False
    thickness = e.dxf.get("thickness", 0.0)
    lift = lift_of(e)
    if kind in ("SOLID", "TRACE"):
        corners = e.wcs_vertices()
        if thickness == 0:
            faces.face(tag, corners)
        else:
            faces.prism(tag, corners, lift)
        return False
    if kind == "POLYLINE":
        if thickness == 0:
            return True
        ocs = e.ocs()
        points = [(v.dxf.location.x, v.dxf.location.y, v.dxf.get("bulge", 0.0))
                  for v in e.vertices if not v.dxf.get("flags", 0) & 16]
        world = path_points(ocs, e.dxf.elevation.z, points, e.is_closed, per_circle)
        faces.walls(tag, world, lift, e.is_closed)
        return False
    if thickness == 0:
        return False
    if kind == "LINE":
        faces.walls(tag, [e.dxf.start, e.dxf.end], lift, False)
    elif kind == "CIRCLE":
        faces.walls(tag, e.vertices([360.0 * k / per_circle for k in range(per_circle)]), lift, True)
    elif kind == "ARC":
        span = arc_angle_span_deg(e.dxf.start_angle, e.dxf.end_angle)
        if span > 0:
            n = segments_for(math.radians(span), per_circle)
            angles = [e.dxf.start_angle + span * k / n for k in range(n + 1)]
            faces.walls(tag, e.vertices(angles), lift, False)
    elif kind == "LWPOLYLINE":
        closed = e.closed
        world = path_points(e.ocs(), e.dxf.get("elevation", 0.0),
                            list(e.get_points("xyb")), closed, per_circle)
        faces.walls(tag, world, lift, closed)
    return False


def write_case(drawing, faces, report, segments=32, units=0, insert=0, exact=0, thick=1):
    lines = ["case %s thick=%d segments=%d units=%d insert=%d exact=%d"
             % (drawing, thick, segments, units, insert, exact),
             "report " + report, "vertices %d" % faces.vertices]
    for tag, corners in faces.polygons:
        numbers = " ".join(repr(float(c)) for p in corners for c in p)
        lines.append("polygon %s %d %s" % (tag, len(corners), numbers))
    lines.append("end")
    cases.append("\n".join(lines))


def flat_report(count):
    return "変換しなかった図形：POLYLINE(厚みなし) = %d" % count if count else ""


def add_entities(msp, normal, thickness, with_lwpolyline=True):
    attribs = {"thickness": thickness, "extrusion": normal}
    msp.add_line((1, 2, 3), (4, -1, 5), dxfattribs=attribs)
    msp.add_circle((1, 2, 0.5), 3, dxfattribs=attribs)
    msp.add_arc((-1, 0.5, 1.5), 2, 30, 300, dxfattribs=attribs)
    msp.add_arc((2, 1, -0.5), 1.5, 300, 45, dxfattribs=attribs)
    msp.add_solid([(0, 0, 0.5), (4, 0, 0.5), (0, 3, 0.5), (4, 3.5, 0.5)], dxfattribs=attribs)
    msp.add_solid([(1, 1, 0.25), (3, 1, 0.25), (2, 4, 0.25), (2, 4, 0.25)], dxfattribs=attribs)
    msp.add_trace([(0, 0, -1), (0, 2, -1), (5, 0.5, -1), (5, 1.5, -1)], dxfattribs=attribs)
    poly_attribs = {"thickness": thickness, "extrusion": normal, "elevation": (0, 0, 0.75)}
    open_points = [(0, 0, 0.5), (3, 0, -1), (3, 3, 0), (0, 4, 2.0)]
    closed_points = [(0, 0, 0), (2, 0, 0.3), (2, 2, 0), (0, 2, -0.4)]
    msp.add_polyline2d(open_points, format="xyb", dxfattribs=poly_attribs)
    msp.add_polyline2d(closed_points, format="xyb", close=True, dxfattribs=poly_attribs)
    if with_lwpolyline:
        lw_attribs = {"thickness": thickness, "extrusion": normal, "elevation": -0.5}
        msp.add_lwpolyline(open_points, format="xyb", dxfattribs=lw_attribs)
        msp.add_lwpolyline(closed_points, format="xyb", close=True, dxfattribs=lw_attribs)
        # Closed with the first point repeated at the end: no closing wall.
        msp.add_lwpolyline([(0, 0, 1), (1, 0, 0), (0, 0, 0)], format="xyb", close=True,
                           dxfattribs=lw_attribs)


def entities_drawing(name, version, binary=False):
    doc = ezdxf.new(version)
    msp = doc.modelspace()
    for normal in NORMALS:
        for thickness in (2.5, -1.25, 0.0):
            add_entities(msp, normal, thickness, with_lwpolyline=version != "R12")
    path = out / name
    doc.saveas(path, fmt="bin" if binary else "asc")
    doc = ezdxf.readfile(path)
    for segments in (32, 5):
        faces = Faces()
        flat = sum(entity_faces(faces, e, segments) for e in doc.modelspace())
        write_case(name, faces, flat_report(flat), segments=segments)


def blocks_drawing(name):
    """Thick entities in a block placed three times, in a millimetre drawing."""
    doc = ezdxf.new("R2000")
    doc.header["$INSUNITS"] = 4
    block = doc.blocks.new("POST", base_point=(1, 1, 0))
    block.add_circle((1, 1, 0), 0.5, dxfattribs={"thickness": 3})
    block.add_lwpolyline([(0, 0, 0), (2, 0, 0.5), (2, 2, 0)], format="xyb",
                         dxfattribs={"thickness": -1, "extrusion": (0, 0, -1)})
    block.add_solid([(0, 0), (2, 0), (0, 2), (2, 2)], dxfattribs={"thickness": 0.25})
    msp = doc.modelspace()
    msp.add_line((0, 0, 0), (10, 0, 0), dxfattribs={"thickness": 2.5})
    msp.add_blockref("POST", (10, 20, 5), dxfattribs={"rotation": 30})
    msp.add_blockref("POST", (-4, 2, 0), dxfattribs={"xscale": 2, "yscale": 2, "zscale": 0.5})
    msp.add_blockref("POST", (0, 0, 3), dxfattribs={"extrusion": (0.6, 0, 0.8), "rotation": 15})
    path = out / name
    doc.saveas(path)
    doc = ezdxf.readfile(path)
    for units, factor in ((0, 1), (3, Fraction(1, 1000))):
        faces = Faces()
        inserts = []
        for e in doc.modelspace():
            if e.dxftype() == "INSERT":
                inserts.append(e)
            else:
                entity_faces(faces, e, 32)
        for insert in inserts:
            placed = Faces()
            for e in doc.blocks.get(insert.dxf.name):
                entity_faces(placed, e, 32, "INSERT#%s/" % insert.dxf.handle)
            m = insert.matrix44()
            faces.vertices += placed.vertices
            for tag, corners in placed.polygons:
                faces.polygons.append((tag, list(m.transform_vertices(corners))))
        faces.polygons = [(tag, [Vec3(p) * float(factor) for p in corners])
                          for tag, corners in faces.polygons]
        write_case(name, faces, "", units=units, insert=1)


def float32(value):
    """The float nearest to the rational value, ties to even."""
    value = Fraction(value)
    if value == 0:
        return 0.0
    sign = -1 if value < 0 else 1
    value = abs(value)
    exponent = value.numerator.bit_length() - value.denominator.bit_length()
    if Fraction(2) ** exponent > value:
        exponent -= 1
    exponent = max(exponent, -126)  # subnormals keep the step of the smallest normal
    step = Fraction(2) ** (exponent - 23)
    q, r = divmod(value, step)
    if r * 2 > step or (r * 2 == step and q % 2 == 1):
        q += 1
    return sign * float(q * step)


UNIT_METRES = {1: Fraction(254, 10000), 2: Fraction(3048, 10000), 4: Fraction(1, 1000),
               5: Fraction(1, 100), 6: Fraction(1), 21: Fraction(1200, 3937)}
TARGETS = {1: Fraction(1, 1000), 2: Fraction(1, 100), 3: Fraction(1), 4: Fraction(254, 10000),
           5: Fraction(3048, 10000)}


def units_drawing(name, insunits, reads):
    """3DFACEs whose corners are floats, in a drawing of the given unit (None:
    no $INSUNITS), read into each of the target units of reads."""
    rng = random.Random(insunits or 99)
    doc = ezdxf.new("R2000")
    if insunits is not None:
        doc.header["$INSUNITS"] = insunits
    msp = doc.modelspace()
    for _ in range(400):
        corners = [tuple(float32(rng.uniform(-2000, 2000) * 10 ** rng.randint(-3, 2))
                         for _ in range(3)) for _ in range(3)]
        msp.add_3dface(corners + [corners[2]])
    # Values whose quotients fall near halfway between two floats.
    msp.add_3dface([(8388609.0, 16777215.0, 0.1015625), (1.0, 3.0, 5.0), (7.0, 11.0, 13.0)] * 1
                   + [(7.0, 11.0, 13.0)])
    path = out / name
    doc.saveas(path)
    doc = ezdxf.readfile(path)
    for units in reads:
        factor = Fraction(1)
        if insunits in UNIT_METRES:
            factor = UNIT_METRES[insunits] / TARGETS[units]
        faces = Faces()
        for e in doc.modelspace():
            corners = [Vec3(*(float32(Fraction(float32(c)) * factor) for c in v))
                       for v in e.wcs_vertices()[:3]]
            faces.face("3DFACE#" + e.dxf.handle, corners)
        write_case(name, faces, "", units=units, exact=1, thick=0)


def sample_drawing(samples, name):
    """A public sample read in place: its entities in the order they stand
    (the sample has no blocks)."""
    doc = ezdxf.readfile(samples / name)
    faces = Faces()
    flat = sum(entity_faces(faces, e, 32) for e in doc.modelspace())
    write_case(str(samples / name), faces, flat_report(flat))


entities_drawing("thick_entities.dxf", "R2000")
entities_drawing("thick_entities_bin.dxf", "R2000", binary=True)
entities_drawing("thick_entities_r12.dxf", "R12")
blocks_drawing("thick_blocks_mm.dxf")
units_drawing("units_mm.dxf", 4, (3, 2, 1, 4))
units_drawing("units_inch.dxf", 1, (1, 5, 3))
units_drawing("units_survey_foot.dxf", 21, (3, 4))
units_drawing("units_none.dxf", None, (3,))
units_drawing("units_zero.dxf", 0, (1,))
if len(sys.argv) > 2:
    sample_drawing(Path(sys.argv[2]), "ezdxf/POLI-ALL210_12.DXF")
(out / "expected.txt").write_text("\n".join(cases) + "\n", encoding="utf-8")
