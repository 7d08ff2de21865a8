#include "dxf/drawing/color_resolution.h"

#include <cstring>

#include "dxf/drawing/aci_palette.h"

namespace vertoko {

namespace {

constexpr std::int32_t kByBlock = 0;

bool IsLayerZero(std::int32_t layer) { return layer == LayerTable::kZero; }

bool IsPaletteIndex(std::int32_t index) { return index >= 1 && index <= 255; }

}  // namespace

void DrawingColors::Clear() {
    enabled = false;
    styles_.clear();
    resolved_.clear();
    numbers_.clear();
}

std::uint32_t DrawingColors::StyleOf(std::int32_t layer, std::int32_t index,
                                     std::int32_t trueColor) {
    const std::int32_t groups[3] = {layer, index, trueColor};
    std::string key(reinterpret_cast<const char*>(groups), sizeof groups);
    const auto [entry, added] =
        numbers_.emplace(std::move(key), static_cast<std::uint32_t>(styles_.size() + 1));
    if (added) styles_.push_back({layer, index, trueColor});
    return entry->second;
}

void DrawingColors::ResolveStyles() {
    resolved_.clear();
    resolved_.reserve(styles_.size());
    for (const EntityStyle& style : styles_) {
        if (style.trueColor >= 0) {
            resolved_.push_back(
                {Source::Fixed, static_cast<std::uint32_t>(style.trueColor) & 0xFFFFFFu});
        } else if (IsPaletteIndex(style.index)) {
            resolved_.push_back({Source::Fixed, AciColor(style.index)});
        } else if (style.index == kByBlock) {
            resolved_.push_back({Source::ByBlock, AciColor(7)});
        } else if (IsLayerZero(style.layer)) {
            resolved_.push_back({Source::LayerZero, layers->ColorOf(style.layer)});
        } else {
            resolved_.push_back({Source::Fixed, layers->ColorOf(style.layer)});
        }
    }
}

std::uint32_t DrawingColors::TopLevelRgb(std::uint32_t style) const {
    if (style == 0 || style > resolved_.size()) return AciColor(7);
    return resolved_[style - 1].rgb;
}

std::uint32_t DrawingColors::PlacedRgb(std::uint32_t style, const InsertColors& insert) const {
    if (style == 0 || style > resolved_.size()) return AciColor(7);
    const Resolved& r = resolved_[style - 1];
    switch (r.source) {
        case Source::ByBlock:
            return insert.blockRgb;
        case Source::LayerZero:
            return insert.layerRgb;
        case Source::Fixed:
            break;
    }
    return r.rgb;
}

std::uint32_t DrawingColors::GroupsRgb(const EntityStyle& style, const InsertColors* outer) const {
    if (style.trueColor >= 0) return static_cast<std::uint32_t>(style.trueColor) & 0xFFFFFFu;
    if (IsPaletteIndex(style.index)) return AciColor(style.index);
    if (style.index == kByBlock) return outer != nullptr ? outer->blockRgb : AciColor(7);
    if (outer != nullptr && IsLayerZero(style.layer)) return outer->layerRgb;
    return layers->ColorOf(style.layer);
}

void ResolveSlotColors(DrawingColors& colors, SlotArray& slots) {
    colors.ResolveStyles();
    for (std::int32_t i = 0; i < slots.count; ++i) {
        for (MeshPolygon* p = slots.slots[i].polygonHead; p != nullptr; p = p->next)
            p->color = kPolygonColorSet | colors.TopLevelRgb(p->color);
    }
}

}  // namespace vertoko
