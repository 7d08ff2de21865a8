// Splitting of polygons into triangles in place and the accumulation of
// vertex normals, for the POV-Ray writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/mesh_model.h"
#include "mesh/crease_normals.h"

namespace vertoko {

// True when polygon has at least three corners and every corner indexes a
// vertex of object: only such polygons can become triangles.
bool IsTriangulable(const MeshObject& object, const MeshPolygon& polygon);

// Normal at the first corner: the cross product of the directions to the
// second and to the last corner, each normalised unless nearly zero. Not
// normalised itself; its length is the sine of the first corner's angle.
Point3f FaceNormal(const MeshObject& object, const MeshPolygon& polygon);

// Rotates every corner so that normal points along +z and stores x, y, z of
// each corner in projected (3 floats per corner). False when out of memory.
bool ProjectPolygon(const MeshObject& object, const MeshPolygon& polygon, Point3f normal,
                    std::vector<float>& projected);

// Picks a diagonal of polygon (at least four corners) from its projected
// corners and splits there with SplitPolygon. 1 on success, 0 with msgBuf.
std::int32_t ChooseDiagonal(MeshObject& object, MeshPolygon& polygon, const float* projected,
                            std::string& msgBuf);

// Splits polygon along the diagonal between corner positions a < b: a new
// polygon of corners a..b, taken like every node of object, is linked right
// after it, which keeps 0..a and b..end. 1 on success, 0 with msgBuf when
// memory is short.
std::int32_t SplitPolygon(MeshObject& object, MeshPolygon& polygon, std::int32_t a, std::int32_t b,
                          std::string& msgBuf);

// Splits every polygon of more than three corners of the count objects into
// triangles. With normals (one record per object) it also sums the face
// normals at each corner's vertex and normalises the sums into one normal per
// vertex; with crease below 180 degrees it gives every triangle corner the
// sum over only those faces within crease of its own (ComputeCreaseNormals).
// Polygons that IsTriangulable refuses are passed over. 1 on success, 0 with
// msgBuf when memory is short.
std::int32_t TriangulateAndSmooth(std::int32_t count, MeshObject* objects, ObjectNormals* normals,
                                  std::string& msgBuf, float crease = 180.0f);

}  // namespace vertoko
