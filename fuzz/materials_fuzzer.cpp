// Feeds arbitrary bytes to the materials file's parser, then matches every
// rule it keeps against layers named by pieces of the same bytes. Every kept
// rule must be whole (a texture in braces, a Kd statement, a line number in
// order) and every message must name the file and a line.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "export/materials.h"
#include "model/layer_pattern.h"

namespace {

std::uint32_t Palette(std::int32_t index) { return static_cast<std::uint32_t>(index) * 0x010101u; }

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> messages;
    const vertoko::Materials materials = vertoko::ParseMaterials(text, "f", messages);
    for (const std::string& message : messages) Check(message.rfind("材質ファイル f の ", 0) == 0);
    std::int32_t line = 0;
    for (const vertoko::MaterialRule& rule : materials.rules) {
        Check(rule.line > line);
        line = rule.line;
        Check(rule.texture.rfind("texture", 0) == 0 && rule.texture.back() == '}');
        Check(rule.mtl.rfind("Kd ", 0) == 0 && rule.mtl.size() >= 2 &&
              rule.mtl.compare(rule.mtl.size() - 2, 2, "\r\n") == 0);
        if (rule.match == vertoko::MaterialRule::Match::ColorIndex)
            Check(rule.aci >= 1 && rule.aci <= 255);
    }

    // Layers named by the input cut in pieces at its line ends and blanks.
    vertoko::DrawingLayers layers;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size() && layers.layers.size() < 16; ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == ' ') {
            vertoko::DrawingLayer layer;
            layer.name = std::string(text.substr(start, i - start));
            layer.aci = static_cast<std::int32_t>(i % 256);
            layer.rgb = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFFu;
            layers.layers.push_back(std::move(layer));
            start = i + 1;
        }
    }
    layers.objects = {{.layer = 0, .aci = static_cast<std::int32_t>(size % 256)}};
    const vertoko::MaterialChoice choice(materials, &layers, &Palette);
    for (std::size_t l = 0; l < layers.layers.size(); ++l) {
        vertoko::MeshPolygon polygon{};
        polygon.layer = static_cast<std::int32_t>(l);
        polygon.color = l % 2 == 0 ? 0 : vertoko::kPolygonColorSet | layers.layers[l].rgb;
        for (const std::int32_t object : {0, 1}) {
            const std::int32_t rule = choice.Rule(object, polygon);
            Check(rule >= -1 && rule < static_cast<std::int32_t>(materials.rules.size()));
        }
        // The pattern matcher on its own, with the input's pieces as both.
        for (const vertoko::DrawingLayer& other : layers.layers)
            (void)vertoko::LayerPatternMatches(layers.layers[l].name, other.name);
    }
    return 0;
}
