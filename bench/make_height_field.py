#!/usr/bin/env python3
"""Writes an ASCII DXF drawing of a height field over an N x N grid of cells.

  make_height_field.py N faces OUT.dxf   one four-corner 3DFACE per cell
  make_height_field.py N mesh OUT.dxf    the same surface as one polyface mesh
  make_height_field.py N layers OUT.dxf  the 3DFACEs spread over 10,000 distinct
                                         layer and colour pairs

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


# Face k of the layered drawing lies on layer L<k mod 5000> with colour 1 or
# 2 by k div 5000, so that consecutive faces never share an object and the
# 10,000 pairs first appear in face order.
def layer_groups(k):
    return "8\nL%04d\n62\n%d\n" % (k % 5000, 1 + (k // 5000) % 2)


def write_faces(n, out, layered=False):
    out.write("0\nSECTION\n2\nENTITIES\n")
    heights = [[point(i, j) for j in range(n + 1)] for i in range(n + 1)]
    for i in range(n):
        row, above = heights[i], heights[i + 1]
        chunk = []
        for j in range(n):
            corners = (row[j], above[j], above[j + 1], row[j + 1])
            groups = layer_groups(i * n + j) if layered else "8\nSURFACE\n"
            text = ["0\n3DFACE\n" + groups]
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
    if len(sys.argv) != 4 or sys.argv[2] not in ("faces", "mesh", "layers"):
        sys.exit(__doc__)
    n = int(sys.argv[1])
    with open(sys.argv[3], "w", newline="\n", buffering=1 << 20) as out:
        if sys.argv[2] == "mesh":
            write_mesh(n, out)
        else:
            write_faces(n, out, sys.argv[2] == "layers")


if __name__ == "__main__":
    main()
