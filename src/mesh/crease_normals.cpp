#include "mesh/crease_normals.h"

#include <cmath>

#include "mesh/triangulate.h"

namespace vertoko {

namespace {

// 1 / length of v, or zero when v has no direction. Face normals are short
// for thin corners, so any length counts.
float InverseLength(Point3f v) {
    const float length2 = v.x * v.x + v.y * v.y + v.z * v.z;
    return length2 > 1e-30f ? 1.0f / std::sqrt(length2) : 0.0f;
}

bool Equal(const Point3f& a, const Point3f& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

void ComputeCreaseNormals(const MeshObject& object, std::vector<NormalContribution>& added,
                          float crease, ObjectNormals& normals) {
    const auto vertexCount = static_cast<std::size_t>(object.vertexCount);

    // Group the contributions by vertex in place (each swap puts one into its
    // group for good), so that no second copy of them is needed. The order
    // within a group changes, but every corner of the vertex sums in it.
    std::vector<std::size_t> start(vertexCount + 1, 0);
    for (const NormalContribution& c : added) ++start[static_cast<std::size_t>(c.vertex) + 1];
    for (std::size_t v = 0; v < vertexCount; ++v) start[v + 1] += start[v];
    {
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        for (std::size_t v = 0; v < vertexCount; ++v) {
            while (fill[v] < start[v + 1]) {
                NormalContribution& c = added[fill[v]];
                const auto home = static_cast<std::size_t>(c.vertex);
                if (home == v) {
                    ++fill[v];
                } else {
                    std::swap(c, added[fill[home]++]);
                }
            }
        }
    }

    // A small allowance keeps faces at exactly the angle (and coplanar faces
    // at angle 0) together despite rounding.
    const float limit = static_cast<float>(std::cos(static_cast<double>(crease) *
                                                    (3.14159265358979323846 / 180.0))) -
                        1e-5f;

    std::size_t triangles = 0;
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next)
        triangles += IsTriangulable(object, *p) ? 1 : 0;
    normals.vectors.clear();
    normals.vectors.reserve(vertexCount);
    normals.corners.clear();
    normals.corners.reserve(3 * triangles);
    // Distinct normals per vertex, as a chain through the stored vectors.
    std::vector<std::int32_t> firstAt(vertexCount, -1);
    std::vector<std::int32_t> nextAt;
    nextAt.reserve(vertexCount);
    for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
         polygon = polygon->next) {
        if (!IsTriangulable(object, *polygon)) continue;
        Point3f own = FaceNormal(object, *polygon);
        const float ownInverse = InverseLength(own);
        own = {own.x * ownInverse, own.y * ownInverse, own.z * ownInverse};
        const bool anyDirection = ownInverse == 0.0f;
        for (std::int32_t k = 0; k < 3; ++k) {
            const auto v = static_cast<std::size_t>(polygon->p[k]);
            Point3f sum{0.0f, 0.0f, 0.0f};
            for (std::size_t e = start[v]; e < start[v + 1]; ++e) {
                const Point3f& n = added[e].normal;
                if (!anyDirection &&
                    (n.x * own.x + n.y * own.y + n.z * own.z) * InverseLength(n) < limit)
                    continue;
                sum.x += n.x;
                sum.y += n.y;
                sum.z += n.z;
            }
            const Point3f unit = NormalisedIfLong(sum);
            std::int32_t index = firstAt[v];
            while (index >= 0 && !Equal(normals.vectors[static_cast<std::size_t>(index)], unit))
                index = nextAt[static_cast<std::size_t>(index)];
            if (index < 0) {
                index = static_cast<std::int32_t>(normals.vectors.size());
                normals.vectors.push_back(unit);
                nextAt.push_back(firstAt[v]);
                firstAt[v] = index;
            }
            normals.corners.push_back(index);
        }
    }
}

}  // namespace vertoko
