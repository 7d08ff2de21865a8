// The normals the writers give triangle corners, and their computation with
// a smoothing angle: a corner takes only the faces around its vertex that
// lie within the angle of its own face, so sharper edges stay sharp.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "model/mesh_model.h"

namespace vertoko {

// The normals of one object's triangles.
struct ObjectNormals {
    // The normals; unit length unless nearly zero.
    std::vector<Point3f> vectors;
    // Empty: vectors holds one normal per vertex, and each corner takes its
    // vertex's. Otherwise one index into vectors per corner of every
    // triangle that IsTriangulable, triangles in list order.
    std::vector<std::int32_t> corners;

    // The index of corner k of a triangle whose first corner is number
    // cornerBase of the object's written corners.
    std::int32_t Index(const MeshPolygon& triangle, std::size_t cornerBase, std::int32_t k) const {
        return corners.empty() ? triangle.p[k] : corners[cornerBase + static_cast<std::size_t>(k)];
    }
};

// One face normal added at one vertex while the polygons were split.
struct NormalContribution {
    std::int32_t vertex;
    Point3f normal;
};

// Replaces normals with one normal per triangle corner of object (all of
// whose usable polygons are triangles by now): the normalised sum of those
// contributions at the corner's vertex whose direction lies within crease
// degrees of the triangle's own normal. A triangle without a direction of
// its own takes every contribution at the vertex. Equal normals at one
// vertex are stored once. Reorders added. Throws std::bad_alloc when memory
// is short.
void ComputeCreaseNormals(const MeshObject& object, std::vector<NormalContribution>& added,
                          float crease, ObjectNormals& normals);

// Scales v to unit length unless its squared length is nearly zero, as the
// vertex normals of the smoothing with and without an angle both are.
inline Point3f NormalisedIfLong(Point3f v) {
    const float length2 = v.x * v.x + v.y * v.y + v.z * v.z;
    if (length2 > 0.00001f) {
        const float inverse = 1.0f / std::sqrt(length2);
        v.x *= inverse;
        v.y *= inverse;
        v.z *= inverse;
    }
    return v;
}

}  // namespace vertoko
