#!/usr/bin/env python3
"""Writes an ASCII DXF drawing of a height field over an N x N grid of cells.

  make_height_field.py N faces OUT.dxf   one four-corner 3DFACE per cell
  make_height_field.py N mesh OUT.dxf    the same surface as one polyface mesh

Every 3DFACE carries its own four corners, so the 3DFACE drawing holds
4 N^2 vertices before cleaning and (N + 1)^2 after; the polyface mesh holds
(N + 1)^2 vertices from the start.
"""
import math
import sys


def height(i, j):
    return 0.25 * math.sin(i * 0.05) * math.cos(j * 0.07)


def point(i, j):
    return "%.6f" % i, "%.6f" % j, "%.6f" % height(i, j)


def write_faces(n, out):
    out.write("0\nSECTION\n2\nENTITIES\n")
    heights = [[point(i, j) for j in range(n + 1)] for i in range(n + 1)]
    for i in range(n):
        row, above = heights[i], heights[i + 1]
        chunk = []
        for j in range(n):
            corners = (row[j], above[j], above[j + 1], row[j + 1])
            text = ["0\n3DFACE\n8\nSURFACE\n"]
            for k, (x, y, z) in enumerate(corners):
                text.append("1%d\n%s\n2%d\n%s\n3%d\n%s\n" % (k, x, k, y, k, z))
            chunk.append("".join(text))
        out.write("".join(chunk))
    out.write("0\nENDSEC\n0\nEOF\n")


def write_mesh(n, out):
    side = n + 1
    out.write("0\nSECTION\n2\nENTITIES\n")
    out.write("0\nPOLYLINE\n8\nSURFACE\n66\n1\n10\n0\n20\n0\n30\n0\n70\n64\n71\n%d\n72\n%d\n"
              % (side * side, n * n))
    for i in range(side):
        chunk = []
        for j in range(side):
            x, y, z = point(i, j)
            chunk.append("0\nVERTEX\n8\nSURFACE\n10\n%s\n20\n%s\n30\n%s\n70\n192\n" % (x, y, z))
        out.write("".join(chunk))
    for i in range(n):
        chunk = []
        for j in range(n):
            a = i * side + j + 1
            chunk.append("0\nVERTEX\n8\nSURFACE\n10\n0\n20\n0\n30\n0\n70\n128\n71\n%d\n72\n%d\n73\n%d\n74\n%d\n"
                         % (a, a + side, a + side + 1, a + 1))
        out.write("".join(chunk))
    out.write("0\nSEQEND\n8\nSURFACE\n0\nENDSEC\n0\nEOF\n")


def main():
    if len(sys.argv) != 4 or sys.argv[2] not in ("faces", "mesh"):
        sys.exit(__doc__)
    n = int(sys.argv[1])
    with open(sys.argv[3], "w", newline="\n", buffering=1 << 20) as out:
        (write_faces if sys.argv[2] == "faces" else write_mesh)(n, out)


if __name__ == "__main__":
    main()
