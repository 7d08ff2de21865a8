// Wavefront OBJ files.
#pragma once

#include <cstdint>
#include <string>

#include "dxf/mesh_model.h"

namespace vertoko {

// Writes name for one object, "%s%03d.obj" from the base name for several.
// Returns 1 when every file was written, 0 with a message in msgBuf.
std::int32_t WriteObj(const std::string& name, std::int32_t count, const MeshObject* objects,
                      std::string& msgBuf);

}  // namespace vertoko
