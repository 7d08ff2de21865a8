// Wavefront OBJ files.
#pragma once

#include <cstdint>
#include <string>

#include "export/layer_output.h"
#include "mesh/crease_normals.h"
#include "model/mesh_model.h"

namespace vertoko {

// Writes name for one object, "%s%03d.obj" from the base name for several;
// with zUp every vertex as (x, z, -y), the drawing's Z axis up in the Y-up
// right-handed space OBJ readers assume. layers names each file's layers
// ("o" or "g", see ObjText) and gives faces the materials file's materials,
// which go to the library with the drawing colours'. Returns 1 when every
// file was written, 0 with a message in msgBuf.
std::int32_t WriteObj(const std::string& name, std::int32_t count, const MeshObject* objects,
                      std::string& msgBuf, bool zUp = false, const LayerOutput& layers = {});

// The same with vertex normals: the polygons are split into triangles in
// place and smoothed as the POV-Ray writer does, with the smoothing angle
// crease (0: every face flat), and every file gets "vn" lines after its
// vertices and faces "f v//vn ...". Polygons that cannot be triangles are
// written as they are, without normals. zUp maps normals as vertices.
std::int32_t WriteObjWithNormals(const std::string& name, std::int32_t count, MeshObject* objects,
                                 float crease, std::string& msgBuf, bool zUp = false,
                                 const LayerOutput& layers = {});

}  // namespace vertoko
