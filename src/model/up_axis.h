// The drawing stood up for programs that take Y as up. CAD drawings are
// right-handed with Z up; POV-Ray is left-handed with Y up, where swapping
// Y and Z turns the model upright without mirroring it; OBJ readers and
// OpenGL are right-handed with Y up, where the rotation (x, z, -y) does the
// same. Normals map as points do (both maps are orthogonal). The model in
// memory keeps the drawing's axes; the writers and the preview map each
// point where they hand it on.
#pragma once

#include "model/mesh_model.h"

namespace vertoko {

// (x, y, z) -> (x, z, y): upright in a left-handed space with Y up.
constexpr Point3f LeftHandedYUp(const Point3f& p) { return {p.x, p.z, p.y}; }

// (x, y, z) -> (x, z, -y): upright in a right-handed space with Y up. A
// point on the plane y = 0 gets +0, not -0, so that it prints as "0".
constexpr Point3f RightHandedYUp(const Point3f& p) { return {p.x, p.z, 0.0f - p.y}; }

// The box around the points mapped by LeftHandedYUp.
constexpr Extents LeftHandedYUp(const Extents& e) {
    return {LeftHandedYUp(e.center), LeftHandedYUp(e.min), LeftHandedYUp(e.max)};
}

// The box around the points mapped by RightHandedYUp: y's bounds swap.
constexpr Extents RightHandedYUp(const Extents& e) {
    return {RightHandedYUp(e.center),
            {e.min.x, e.min.z, 0.0f - e.max.y},
            {e.max.x, e.max.z, 0.0f - e.min.y}};
}

}  // namespace vertoko
