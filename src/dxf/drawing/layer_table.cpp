#include "dxf/drawing/layer_table.h"

#include <string_view>

#include "dxf/drawing/aci_palette.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/entry_pairs.h"
#include "dxf/input/text_pairs.h"
#include "dxf/input/value_words.h"
#include "dxf/object_slots.h"

namespace vertoko {

std::uint32_t LayerTable::ColorOf(const std::string& layer) const {
    const auto found = colors_.find(layer);
    return found != colors_.end() ? found->second : AciColor(7);
}

template <PairSource Source>
bool ReadLayerEntry(Source& pairs, LayerTable& table, std::string& message) {
    char name[kLayerCapacity] = "";
    std::int32_t index = 7;
    std::int32_t trueColor = -1;
    // A layer entry refuses no pair.
    const bool read = ReadEntryPairs(pairs, message, "", [&](std::int32_t code) {
        if (code == 2) {
            std::string_view value;
            const PairStatus status = pairs.Text(value);
            if (status == PairStatus::Ok) ReadToken(value, name, sizeof name);
            return status;
        }
        if (code == 62) {
            const PairStatus status = pairs.IntPrefix(index);
            if (index < 0) index = index == INT32_MIN ? 7 : -index;
            if (index < 1 || index > 255) index = 7;
            return status;
        }
        if (code == 420) return pairs.IntPrefix(trueColor);
        return pairs.Skip();
    });
    if (!read) return false;
    const std::uint32_t rgb =
        trueColor >= 0 ? static_cast<std::uint32_t>(trueColor) & 0xFFFFFFu : AciColor(index);
    if (name[0] != '\0') table.Add(name, rgb);
    return true;
}

template bool ReadLayerEntry(TextPairs&, LayerTable&, std::string&);
template bool ReadLayerEntry(BinaryPairs&, LayerTable&, std::string&);

}  // namespace vertoko
