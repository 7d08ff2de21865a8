// POV-Ray scenes: a .pov file with camera, light and one object statement
// per object, and its include file with the textures and the meshes.
#pragma once

#include <cstdint>
#include <string>

#include "export/layer_output.h"
#include "export/pov_option.h"
#include "model/mesh_model.h"

namespace vertoko {

// True when object has a polygon that can be written as a triangle. POV-Ray
// refuses a mesh without triangles, so such an object is left out of both
// files.
bool HasTriangle(const MeshObject& object);

// What a scene holds besides the model, its camera and its light.
struct PovScene {
    // The camera fills the picture: its distance and its aim come from the
    // model's outline as seen along its line of sight, for the aspect ratio
    // the scene is rendered at.
    bool fit = false;
    // The drawing's Z axis up: the model written as (x, z, y), seen from the
    // front right and above.
    bool zUp = false;
    // A sky, a floor under the model, a soft key light and a fill light.
    bool studio = false;
};

// The scene text: the include line, the camera and the light placed from
// extents (the box around the model in the drawing's axes), and
// "object { dxfobj%d }" for each of the count objects that HasTriangle.
// Without any of scene's options the camera looks from above the box's
// corner of largest x and z, and the light shines from five times the
// centre's distance to that corner. With them the camera carries the
// picture's aspect ratio (right x*image_width/image_height) and numbers are
// written as the shortest text of their float.
std::string PovSceneText(const std::string& includeName, std::int32_t count,
                         const MeshObject* objects, const Extents& extents,
                         const PovScene& scene = {});

// Writes the scene at name and the include file beside it, splitting the
// polygons of the objects into triangles in place; with zUp every vertex and
// normal as (x, z, y). layers adds a comment naming each object's layers
// above its declaration and the materials file's textures. 1 on success, 0
// with msgBuf.
std::int32_t WritePov(const std::string& name, std::int32_t count, MeshObject* objects,
                      const PovOption& povOpt, const Extents& extents, std::string& msgBuf,
                      bool zUp = false, const LayerOutput& layers = {});

}  // namespace vertoko
