// The axes each writer writes in: the drawing's own, or with the Z-up
// option the drawing stood up the way the format's readers expect (see
// model/up_axis.h). EASTRAY output always keeps the drawing's axes.
#pragma once

#include "model/up_axis.h"

namespace vertoko {

// A point or normal as the POV-Ray writer writes it.
constexpr Point3f PovPoint(const Point3f& p, bool zUp) { return zUp ? LeftHandedYUp(p) : p; }

// A point or normal as the OBJ writer writes it.
constexpr Point3f ObjPoint(const Point3f& p, bool zUp) { return zUp ? RightHandedYUp(p) : p; }

}  // namespace vertoko
