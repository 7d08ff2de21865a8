#include "dxf/layer_table.h"

#include <string_view>

#include "dxf/aci_palette.h"
#include "dxf/dxf_numbers.h"
#include "dxf/object_slots.h"
#include "dxf/read_state.h"

namespace vertoko {

std::uint32_t LayerTable::ColorOf(const std::string& layer) const {
    const auto found = colors_.find(layer);
    return found != colors_.end() ? found->second : AciColor(7);
}

std::int32_t ReadLayerEntry(std::FILE*, LayerTable& table, std::string& message) {
    DxfInput& input = ReadState().input;
    char name[kLayerCapacity] = "";
    std::int32_t index = 7;
    std::int32_t trueColor = -1;
    std::string_view line;
    for (;;) {
        ++input.lineCounter;
        LineStatus status = input.ReadCodeLine(line);
        if (status != LineStatus::Ok) {
            message = InputFailureMessage(status, "データの途中でファイルが終わっています.");
            return 0;
        }
        const std::int32_t code = ParseIntPrefix(line);
        if (code == 0) break;
        ++input.lineCounter;
        status = input.ReadValueLine(line);
        if (status != LineStatus::Ok) {
            message = InputFailureMessage(status, "データの途中でファイルが終わっています.");
            return 0;
        }
        if (code == 2) {
            ReadToken(line, name, sizeof name);
        } else if (code == 62) {
            index = ParseIntPrefix(line);
            if (index < 0) index = index == INT32_MIN ? 7 : -index;
            if (index < 1 || index > 255) index = 7;
        } else if (code == 420) {
            trueColor = ParseIntPrefix(line);
        }
        // Extended data counts the rest of a cut line as the driver does.
        if (code >= 1000) ++input.lineCounter;
        if (input.LastLineCut()) input.SkipLine();
    }
    const std::uint32_t rgb =
        trueColor >= 0 ? static_cast<std::uint32_t>(trueColor) & 0xFFFFFFu : AciColor(index);
    if (name[0] != '\0') table.Add(name, rgb);
    return 1;
}

}  // namespace vertoko
