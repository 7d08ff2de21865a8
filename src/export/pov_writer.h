// POV-Ray scenes: a .pov file with camera, light and one object statement
// per object, and its include file with the textures and the meshes.
#pragma once

#include <cstdint>
#include <string>

#include "model/mesh_model.h"
#include "export/pov_option.h"

namespace vertoko {

// True when object has a polygon that can be written as a triangle. POV-Ray
// refuses a mesh without triangles, so such an object is left out of both
// files.
bool HasTriangle(const MeshObject& object);

// The scene text: the include line, the camera and the light placed from
// extents (the box around the model), and "object { dxfobj%d }" for each of
// the count objects that HasTriangle. With fit the camera keeps its line of
// sight but stands where the sphere around the box just fills the default
// 4:3 view, and the light keeps its direction from the centre, moved as far
// as the camera.
std::string PovSceneText(const std::string& includeName, std::int32_t count,
                         const MeshObject* objects, const Extents& extents, bool fit = false);

// Writes the scene at name and the include file beside it, splitting the
// polygons of the objects into triangles in place. 1 on success, 0 with
// msgBuf.
std::int32_t WritePov(const std::string& name, std::int32_t count, MeshObject* objects,
                      const PovOption& povOpt, const Extents& extents, std::string& msgBuf);

}  // namespace vertoko
