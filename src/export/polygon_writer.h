// EASTRAY polygon files and POV-Ray scenes, the two formats of one entry.
#pragma once

#include <cstdint>
#include <string>

#include "export/layer_output.h"
#include "export/pov_option.h"
#include "model/mesh_model.h"

namespace vertoko {

// isPol nonzero: EASTRAY (name itself for one object, "%s%03d.pol" from the
// base name for several). isPol zero: one POV-Ray scene and its include file;
// polygons of more than three corners are split into triangles in place, and
// extents places the camera and the light; zUp stands the drawing's Z axis
// up in the scene (EASTRAY output keeps the drawing's axes); layers names
// the layers and gives the materials file's textures in the scene (EASTRAY
// output takes neither). Returns 1 when every file was written, 0 with a
// message in msgBuf.
std::int32_t WritePolOrPov(const std::string& name, int isPol, std::int32_t count,
                           MeshObject* objects, const std::string& estrOpt, const PovOption& povOpt,
                           const Extents& extents, std::string& msgBuf, bool zUp = false,
                           const LayerOutput& layers = {});

}  // namespace vertoko
