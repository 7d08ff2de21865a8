#include "dxf/drawing/block_store.h"

#include <string_view>

namespace vertoko {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

BlockStore::~BlockStore() {
    for (auto& block : blocks) FreeSlots(block->slots);
    FreeSlots(drawing_);
}

void BlockStore::Clear(SlotArray& slots) {
    End(slots);
    for (auto& block : blocks) FreeSlots(block->slots);
    blocks.clear();
    byName.clear();
    spellings_.clear();
    topInserts.clear();
    enabled = false;
}

void BlockStore::Begin(std::int32_t block, SlotArray& slots) {
    End(slots);
    drawing_ = slots;
    slots = blocks[static_cast<std::size_t>(block)]->slots;
    blocks[static_cast<std::size_t>(block)]->slots = {};
    current_ = block;
}

void BlockStore::End(SlotArray& slots) {
    if (current_ < 0) return;
    blocks[static_cast<std::size_t>(current_)]->slots = slots;
    slots = drawing_;
    drawing_ = {};
    current_ = -1;
}

std::string_view BlockSpelling(std::string_view line) {
    std::size_t begin = 0;
    std::size_t end = line.size();
    while (begin < end && IsBlank(line[begin])) ++begin;
    while (end > begin && IsBlank(line[end - 1])) --end;
    return line.substr(begin, end - begin);
}

std::string BlockName(std::string_view line) {
    std::string name(BlockSpelling(line));
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

}  // namespace vertoko
