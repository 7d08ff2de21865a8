// The polygons' looks as the writers use them: the drawing colours, whether
// a table carries any, each object's distinct looks and their text in the
// output. A polygon's look is the materials file's line it takes, else its
// drawing colour when the table has drawing colours, else the one texture
// of the options.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "export/materials.h"
#include "model/mesh_model.h"

namespace vertoko {

// True when any polygon of the count objects has a colour of its own.
bool HasPolygonColors(std::int32_t count, const MeshObject* objects);

// 0xRRGGBB of a polygon; white for one without a colour.
std::uint32_t PolygonRgb(const MeshPolygon& polygon);

// A look: 0xRRGGBB for a drawing colour, kDefaultLook for the options'
// texture, kRuleLook | r for rule r of the materials file.
using LookKey = std::uint64_t;
inline constexpr LookKey kDefaultLook = LookKey{1} << 32;
inline constexpr LookKey kRuleLook = LookKey{2} << 32;
inline bool IsRuleLook(LookKey key) { return (key & kRuleLook) != 0; }
inline std::int32_t LookRule(LookKey key) { return static_cast<std::int32_t>(key & 0xFFFFFFFFu); }

// How the polygons of a save take their looks.
struct LookChoice {
    bool drawingColors = true;                  // the table has drawing colours
    const MaterialChoice* materials = nullptr;  // null: no materials file

    LookKey Key(std::int32_t object, const MeshPolygon& polygon) const {
        if (materials != nullptr) {
            const std::int32_t rule = materials->Rule(object, polygon);
            if (rule >= 0) return kRuleLook | static_cast<std::uint32_t>(rule);
        }
        return drawingColors ? PolygonRgb(polygon) : kDefaultLook;
    }
};

// The distinct looks of object number `number` in the order they first
// appear, with each look's position in that list. Without a choice, the
// drawing colours.
struct ObjectColors {
    std::vector<LookKey> colors;
    std::unordered_map<LookKey, std::size_t> position;

    explicit ObjectColors(const MeshObject& object, std::int32_t number = -1,
                          const LookChoice& choice = {});
    std::size_t Position(const MeshPolygon& polygon) const {
        return position.at(choice_.Key(number_, polygon));
    }

  private:
    std::int32_t number_;
    LookChoice choice_;
};

// "r g b" (separator between) of 0xRRGGBB, each component as "%g" prints
// component / 255.
void AppendRgb(std::string& out, std::uint32_t rgb, char separator);

// POV-Ray: the name of texture k of object i when the object has several
// looks, "poltexture<i>_<k>".
void AppendColorTextureName(std::string& out, std::int32_t i, std::size_t k);

// POV-Ray: one declaration per look of object i. An object of one colour
// keeps today's pigment declaration under its texture name, one of the
// default look today's texture; the triangles of a mesh take only texture
// identifiers, so the looks of an object of several are declared as
// textures. A rule's look is its texture as the file writes it.
void AppendColorTextures(std::string& out, std::int32_t i, const ObjectColors& colors,
                         const std::string& defaultTexture = {},
                         const MaterialChoice* materials = nullptr);

}  // namespace vertoko
