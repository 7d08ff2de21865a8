// The mesh2 form of one object in a POV-Ray include file: each vertex and
// each normal written once, the triangles as index triples into them.
#pragma once

#include <cstdint>

#include "export/output_file.h"
#include "export/polygon_colors.h"
#include "mesh/crease_normals.h"
#include "model/mesh_model.h"

namespace vertoko {

// Appends the declaration of dxfobj<number> as a mesh2 of the object's
// triangles (polygons that IsTriangulable, split into triangles already)
// with texture poltexture<number>; with normals also normal_vectors and,
// where corners do not simply take their vertex's normal, normal_indices.
// With colors (an object of several looks) a texture_list of the object's
// look textures and each face's index into it. With zUp the
// vertices and normals are written as (x, z, y). The object must have a
// triangle.
void AppendMesh2(OutputFile& file, std::int32_t number, const MeshObject& object,
                 const ObjectNormals* normals, const ObjectColors* colors = nullptr,
                 bool zUp = false);

}  // namespace vertoko
