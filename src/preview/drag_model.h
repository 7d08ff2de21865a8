// The lighter model the preview draws while the user drags: every polygon
// fanned into triangles, equal positions merged, and each colour's
// triangles cut down by meshoptimizer's sloppy simplifier to a share of a
// triangle budget. Plain arithmetic, no OpenGL; preview_scene.h compiles
// it into its display list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/mesh_model.h"

namespace vertoko {

// What software OpenGL (Mesa's llvmpipe) still draws at 20 frames a second
// on two cores with room to spare; see bench/preview_bench.cpp.
inline constexpr std::size_t kDragTriangleBudget = 60000;

struct DragMesh {
    struct Group {
        std::uint32_t color = 0;             // the polygons' drawing colour; 0: the object colour
        std::vector<std::uint32_t> indices;  // three per triangle into positions
    };
    std::vector<float> positions;  // x, y, z of each vertex, moved by -center
    std::vector<Group> groups;     // in the order their colours first appear

    std::size_t TriangleCount() const;
};

// The triangles the full model's polygons make when fanned (n - 2 for a
// polygon of n valid corners).
std::size_t FannedTriangleCount(std::int32_t count, const MeshObject* objects);

// The polygons of the count objects as triangles of a DragMesh, with no
// more than about targetTriangles in all; at or under the target they are
// only fanned. Polygons whose corners lie outside their object's vertex
// table are skipped, as the full model skips them.
DragMesh MakeDragMesh(std::int32_t count, const MeshObject* objects, const Point3f& center,
                      std::size_t targetTriangles);

}  // namespace vertoko
