// The LAYER entries of the TABLES section: the colour each layer gives the
// entities drawn BYLAYER.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "dxf/input/pair_source.h"

namespace vertoko {

class LayerTable {
  public:
    void Clear() { colors_.clear(); }

    // Keeps the first entry of a name; a later one of the same name is
    // passed over, as CAD programs keep layer names unique.
    void Add(const std::string& name, std::uint32_t rgb) { colors_.emplace(name, rgb); }

    // The 0xRRGGBB colour of layer (a key as ReadToken gives it); white
    // (index 7) for a layer the table does not hold.
    std::uint32_t ColorOf(const std::string& layer) const;

  private:
    std::unordered_map<std::string, std::uint32_t> colors_;
};

// Reads the pairs of one LAYER entry whose "0 / LAYER" pair has just been
// read, up to and including the code of the next group 0 (its value is left
// to the caller), and adds the entry to table: name 2, colour 62 (negative
// when the layer is off, still its colour), true colour 420. False after
// writing message.
template <PairSource Source>
bool ReadLayerEntry(Source& pairs, LayerTable& table, std::string& message);

}  // namespace vertoko
