// The materials file: lines "MATCH = POV-RAY TEXTURE ; OBJ MATERIAL" that
// give the objects of a layer or a colour a texture of their own in
// POV-Ray scenes and a material in OBJ material libraries, and the choice
// of each polygon's line.
//
// MATCH is a layer pattern (model/layer_pattern.h), "color N" (an index
// colour, 1 to 255) or "color #RRGGBB". The POV-Ray part is a whole
// "texture { ... }" on the line; the OBJ part is .mtl statements: "Kd r g b"
// and, if wanted, "Ks r g b", "Ns n" and "d a". A '#' at the start of a
// line, or after the texture, starts a comment. The first line that
// matches a polygon is the one it takes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/drawing_layers.h"
#include "model/mesh_model.h"

namespace vertoko {

struct MaterialRule {
    enum class Match : std::uint8_t { Layer, ColorIndex, ColorRgb };
    Match match = Match::Layer;
    std::string pattern;    // Layer: the pattern; the others: MATCH as written
    std::int32_t aci = 0;   // ColorIndex
    std::uint32_t rgb = 0;  // ColorRgb: 0xRRGGBB
    std::string texture;    // "texture { ... }" as written
    std::string mtl;        // the .mtl statements, each ending "\r\n"
    std::int32_t line = 0;  // its line in the file, from 1
};

struct Materials {
    std::vector<MaterialRule> rules;  // in the file's order
};

// The rules of a materials file's text. A line that cannot be used is left
// out, with a message naming fileName, its line and what is wrong appended
// to messages; the other lines still apply.
Materials ParseMaterials(std::string_view text, std::string_view fileName,
                         std::vector<std::string>& messages);

// The same from the file at path; false, with a message, when it cannot be
// read.
bool ReadMaterials(const std::string& path, Materials& materials,
                   std::vector<std::string>& messages);

// Which rule each polygon of a save takes. A polygon's layer is its
// DrawingLayers entry; its colour is its own (drawing colours on), else the
// colour index its object was split by (multi-object mode), else its
// layer's. "color N" also matches a colour that is index N's in the
// palette aciColor gives, and "color #RRGGBB" an index whose colour it is.
// Without layers, layer patterns match nothing. Safe to use from several
// threads.
class MaterialChoice {
  public:
    MaterialChoice(const Materials& materials, const DrawingLayers* layers,
                   std::uint32_t (*aciColor)(std::int32_t));

    // The index of the rule polygon of object number object takes, or -1.
    std::int32_t Rule(std::int32_t object, const MeshPolygon& polygon) const;

    const MaterialRule& At(std::int32_t rule) const {
        return materials_.rules[static_cast<std::size_t>(rule)];
    }
    bool Empty() const { return materials_.rules.empty(); }

  private:
    const Materials& materials_;
    const DrawingLayers* layers_;
    std::uint32_t (*aciColor_)(std::int32_t);
    std::vector<std::int32_t> layerRule_;    // first layer rule of each layer; -1 none
    std::vector<std::int32_t> colourRules_;  // the colour rules, in order
};

// The material's name in OBJ material libraries: "material_line<N>".
void AppendRuleMaterialName(std::string& out, const MaterialRule& rule);

}  // namespace vertoko
