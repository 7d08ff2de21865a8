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

// Frees a table of one object made by MakeTable.
void FreeTable(MeshObject*& table);

}  // namespace vertoko::testing
