#include "export/crease_normals.h"

#include <cmath>

#include "export/triangulate.h"

namespace vertoko {

namespace {

// Scales v to unit length unless its squared length is nearly zero, as the
// vertex normals of the smoothing without an angle are.
Point3f NormalisedIfLong(Point3f v) {
    const float length2 = v.x * v.x + v.y * v.y + v.z * v.z;
    if (length2 > 0.00001f) {
        const float inverse = 1.0f / std::sqrt(length2);
        v.x *= inverse;
        v.y *= inverse;
        v.z *= inverse;
    }
    return v;
}

// The direction of v, or zero when v has none. Face normals are short for
// thin corners, so any length counts.
Point3f Direction(Point3f v) {
    const float length2 = v.x * v.x + v.y * v.y + v.z * v.z;
    if (!(length2 > 1e-30f)) return {0.0f, 0.0f, 0.0f};
    const float inverse = 1.0f / std::sqrt(length2);
    return {v.x * inverse, v.y * inverse, v.z * inverse};
}

bool Equal(const Point3f& a, const Point3f& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

void ComputeCreaseNormals(const MeshObject& object, const std::vector<NormalContribution>& added,
                          float crease, ObjectNormals& normals) {
    const auto vertexCount = static_cast<std::size_t>(object.vertexCount);

    // The contributions grouped by vertex, each group in the order of adding.
    struct Entry {
        Point3f normal;
        Point3f direction;
    };
    std::vector<std::size_t> start(vertexCount + 1, 0);
    for (const NormalContribution& c : added) ++start[static_cast<std::size_t>(c.vertex) + 1];
    for (std::size_t v = 0; v < vertexCount; ++v) start[v + 1] += start[v];
    std::vector<Entry> entries(added.size());
    {
        std::vector<std::size_t> fill(start.begin(), start.end() - 1);
        for (const NormalContribution& c : added)
            entries[fill[static_cast<std::size_t>(c.vertex)]++] = {c.normal, Direction(c.normal)};
    }

    // A small allowance keeps faces at exactly the angle (and coplanar faces
    // at angle 0) together despite rounding.
    const float limit = static_cast<float>(std::cos(static_cast<double>(crease) *
                                                    (3.14159265358979323846 / 180.0))) -
                        1e-5f;

    normals.vectors.clear();
    normals.corners.clear();
    // Distinct normals per vertex, as a chain through the stored vectors.
    std::vector<std::int32_t> firstAt(vertexCount, -1);
    std::vector<std::int32_t> nextAt;
    for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
         polygon = polygon->next) {
        if (!IsTriangulable(object, *polygon)) continue;
        const Point3f own = Direction(FaceNormal(object, *polygon));
        const bool anyDirection = own.x == 0.0f && own.y == 0.0f && own.z == 0.0f;
        for (std::int32_t k = 0; k < 3; ++k) {
            const auto v = static_cast<std::size_t>(polygon->p[k]);
            Point3f sum{0.0f, 0.0f, 0.0f};
            for (std::size_t e = start[v]; e < start[v + 1]; ++e) {
                const Entry& entry = entries[e];
                if (!anyDirection && entry.direction.x * own.x + entry.direction.y * own.y +
                                             entry.direction.z * own.z <
                                         limit)
                    continue;
                sum.x += entry.normal.x;
                sum.y += entry.normal.y;
                sum.z += entry.normal.z;
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
