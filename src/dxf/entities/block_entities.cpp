#include "dxf/entities/block_entities.h"

#include <memory>
#include <string_view>

#include "dxf/entities/entity_builder.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/entry_pairs.h"
#include "dxf/input/text_pairs.h"

namespace vertoko {

namespace {

constexpr const char* kInvalidInsert = "INSERT:Invalid data.";
constexpr const char* kInvalidBlock = "BLOCK:Invalid data.";

// A coordinate as a float, kept as a double for the placement arithmetic.
template <PairSource Source>
PairStatus TakeDouble(Source& pairs, double& out) {
    float value = 0.0f;
    const PairStatus status = pairs.Float(value);
    if (status == PairStatus::Ok) out = value;
    return status;
}

// The name's key into out; the store notes how it is written.
template <PairSource Source>
PairStatus TakeName(Source& pairs, BlockStore& store, std::string& out) {
    std::string_view value;
    const PairStatus status = pairs.Text(value);
    if (status == PairStatus::Ok) {
        out = BlockName(value);
        store.NoteSpelling(out, BlockSpelling(value));
    }
    return status;
}

}  // namespace

template <PairSource Source>
bool ReadBlockHeader(ReadContext& context, Source& pairs) {
    BlockStore& store = context.blocks;
    store.End(context.slots);
    auto block = std::make_unique<BlockDefinition>();
    bool named = false;
    const bool ok = ReadEntryPairs(pairs, context.message, kInvalidBlock, [&](std::int32_t code) {
        if (code == 2 || (code == 3 && !named)) {
            named = true;
            return TakeName(pairs, store, block->name);
        }
        if (code == 10 || code == 20 || code == 30)
            return TakeDouble(pairs, block->base[code / 10 - 1]);
        return pairs.Skip();
    });
    if (!ok) return false;
    if (IsLayoutBlock(block->name)) return true;

    // A later definition of a name already defined is read but never placed.
    const auto index = static_cast<std::int32_t>(store.blocks.size());
    store.byName.emplace(block->name, index);
    if (!CreateSlots(block->slots, true)) {
        context.message = "Memory allocation failed.(91)";
        return false;
    }
    store.blocks.push_back(std::move(block));
    store.Begin(index, context.slots);
    return true;
}

template <PairSource Source>
bool ReadInsert(ReadContext& context, Source& pairs) {
    InsertRecord insert;
    const bool ok = ReadEntryPairs(pairs, context.message, kInvalidInsert, [&](std::int32_t code) {
        switch (code) {
            case 2:
                return TakeName(pairs, context.blocks, insert.block);
            case 8: {
                std::string_view value;
                const PairStatus status = pairs.Text(value);
                if (status == PairStatus::Ok) insert.style.layer = context.layers.IdOf(value);
                return status;
            }
            case 62:
                return pairs.Int(insert.style.index);
            case 420:
                return pairs.Int(insert.style.trueColor);
            case 10:
            case 20:
            case 30:
                return TakeDouble(pairs, insert.point[code / 10 - 1]);
            case 41:
            case 42:
            case 43:
                return TakeDouble(pairs, insert.scale[code - 41]);
            case 50:
                return TakeDouble(pairs, insert.rotation);
            case 44:
                return TakeDouble(pairs, insert.columnSpacing);
            case 45:
                return TakeDouble(pairs, insert.rowSpacing);
            case 70:
            case 71: {
                std::int32_t count = 1;
                const PairStatus status = pairs.Int(count);
                // 0 and negative counts place the block once, as CAD programs do.
                if (status == PairStatus::Ok)
                    (code == 70 ? insert.columns : insert.rows) = count > 0 ? count : 1;
                return status;
            }
            case 210:
            case 220:
            case 230:
                return TakeDouble(pairs, insert.extrusion[code / 10 - 21]);
            default:
                return pairs.Skip();
        }
    });
    if (!ok) return false;
    context.blocks.InsertTarget().push_back(std::move(insert));
    return true;
}

template bool ReadBlockHeader(ReadContext&, TextPairs&);
template bool ReadBlockHeader(ReadContext&, BinaryPairs&);
template bool ReadInsert(ReadContext&, TextPairs&);
template bool ReadInsert(ReadContext&, BinaryPairs&);

}  // namespace vertoko
