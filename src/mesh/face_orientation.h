// Consistent winding of one object's faces: faces that share an edge run it
// in opposite directions, and closed parts face outward.
#pragma once

#include <cstdint>
#include <string>

#include "model/mesh_model.h"

namespace vertoko {

// Reverses the corner order of faces of object (keeping each first corner)
// so that within every part connected through edges of exactly two faces,
// those two faces run their edge in opposite directions. A part whose every
// edge has two faces and whose winding agrees everywhere is turned to enclose
// a positive volume; any other part keeps the direction most of its faces
// already had. Edges of three or more faces link nothing. Faces of fewer
// than three corners or with a corner outside the vertex list are left out.
// Requires vtbl. Returns 0 on success and 1 when memory is short, with the
// message in message.
std::int32_t OrientFaces(MeshObject& object, std::string& message);

}  // namespace vertoko
