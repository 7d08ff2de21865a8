#include "dxf/drawing/layer_table.h"

#include <climits>

#include "dxf/drawing/aci_palette.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/entry_pairs.h"
#include "dxf/input/line_scan.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

namespace {

std::uint32_t ValueHash(std::string_view value) {
    std::uint32_t h = 2166136261u;  // FNV-1a: names are short
    for (const char c : value) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h ^ (h >> 15);
}

// The value without its outer blanks.
std::string_view Trimmed(std::string_view value) {
    while (!value.empty() && line_scan::IsBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && line_scan::IsBlank(value.back())) value.remove_suffix(1);
    return value;
}

}  // namespace

std::string LayerKey(std::string_view name) {
    std::string key(Trimmed(name));
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

void LayerTable::Clear() {
    layers_.clear();
    values_.clear();
    entered_.clear();
    omissions_.clear();
    byValue_.assign(64, ValueEntry{0, -1});
    valueCount_ = 0;
    aliases_.clear();
    byKey_.clear();
    lastId_ = Add("0", "0");
    last_ = &values_.front();
}

std::int32_t LayerTable::Add(std::string name, std::string_view value) {
    const std::int32_t id = Count();
    DrawingLayer layer;
    layer.name = std::move(name);
    layer.rgb = AciColor(7);
    layers_.push_back(std::move(layer));
    values_.emplace_back(value);
    entered_.push_back(0);
    omissions_.push_back(Omission::None);
    EnterValue(ValueHash(value), id);
    if (decoding_ != nullptr || id == kZero) byKey_.emplace(LayerKey(layers_.back().name), id);
    Judge(id);
    return id;
}

void LayerTable::SetSelection(LayerSelection selection) {
    selection_ = std::move(selection);
    selecting_ = decoding_ != nullptr && selection_.Active();
    for (std::int32_t id = 0; id < Count(); ++id) Judge(id);
}

void LayerTable::Judge(std::int32_t id) {
    if (!selecting_ || decoding_ == nullptr) return;
    const DrawingLayer& layer = layers_[static_cast<std::size_t>(id)];
    Omission omission = Omission::None;
    if (selection_.visibleOnly && (layer.off || layer.frozen)) {
        omission = Omission::Hidden;
    } else if ((!selection_.include.Empty() && !selection_.include.Matches(layer.name)) ||
               selection_.exclude.Matches(layer.name)) {
        omission = Omission::LeftOut;
    }
    omissions_[static_cast<std::size_t>(id)] = omission;
}

std::int32_t LayerTable::FindValue(std::string_view value, std::uint32_t hash) {
    const std::size_t mask = byValue_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const ValueEntry& entry = byValue_[i];
        if (entry.id < 0) return -1;
        if (entry.hash != hash) continue;
        if (entry.id >= kAlias) {
            const auto& alias = aliases_[static_cast<std::size_t>(entry.id - kAlias)];
            if (alias.first == value) {
                last_ = &alias.first;
                return alias.second;
            }
        } else if (values_[static_cast<std::size_t>(entry.id)] == value) {
            last_ = &values_[static_cast<std::size_t>(entry.id)];
            return entry.id;
        }
    }
}

void LayerTable::EnterValue(std::uint32_t hash, std::int32_t id) {
    if (2 * (static_cast<std::size_t>(valueCount_) + 1) > byValue_.size()) {
        std::vector<ValueEntry> old(2 * byValue_.size(), ValueEntry{0, -1});
        old.swap(byValue_);
        for (const ValueEntry& entry : old) {
            if (entry.id >= 0) {
                const std::size_t mask = byValue_.size() - 1;
                std::size_t i = entry.hash & mask;
                while (byValue_[i].id >= 0) i = (i + 1) & mask;
                byValue_[i] = entry;
            }
        }
    }
    const std::size_t mask = byValue_.size() - 1;
    std::size_t i = hash & mask;
    while (byValue_[i].id >= 0) i = (i + 1) & mask;
    byValue_[i] = {hash, id};
    ++valueCount_;
}

std::int32_t LayerTable::Lookup(std::string_view value) {
    // A value met before, as written: no decoding again.
    const std::uint32_t hash = ValueHash(value);
    if (const std::int32_t found = FindValue(value, hash); found >= 0) {
        lastId_ = found;
    } else if (decoding_ == nullptr) {
        lastId_ = Add(std::string(value), value);
        last_ = &values_.back();
    } else {
        // Decoded first: folding the case of the bytes of a code page
        // would change the trail bytes of its double-byte characters.
        std::string name = decoding_->Decode(Trimmed(value));
        if (const auto same = byKey_.find(LayerKey(name)); same != byKey_.end()) {
            lastId_ = same->second;
            aliases_.emplace_back(std::string(value), lastId_);
            EnterValue(hash, kAlias + static_cast<std::int32_t>(aliases_.size() - 1));
            last_ = &aliases_.back().first;
        } else {
            lastId_ = Add(std::move(name), value);
            last_ = &values_.back();
        }
    }
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
    Judge(id);
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
