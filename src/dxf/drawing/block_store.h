// Block definitions and INSERT entities gathered while a drawing is read
// with block expansion on. A block's entities are parsed once into slots of
// its own (keyed by their own layer and colour); the insertions are placed
// when the whole file is known (see block_expansion.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dxf/drawing/color_resolution.h"
#include "dxf/object_slots.h"

namespace vertoko {

struct InsertRecord {
    std::string block;  // name as BlockName gives it
    EntityStyle style{"0", -1, -1};
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

class BlockStore {
  public:
    bool enabled = false;
    std::vector<std::unique_ptr<BlockDefinition>> blocks;
    std::unordered_map<std::string, std::int32_t> byName;  // first definition of a name
    std::vector<InsertRecord> topInserts;                  // of the drawing's layouts

    ~BlockStore() { Clear(); }

    // Puts the drawing's slots back and frees every block.
    void Clear();

    // True while a block definition's entities go to the block's slots.
    bool InsideBlock() const { return current_ >= 0; }

    // Makes block its entities' target, the drawing's slots kept aside.
    void Begin(std::int32_t block);
    // Puts the drawing's slots back; nothing when no block is open.
    void End();

    // Where an INSERT read now belongs.
    std::vector<InsertRecord>& InsertTarget() {
        return current_ >= 0 ? blocks[static_cast<std::size_t>(current_)]->inserts : topInserts;
    }

  private:
    std::int32_t current_ = -1;
    SlotArray drawing_;
};

// The block store of the current read.
BlockStore& ReadBlocks();

// A block name as INSERT and BLOCK give it: the whole value line without
// its outer blanks, letters a to z upper-cased (CAD programs match block
// names without regard to case).
std::string BlockName(std::string_view line);

// True for the names of the layout blocks, whose entities belong to the
// drawing itself: *Model_Space, *Paper_Space… and the older $MODEL_SPACE,
// $PAPER_SPACE.
bool IsLayoutBlock(const std::string& name);

// Reads the groups of a BLOCK whose "0 / BLOCK" pair has just been read,
// up to and including the code line of the next group 0 (its value line is
// left to the caller). A layout block leaves the drawing the target; any
// other becomes the target of the entities up to its ENDBLK. Returns 1 on
// success, 0 after writing the message.
std::int32_t ReadBlockHeader(std::FILE* file, std::string& message);

// Reads the groups of an INSERT the same way and records it with the open
// block, or with the drawing outside blocks and in layout blocks.
std::int32_t ReadInsert(std::FILE* file, std::string& message);

}  // namespace vertoko
