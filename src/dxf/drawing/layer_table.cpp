#include "dxf/drawing/layer_table.h"

#include <climits>

#include "dxf/drawing/aci_palette.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/entry_pairs.h"
#include "dxf/input/text_pairs.h"
#include "dxf/input/value_words.h"

namespace vertoko {

namespace {

constexpr std::size_t kKeyCapacity = 128;

// What tells two layers apart: the first word of the value, upper-cased.
std::string KeyOf(std::string_view value) {
    char key[kKeyCapacity];
    return std::string(key, ReadToken(value, key, sizeof key));
}

// The value without its outer blanks: the name as the drawing spells it.
std::string_view Trimmed(std::string_view value) {
    while (!value.empty() && line_scan::IsBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && line_scan::IsBlank(value.back())) value.remove_suffix(1);
    return value;
}

}  // namespace

void LayerTable::Clear() {
    layers_.clear();
    values_.clear();
    entered_.clear();
    byKey_.clear();
    lastValue_.clear();
    lastId_ = kZero;
    Lookup("0");
    lastValue_ = "0";
}

std::int32_t LayerTable::Lookup(std::string_view value) {
    const auto [found, added] = byKey_.try_emplace(KeyOf(value), Count());
    if (added) {
        DrawingLayer layer;
        layer.name = std::string(Trimmed(value));
        layer.rgb = AciColor(7);
        layers_.push_back(std::move(layer));
        values_.emplace_back(value);
        entered_.push_back(0);
    }
    lastValue_.assign(value);
    lastId_ = found->second;
    return lastId_;
}

void LayerTable::AddEntry(std::string_view value, std::int32_t index, std::int32_t trueColor,
                          std::int32_t flags) {
    const std::int32_t id = IdOf(value);
    const auto at = static_cast<std::size_t>(id);
    if (entered_[at] != 0) return;
    entered_[at] = 1;
    DrawingLayer& layer = layers_[at];
    layer.off = index < 0;
    if (index < 0) index = index == INT32_MIN ? 7 : -index;
    if (index < 1 || index > 255) index = 7;
    layer.aci = index;
    layer.rgb =
        trueColor >= 0 ? static_cast<std::uint32_t>(trueColor) & 0xFFFFFFu : AciColor(index);
    layer.frozen = (flags & 1) != 0;
}

template <PairSource Source>
bool ReadLayerEntry(Source& pairs, LayerTable& table, std::string& message) {
    std::string name;
    std::int32_t index = 7;
    std::int32_t trueColor = -1;
    std::int32_t flags = 0;
    // A layer entry refuses no pair.
    const bool read = ReadEntryPairs(pairs, message, "", [&](std::int32_t code) {
        if (code == 2) {
            std::string_view value;
            const PairStatus status = pairs.Text(value);
            if (status == PairStatus::Ok) name.assign(value);
            return status;
        }
        if (code == 62) return pairs.IntPrefix(index);
        if (code == 70) return pairs.IntPrefix(flags);
        if (code == 420) return pairs.IntPrefix(trueColor);
        return pairs.Skip();
    });
    if (!read) return false;
    if (!Trimmed(name).empty()) table.AddEntry(name, index, trueColor, flags);
    return true;
}

template bool ReadLayerEntry(TextPairs&, LayerTable&, std::string&);
template bool ReadLayerEntry(BinaryPairs&, LayerTable&, std::string&);

}  // namespace vertoko
