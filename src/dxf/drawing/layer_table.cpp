#include "dxf/drawing/layer_table.h"

#include <string_view>

#include "dxf/drawing/aci_palette.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/object_slots.h"
#include "dxf/read_state.h"

namespace vertoko {

std::uint32_t LayerTable::ColorOf(const std::string& layer) const {
    const auto found = colors_.find(layer);
    return found != colors_.end() ? found->second : AciColor(7);
}

std::int32_t ReadLayerEntry(std::FILE*, LayerTable& table, std::string& message) {
    char name[kLayerCapacity] = "";
    std::int32_t index = 7;
    std::int32_t trueColor = -1;
    const bool read = ReadEntryGroups(message, "", [&](std::int32_t code, std::string_view line) {
        if (code == 2) {
            ReadToken(line, name, sizeof name);
        } else if (code == 62) {
            index = ParseIntPrefix(line);
            if (index < 0) index = index == INT32_MIN ? 7 : -index;
            if (index < 1 || index > 255) index = 7;
        } else if (code == 420) {
            trueColor = ParseIntPrefix(line);
        }
        return true;  // a layer entry refuses no pair
    });
    if (!read) return 0;
    const std::uint32_t rgb =
        trueColor >= 0 ? static_cast<std::uint32_t>(trueColor) & 0xFFFFFFu : AciColor(index);
    if (name[0] != '\0') table.Add(name, rgb);
    return 1;
}

}  // namespace vertoko
