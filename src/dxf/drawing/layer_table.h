// The read's layers: every layer the drawing names, in its LAYER entries
// or in its entities' group 8, under one small id each, with the colour the
// entry gives the entities drawn BYLAYER.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dxf/input/pair_source.h"
#include "model/drawing_layers.h"

namespace vertoko {

class LayerTable {
  public:
    // Layer "0", which every drawing has and which entities without a
    // group 8 are on, is always id 0.
    static constexpr std::int32_t kZero = 0;

    LayerTable() { Clear(); }

    void Clear();

    // The id of the layer a group 8 (or a LAYER entry's group 2) value
    // names, added when new. A run of entities on one layer costs one
    // comparison with the value before.
    std::int32_t IdOf(std::string_view value) {
        if (value == lastValue_) [[likely]]
            return lastId_;
        return Lookup(value);
    }

    // A LAYER entry: its name, colour (group 62, negative when the layer is
    // off), true colour (420, -1 when absent) and flags (70). The first
    // entry of a name counts; CAD programs keep layer names unique.
    void AddEntry(std::string_view value, std::int32_t index, std::int32_t trueColor,
                  std::int32_t flags);

    // The 0xRRGGBB colour of the layer's entry; white (index 7) without one.
    std::uint32_t ColorOf(std::int32_t id) const {
        return layers_[static_cast<std::size_t>(id)].rgb;
    }

    std::int32_t Count() const { return static_cast<std::int32_t>(layers_.size()); }
    const std::vector<DrawingLayer>& Layers() const { return layers_; }
    // The value the layer was first met with, as the file writes it.
    const std::string& Value(std::int32_t id) const {
        return values_[static_cast<std::size_t>(id)];
    }

  private:
    std::int32_t Lookup(std::string_view value);

    std::vector<DrawingLayer> layers_;
    std::vector<std::string> values_;
    std::vector<char> entered_;  // a LAYER entry was read for the layer
    std::unordered_map<std::string, std::int32_t> byKey_;
    std::string lastValue_;
    std::int32_t lastId_ = kZero;
};

// Reads the pairs of one LAYER entry whose "0 / LAYER" pair has just been
// read, up to and including the code of the next group 0 (its value is left
// to the caller), and adds the entry to table: name 2, colour 62 (negative
// when the layer is off, still its colour), flags 70, true colour 420.
// False after writing message.
template <PairSource Source>
bool ReadLayerEntry(Source& pairs, LayerTable& table, std::string& message);

}  // namespace vertoko
