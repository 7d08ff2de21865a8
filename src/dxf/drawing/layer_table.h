// The read's layers: every layer the drawing names, in its LAYER entries
// or in its entities' group 8, under one small id each, with the colour the
// entry gives the entities drawn BYLAYER.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dxf/drawing/layer_patterns.h"
#include "dxf/drawing/text_decoding.h"
#include "dxf/input/pair_source.h"
#include "model/drawing_layers.h"

namespace vertoko {

// The layers a read leaves out: those switched off or frozen in the
// drawing when only visible ones are wanted, those no include pattern
// names (when there is one) and those an exclude pattern names.
struct LayerSelection {
    bool visibleOnly = false;
    LayerPatterns include;
    LayerPatterns exclude;

    bool Active() const { return visibleOnly || !include.Empty() || !exclude.Empty(); }
};

// Why a layer's faces are left out.
enum class Omission : std::uint8_t { None, Hidden, LeftOut };

class LayerTable {
  public:
    // Layer "0", which every drawing has and which entities without a
    // group 8 are on, is always id 0.
    static constexpr std::int32_t kZero = 0;

    explicit LayerTable(const TextDecoding* decoding = nullptr) : decoding_(decoding) { Clear(); }
    LayerTable(const LayerTable&) = delete;
    LayerTable& operator=(const LayerTable&) = delete;

    void Clear();

    // How names are decoded; null (the second reader of a large drawing,
    // which has not seen the header) keeps one layer per value exactly as
    // written, for the driver to decode when it takes them over. Set before
    // any name but "0" is met.
    void SetDecoding(const TextDecoding* decoding) {
        decoding_ = decoding;
        selecting_ = decoding != nullptr && selection_.Active();
    }

    // Which layers to leave out; set before any name but "0" is met. Only
    // a table that decodes its names selects.
    void SetSelection(LayerSelection selection);
    // True while some layer may be left out.
    bool Selecting() const { return selecting_; }
    Omission OmissionOf(std::int32_t id) const {
        return selecting_ ? omissions_[static_cast<std::size_t>(id)] : Omission::None;
    }

    // The id of the layer a group 8 (or a LAYER entry's group 2) value
    // names, added when new. A run of entities on one layer costs one
    // comparison with the value before.
    std::int32_t IdOf(std::string_view value) {
        if (value == *last_) [[likely]]
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
    // Hashes a string and a view of one alike, so that a value is looked up
    // without a copy.
    struct ViewHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>{}(text);
        }
    };
    using IdMap = std::unordered_map<std::string, std::int32_t, ViewHash, std::equal_to<>>;

    std::int32_t Lookup(std::string_view value);
    std::int32_t Add(std::string name, std::string_view value);
    // The id of a value met before, as written, or -1.
    // Sets last_ to the value found.
    std::int32_t FindValue(std::string_view value, std::uint32_t hash);
    void EnterValue(std::uint32_t hash, std::int32_t id);

    void Judge(std::int32_t id);

    const TextDecoding* decoding_ = nullptr;
    LayerSelection selection_;
    bool selecting_ = false;
    std::vector<Omission> omissions_;
    std::vector<DrawingLayer> layers_;
    std::vector<std::string> values_;
    std::vector<char> entered_;  // a LAYER entry was read for the layer
    // Every value met, as written: open addressing over a power-of-two
    // table at most half full, an entry the value's hash and its layer's
    // id (-1 empty), the value itself in values_ or aliases_. Entities
    // switch layers face by face in multi-layer drawings: this is looked
    // at for every one of them.
    struct ValueEntry {
        std::uint32_t hash;
        std::int32_t id;  // < 0: empty; >= kAlias: aliases_[id - kAlias]
    };
    static constexpr std::int32_t kAlias = 1 << 30;
    std::vector<ValueEntry> byValue_;
    std::int32_t valueCount_ = 0;
    // Values that name a layer met before under another spelling.
    std::vector<std::pair<std::string, std::int32_t>> aliases_;
    IdMap byKey_;                        // the names, compared as DXF compares them
    const std::string* last_ = nullptr;  // the last value looked up, in values_ or aliases_
    std::int32_t lastId_ = kZero;
};

// What tells two decoded layer names apart: the name without its outer
// blanks, letters a to z upper-cased (DXF compares names without case).
std::string LayerKey(std::string_view name);

// Reads the pairs of one LAYER entry whose "0 / LAYER" pair has just been
// read, up to and including the code of the next group 0 (its value is left
// to the caller), and adds the entry to table: name 2, colour 62 (negative
// when the layer is off, still its colour), flags 70, true colour 420.
// False after writing message.
template <PairSource Source>
bool ReadLayerEntry(Source& pairs, LayerTable& table, std::string& message);

}  // namespace vertoko
