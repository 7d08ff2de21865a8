// Small object tables built by hand for the preview tests, in the layout the
// reader produces (malloc'd linked lists plus vtbl/ptbl).
#pragma once

#include <vector>

#include "model/mesh_model.h"

namespace vertoko::testing {

struct HandPolygon {
    std::vector<int> corners;
};

// One object with the given vertices and polygons.
MeshObject* MakeTable(const std::vector<Point3f>& vertices,
                      const std::vector<HandPolygon>& polygons);

// A wavy height field of n x n unit quads over [0, n] x [0, n], z within
// +-0.3: corners shared between neighbours, or (shared false) four of its
// own for each quad as an uncleaned drawing has them.
MeshObject* MakeGrid(int n, bool shared = true);

// Frees a table of one object made by MakeTable.
void FreeTable(MeshObject*& table);

}  // namespace vertoko::testing
