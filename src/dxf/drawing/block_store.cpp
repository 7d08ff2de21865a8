#include "dxf/drawing/block_store.h"

#include <string_view>

#include "dxf/input/dxf_numbers.h"
#include "dxf/read_state.h"

namespace vertoko {

namespace {

constexpr const char* kInvalidInsert = "INSERT:Invalid data.";
constexpr const char* kInvalidBlock = "BLOCK:Invalid data.";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool TakeDouble(std::string_view line, double& out) {
    float value = 0.0f;
    if (!ParseFloat(line, value)) return false;
    out = value;
    return true;
}

}  // namespace

void BlockStore::Clear() {
    End();
    for (auto& block : blocks) FreeSlots(block->slots);
    blocks.clear();
    byName.clear();
    topInserts.clear();
    enabled = false;
}

void BlockStore::Begin(std::int32_t block) {
    End();
    DxfReadState& state = ReadState();
    drawing_ = state.slots;
    state.slots = blocks[static_cast<std::size_t>(block)]->slots;
    blocks[static_cast<std::size_t>(block)]->slots = {};
    current_ = block;
}

void BlockStore::End() {
    if (current_ < 0) return;
    DxfReadState& state = ReadState();
    blocks[static_cast<std::size_t>(current_)]->slots = state.slots;
    state.slots = drawing_;
    drawing_ = {};
    current_ = -1;
}

BlockStore& ReadBlocks() {
    static BlockStore* store = new BlockStore();
    return *store;
}

std::string BlockName(std::string_view line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && IsBlank(line[begin])) ++begin;
    while (end > begin && IsBlank(line[end - 1])) --end;
    std::string name(line.substr(begin, end - begin));
    for (char& c : name) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

bool IsLayoutBlock(const std::string& name) {
    const std::string_view n(name);
    return n.starts_with("*MODEL_SPACE") || n.starts_with("*PAPER_SPACE") || n == "$MODEL_SPACE" ||
           n == "$PAPER_SPACE";
}

std::int32_t ReadBlockHeader(std::FILE*, std::string& message) {
    BlockStore& store = ReadBlocks();
    store.End();
    auto block = std::make_unique<BlockDefinition>();
    bool named = false;
    const bool ok =
        ReadEntryGroups(message, kInvalidBlock, [&](std::int32_t code, std::string_view line) {
            if (code == 2 || (code == 3 && !named)) {
                block->name = BlockName(line);
                named = true;
            } else if (code == 10 || code == 20 || code == 30) {
                return TakeDouble(line, block->base[code / 10 - 1]);
            }
            return true;
        });
    if (!ok) return 0;
    if (IsLayoutBlock(block->name)) return 1;

    // A later definition of a name already defined is read but never placed.
    const auto index = static_cast<std::int32_t>(store.blocks.size());
    store.byName.emplace(block->name, index);
    if (!CreateSlots(block->slots, true)) {
        message = "Memory allocation failed.(91)";
        return 0;
    }
    store.blocks.push_back(std::move(block));
    store.Begin(index);
    return 1;
}

std::int32_t ReadInsert(std::FILE*, std::string& message) {
    InsertRecord insert;
    const bool ok =
        ReadEntryGroups(message, kInvalidInsert, [&](std::int32_t code, std::string_view line) {
            switch (code) {
                case 2:
                    insert.block = BlockName(line);
                    return true;
                case 8: {
                    char layer[kLayerCapacity];
                    ReadToken(line, layer, sizeof layer);
                    insert.style.layer = layer;
                    return true;
                }
                case 62:
                    return ParseInt(line, insert.style.index);
                case 420:
                    return ParseInt(line, insert.style.trueColor);
                case 10:
                case 20:
                case 30:
                    return TakeDouble(line, insert.point[code / 10 - 1]);
                case 41:
                case 42:
                case 43:
                    return TakeDouble(line, insert.scale[code - 41]);
                case 50:
                    return TakeDouble(line, insert.rotation);
                case 44:
                    return TakeDouble(line, insert.columnSpacing);
                case 45:
                    return TakeDouble(line, insert.rowSpacing);
                case 70:
                case 71: {
                    std::int32_t count = 1;
                    if (!ParseInt(line, count)) return false;
                    // 0 and negative counts place the block once, as CAD programs do.
                    (code == 70 ? insert.columns : insert.rows) = count > 0 ? count : 1;
                    return true;
                }
                case 210:
                case 220:
                case 230:
                    return TakeDouble(line, insert.extrusion[code / 10 - 21]);
                default:
                    return true;
            }
        });
    if (!ok) return 0;
    ReadBlocks().InsertTarget().push_back(std::move(insert));
    return 1;
}

}  // namespace vertoko
