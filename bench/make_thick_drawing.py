#!/usr/bin/env python3
"""Writes an ASCII DXF drawing of walls and columns drawn in 2 1/2 D, or the
same number of faces as 3DFACEs, for timing entities with thickness against
plain faces.

  make_thick_drawing.py LINES CIRCLES thick OUT.dxf
      LINES lines with a thickness (walls on a grid) and CIRCLES circles with
      a thickness (columns); read with --thickness and 32 segments per
      circle they make LINES + 32 CIRCLES four-corner faces
  make_thick_drawing.py LINES CIRCLES faces OUT.dxf
      as many four-corner 3DFACEs, one per wall and one per column segment,
      at the same places

Coordinates are written as the CAD programs write them, six decimals.
"""
import math
import sys

SEGMENTS = 32


def number(value):
    return "%.6f" % value


def wall(k):
    """The two ends and the height of wall k: a grid of rooms 4 wide."""
    row, column = divmod(k, 500)
    x, y = column * 4.0, row * 4.0
    if k % 2 == 0:
        return (x, y), (x + 4.0, y), 2.5 + (k % 7) * 0.1
    return (x, y), (x, y + 4.0), 2.5 + (k % 7) * 0.1


def column(k):
    """The centre, radius and height of column k, between the walls."""
    row, col = divmod(k, 100)
    return (col * 20.0 + 2.0, row * 20.0 + 2.0), 0.3 + (k % 5) * 0.05, 3.0


def write_thick(lines, circles, out):
    out.write("0\nSECTION\n2\nENTITIES\n")
    chunk = []
    for k in range(lines):
        (x0, y0), (x1, y1), height = wall(k)
        chunk.append("0\nLINE\n8\nWALLS\n39\n%s\n10\n%s\n20\n%s\n30\n0.0\n11\n%s\n21\n%s\n31\n0.0\n"
                     % (number(height), number(x0), number(y0), number(x1), number(y1)))
    for k in range(circles):
        (x, y), radius, height = column(k)
        chunk.append("0\nCIRCLE\n8\nCOLUMNS\n39\n%s\n10\n%s\n20\n%s\n30\n0.0\n40\n%s\n"
                     % (number(height), number(x), number(y), number(radius)))
    out.write("".join(chunk))
    out.write("0\nENDSEC\n0\nEOF\n")


def face(layer, corners):
    text = ["0\n3DFACE\n8\n%s\n" % layer]
    for k, (x, y, z) in enumerate(corners):
        text.append("1%d\n%s\n2%d\n%s\n3%d\n%s\n" % (k, number(x), k, number(y), k, number(z)))
    return "".join(text)


def write_faces(lines, circles, out):
    out.write("0\nSECTION\n2\nENTITIES\n")
    chunk = []
    for k in range(lines):
        (x0, y0), (x1, y1), height = wall(k)
        chunk.append(face("WALLS", [(x0, y0, 0), (x1, y1, 0), (x1, y1, height), (x0, y0, height)]))
    for k in range(circles):
        (x, y), radius, height = column(k)
        points = [(x + radius * math.cos(2 * math.pi * i / SEGMENTS),
                   y + radius * math.sin(2 * math.pi * i / SEGMENTS)) for i in range(SEGMENTS)]
        for i in range(SEGMENTS):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % SEGMENTS]
            chunk.append(face("COLUMNS", [(ax, ay, 0), (bx, by, 0), (bx, by, height),
                                          (ax, ay, height)]))
        if len(chunk) > 10000:
            out.write("".join(chunk))
            chunk = []
    out.write("".join(chunk))
    out.write("0\nENDSEC\n0\nEOF\n")


def main():
    if len(sys.argv) != 5 or sys.argv[3] not in ("thick", "faces"):
        sys.exit(__doc__)
    lines, circles = int(sys.argv[1]), int(sys.argv[2])
    with open(sys.argv[4], "w", newline="\n") as out:
        (write_thick if sys.argv[3] == "thick" else write_faces)(lines, circles, out)


if __name__ == "__main__":
    main()
