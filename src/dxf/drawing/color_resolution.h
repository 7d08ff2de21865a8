// The drawing's colours: each entity's colour groups are kept as a small
// style number on its polygons while the file is read, and turned into
// 0xRRGGBB once the LAYER table is known, at the top level of the drawing or
// inside the insertion that places a block's copy.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "dxf/drawing/layer_table.h"
#include "dxf/object_slots.h"

namespace vertoko {

// An entity's colour groups: layer (its id in the read's LayerTable), 62
// (-1 when absent) and 420 (-1 when absent).
struct EntityStyle {
    std::int32_t layer = LayerTable::kZero;
    std::int32_t index = -1;
    std::int32_t trueColor = -1;
};

// What a BYBLOCK colour and a BYLAYER colour on layer "0" become inside a
// block: the colour of the inserting INSERT and the colour of its layer.
struct InsertColors {
    std::uint32_t blockRgb;
    std::uint32_t layerRgb;
};

struct DrawingColors {
    bool enabled = false;
    const LayerTable* layers = nullptr;  // the read's, set with the read

    void Clear();

    // 0 when colours are off; otherwise the style's number (from 1), the
    // same for equal groups.
    std::uint32_t StyleOf(std::int32_t layer, std::int32_t index, std::int32_t trueColor);

    // 0xRRGGBB of a style outside every block (BYBLOCK is white there).
    std::uint32_t TopLevelRgb(std::uint32_t style) const;
    // 0xRRGGBB of a style of an entity placed by an insertion.
    std::uint32_t PlacedRgb(std::uint32_t style, const InsertColors& insert) const;
    // 0xRRGGBB of groups given directly (an INSERT's own), with the
    // surrounding insertion or none.
    std::uint32_t GroupsRgb(const EntityStyle& style, const InsertColors* outer) const;

    // Once the LAYER table is complete: fixes what each style does not
    // take from an insertion.
    void ResolveStyles();

  private:
    enum class Source : std::uint8_t { Fixed, ByBlock, LayerZero };
    struct Resolved {
        Source source;
        std::uint32_t rgb;
    };
    std::vector<EntityStyle> styles_;
    std::vector<Resolved> resolved_;
    std::unordered_map<std::string, std::uint32_t> numbers_;
};

// Once the LAYER table is complete: fixes every style (ResolveStyles) and
// replaces the style number of every polygon of the slots by its top-level
// colour (kPolygonColorSet with the RGB value).
void ResolveSlotColors(DrawingColors& colors, SlotArray& slots);

}  // namespace vertoko
