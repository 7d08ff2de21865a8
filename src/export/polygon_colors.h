// The polygons' drawing colours as the writers use them: whether a table
// carries any, each object's distinct colours and their text in the output.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/mesh_model.h"

namespace vertoko {

// True when any polygon of the count objects has a colour of its own.
bool HasPolygonColors(std::int32_t count, const MeshObject* objects);

// 0xRRGGBB of a polygon; white for one without a colour.
std::uint32_t PolygonRgb(const MeshPolygon& polygon);

// The distinct colours of an object's polygons in the order they first
// appear, with each colour's position in that list.
struct ObjectColors {
    std::vector<std::uint32_t> colors;
    std::unordered_map<std::uint32_t, std::size_t> position;

    explicit ObjectColors(const MeshObject& object);
};

// "r g b" (separator between) of 0xRRGGBB, each component as "%g" prints
// component / 255.
void AppendRgb(std::string& out, std::uint32_t rgb, char separator);

// POV-Ray: the name of texture k of object i when the object has several
// colours, "poltexture<i>_<k>".
void AppendColorTextureName(std::string& out, std::int32_t i, std::size_t k);

// POV-Ray: one declaration per colour of object i. An object of one colour
// keeps today's pigment declaration under its texture name; the triangles
// of a mesh take only texture identifiers, so the colours of an object of
// several colours are declared as textures.
void AppendColorTextures(std::string& out, std::int32_t i, const ObjectColors& colors);

}  // namespace vertoko
