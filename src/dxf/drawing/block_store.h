// Block definitions and INSERT entities gathered while a drawing is read
// with block expansion on. A block's entities are parsed once into slots of
// its own (keyed by their own layer and colour); the insertions are placed
// when the whole file is known (see block_expansion.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dxf/drawing/color_resolution.h"
#include "dxf/object_slots.h"

namespace vertoko {

struct InsertRecord {
    std::string block;  // name as BlockName gives it
    EntityStyle style{LayerTable::kZero, -1, -1};
    double point[3] = {0.0, 0.0, 0.0};
    double scale[3] = {1.0, 1.0, 1.0};
    double rotation = 0.0;  // degrees about the insert's Z axis
    std::int32_t columns = 1;
    std::int32_t rows = 1;
    double columnSpacing = 0.0;
    double rowSpacing = 0.0;
    double extrusion[3] = {0.0, 0.0, 1.0};
    std::int32_t target = -1;  // index in BlockStore::blocks once resolved, -1 when missing
};

struct BlockDefinition {
    std::string name;
    double base[3] = {0.0, 0.0, 0.0};
    SlotArray slots;
    std::vector<InsertRecord> inserts;  // nested insertions, in file order
};

// While a block definition is open its slots stand in the read's slot
// array, the drawing's kept aside here.
class BlockStore {
  public:
    bool enabled = false;
    std::vector<std::unique_ptr<BlockDefinition>> blocks;
    std::unordered_map<std::string, std::int32_t> byName;  // first definition of a name
    std::vector<InsertRecord> topInserts;                  // of the drawing's layouts

    BlockStore() = default;
    BlockStore(const BlockStore&) = delete;
    BlockStore& operator=(const BlockStore&) = delete;
    ~BlockStore();

    // Puts the drawing's slots back into slots and frees every block.
    void Clear(SlotArray& slots);

    // True while a block definition's entities go to the block's slots.
    bool InsideBlock() const { return current_ >= 0; }

    // Makes block its entities' target in slots, the drawing's kept aside.
    void Begin(std::int32_t block, SlotArray& slots);
    // Puts the drawing's slots back into slots; nothing when no block is open.
    void End(SlotArray& slots);

    // Notes how the drawing writes the block name key, unless a spelling
    // of it was met before: the report names blocks as written.
    void NoteSpelling(const std::string& key, std::string_view spelling) {
        spellings_.try_emplace(key, spelling);
    }
    // The first spelling met of key, or key itself.
    const std::string& SpellingOf(const std::string& key) const {
        const auto found = spellings_.find(key);
        return found != spellings_.end() ? found->second : key;
    }

    // Where an INSERT read now belongs.
    std::vector<InsertRecord>& InsertTarget() {
        return current_ >= 0 ? blocks[static_cast<std::size_t>(current_)]->inserts : topInserts;
    }

  private:
    std::unordered_map<std::string, std::string> spellings_;
    std::int32_t current_ = -1;
    SlotArray drawing_;
};

// A block name as INSERT and BLOCK give it: the whole value line without
// its outer blanks, letters a to z upper-cased (CAD programs match block
// names without regard to case).
std::string BlockName(std::string_view line);

// The same name as the drawing writes it: without its outer blanks only.
std::string_view BlockSpelling(std::string_view line);

// True for the names of the layout blocks, whose entities belong to the
// drawing itself: *Model_Space, *Paper_Space… and the older $MODEL_SPACE,
// $PAPER_SPACE.
bool IsLayoutBlock(const std::string& name);

}  // namespace vertoko
