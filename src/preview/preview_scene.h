// The drawing side of the preview: fixed lights, the model compiled into
// display list 1, and the per-paint draw. All calls go through the run-time
// OpenGL table and need the panel's context to be current.
#pragma once

#include <cstdint>

#include "model/mesh_model.h"

namespace vertoko {

struct DragMesh;

// The display lists of the preview: the model as it is, and the lighter
// one drawn while the user drags.
inline constexpr unsigned kModelList = 1;
inline constexpr unsigned kDragList = 2;

// The normal of a polygon from corners a, b and c (its first, second and
// last): (b - a) x (c - a), normalised when its length is at least 0.00001
// and left as it is otherwise.
Point3f FaceNormal(const Point3f& a, const Point3f& b, const Point3f& c);

// Corner positions of the normal of a polygon of cornerCount corners (0, 1,
// last), clamped into the polygon so that one- and two-corner polygons never
// read past their index array.
void NormalCorners(std::int32_t cornerCount, std::int32_t& first, std::int32_t& second,
                   std::int32_t& last);

// Lights 1 and 2 and the light model, the diffuse material, lighting and the
// depth test on. Call while the model-view matrix is the identity, so that
// the lights stay fixed relative to the viewer.
void SetupSceneLights(const float objColor[4]);

// Replaces display list 1 with every polygon of the count objects, moved by
// -center, one face normal per polygon; drops the model rotation. Polygons
// whose corner indices lie outside their object's vertex table are skipped.
// Polygons with a drawing colour are drawn in it instead of the object
// colour (a table has colours on all polygons or on none). With zUp the
// points and normals are stood up as (x, z, -y).
void BuildModelList(std::int32_t count, const MeshObject* objects, const Point3f& center,
                    bool zUp = false);

// Replaces display list 2 with the triangles of mesh, one face normal per
// triangle, each colour group in its colour as display list 1 has it, stood
// up as (x, z, -y) with zUp.
void BuildDragList(const DragMesh& mesh, bool zUp);

// Clears to backColor, takes objColor as the diffuse material and replays
// list (display list 1 unless told).
void DrawScene(const float backColor[3], const float objColor[4], unsigned list = kModelList);

}  // namespace vertoko
