// The section driver: walks the file pair by pair, hands 3DFACE, POLYLINE
// and MESH entities to their parsers, notes what is not converted for the
// report, and turns the gathered slots into the object table at EOF.
#include "dxf/dxf_reader.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "dxf/drawing/block_expansion.h"
#include "dxf/input/dxf_numbers.h"
#include "dxf/entities/face_entity.h"
#include "memory/huge_pages.h"
#include "dxf/drawing/layer_table.h"
#include "dxf/entities/mesh_entity.h"
#include "mesh/object_preparation.h"
#include "dxf/entities/polyline_entity.h"
#include "dxf/read_state.h"
#include "dxf/split_reading.h"

namespace vertoko {

namespace {

// A binary file counts pairs where a text file counts lines.
std::string EndReport(std::int32_t lines, std::int32_t objects, bool pairs) {
    char a[16];
    char b[16];
    const auto ra = std::to_chars(a, a + sizeof a, lines);
    const auto rb = std::to_chars(b, b + sizeof b, objects);
    std::string report = "file read end.(";
    report.append(a, ra.ptr)
        .append(pairs ? " pairs, " : " lines, ")
        .append(b, rb.ptr)
        .append(" objects)");
    return report;
}

std::int64_t PolygonTotal(const SlotArray& slots) {
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < slots.count; ++i) total += slots.slots[i].polygonCount;
    return total;
}

// The name that the next group 2 gives: a block definition's or the block
// that an INSERT places.
enum class PendingName { None, Block, Insert };

// Walks the pairs up to EOF. False after writing the message.
bool ReadSections(std::FILE* file, int multi, SplitReading& split, std::string& message) {
    DxfReadState& state = ReadState();
    BlockStore& blocks = ReadBlocks();
    DrawingColors& colors = ReadColors();
    DxfInput& input = state.input;
    bool inSection = false;
    bool inEntities = false;
    bool inBlocks = false;
    bool readCode = true;
    PendingName pendingName = PendingName::None;
    std::int64_t blockStart = 0;  // polygons before the open block definition
    UnconvertedReport& report = state.unconverted;
    std::string_view line;
    char name[128];

    for (;;) {
        std::int32_t code = 0;
        LineStatus status = LineStatus::Ok;
        if (readCode) {
            ++input.lineCounter;
            status = input.ReadCodeLine(line);
            if (status == LineStatus::Ok) code = ParseIntPrefix(line);
        } else {
            readCode = true;
        }
        // An entity parser that returns has read the next code line last.
        const std::int64_t runAt = split.NextRun();
        const std::int64_t codeOffset = runAt >= 0 ? input.LastLineOffset() : -1;
        if (codeOffset >= 0) split.DriverAt(codeOffset);
        if (status == LineStatus::Ok) {
            ++input.lineCounter;
            status = input.ReadValueLine(line);
        }
        if (status != LineStatus::Ok) {
            message = InputFailureMessage(status, "データの途中でファイルが終わっています.");
            return false;
        }
        const std::string_view word = TokenView(line, name, sizeof name);

        if (runAt >= 0 && codeOffset >= runAt) {
            // The driver stands where the second reader began a run: the
            // faces it read are taken over, and reading goes on after them.
            if (codeOffset == runAt && code == 0 && word == "3DFACE" && !blocks.InsideBlock()) {
                const SplitReading::Outcome taken = split.Take(codeOffset);
                if (taken == SplitReading::Outcome::Failed) {
                    message = state.message;
                    return false;
                }
                if (taken == SplitReading::Outcome::Taken) {
                    readCode = false;
                    continue;
                }
            } else {
                split.Pass(codeOffset);
            }
        }

        if (code == 0) {
            pendingName = PendingName::None;
            if (word == "SECTION") {
                if (inSection || inEntities || inBlocks) {
                    message = LineMessage("\"SECTION\"がSECTIONブロック中に現れた.");
                    return false;
                }
                inSection = true;
            } else if (word == "ENDSEC") {
                if (!inSection) {
                    message = LineMessage("SECTIONブロック外に\"ENDSEC\"があった.");
                    return false;
                }
                inSection = inEntities = inBlocks = false;
                blocks.End();
            } else if (word == "3DFACE") {
                // A block's own slots are always keyed by layer and colour.
                if (!Read3DFace(file, multi || blocks.InsideBlock(), state.message)) {
                    message = state.message;
                    return false;
                }
                readCode = false;
            } else if (word == "POLYLINE") {
                if (!ReadPolyline(file, multi || blocks.InsideBlock(), state.message)) {
                    message = state.message;
                    return false;
                }
            } else if (word == "MESH") {
                if (!ReadMesh(multi || blocks.InsideBlock(), state.message)) {
                    message = state.message;
                    return false;
                }
                readCode = false;
            } else if (blocks.enabled && (word == "INSERT" || (word == "BLOCK" && inBlocks))) {
                // Expanding, the definitions and insertions are gathered for
                // placing at the end instead of being counted as not converted.
                const bool read = word == "INSERT" ? ReadInsert(file, message) != 0
                                                   : ReadBlockHeader(file, message) != 0;
                if (!read) return false;
                readCode = false;
            } else if (word == "LAYER" && colors.enabled) {
                if (!ReadLayerEntry(file, colors.layers, message)) return false;
                readCode = false;
            } else if (word == "EOF") {
                return true;
            } else if (word == "BLOCK") {
                pendingName = PendingName::Block;
                blockStart = PolygonTotal(state.slots);
            } else if (word == "ENDBLK") {
                blocks.End();
                // A block holds faces when polygons were added while it was
                // open, which costs nothing per entity.
                if (PolygonTotal(state.slots) > blockStart) report.MarkFaces();
                report.EndBlock();
            } else if (word == "INSERT") {
                pendingName = PendingName::Insert;
            } else if (IsUnconvertedKind(word)) {
                report.Count(word);
            }
        } else if (code == 2) {
            if (pendingName == PendingName::Block) {
                report.BeginBlock(line);
            } else if (pendingName == PendingName::Insert) {
                report.CountInsert(line);
            }
            pendingName = PendingName::None;
            if (word == "ENTITIES") {
                if (!inSection) {
                    message = LineMessage("\"ENTITIES\"がSECTIONブロック外にあった.");
                    return false;
                }
                inEntities = true;
            } else if (word == "BLOCKS") {
                if (!inSection) {
                    message = LineMessage("\"BLOCKS\"がSECTIONブロック外にあった.");
                    return false;
                }
                inBlocks = true;
            }
        }

        if (code >= 1000) {
            ++input.lineCounter;
            input.SkipLine();
        } else if (input.LastLineCut()) {
            // A long value (binary chunks, long texts) is one line however
            // long it is: its rest must not be read as the next code line.
            input.SkipLine();
        }
    }
}

// Moves every slot into a new object table and builds its pointer tables.
// Orientation runs after cleaning, which gives neighbouring faces the shared
// vertices that make their edges common.
std::int32_t AssembleTable(int clean, float distance, int orient, MeshObject*& out,
                           std::string& message, Extents* extents) {
    DxfReadState& state = ReadState();
    SlotArray& slots = state.slots;
    const std::int32_t count = slots.count;
    // In huge pages when large (a table of thousands of objects), cleared.
    const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(MeshObject);
    auto* table = static_cast<MeshObject*>(AllocateLarge(bytes));
    if (table != nullptr) std::memset(static_cast<void*>(table), 0, bytes);
    if (table == nullptr) {
        FreeSlots(slots);
        message = "メモリーが足りません.(pobj)\n";
        return 0;
    }
    // Hand every list to the table first, so that one free releases all.
    for (std::int32_t i = 0; i < count; ++i) {
        ObjectSlot& slot = slots.slots[i];
        table[i].vertexCount = slot.vertexCount;
        table[i].polygonCount = slot.polygonCount;
        table[i].vertices = slot.vertexHead;
        table[i].polygons = slot.polygonHead;
        table[i].arena = slot.arena;
        slot.arena = {};
        slot.vertexHead = slot.vertexTail = nullptr;
        slot.polygonHead = slot.polygonTail = nullptr;
    }
    FreeSlots(slots);

    Extents box;
    if (!PrepareObjects(count, table, clean, distance, orient, box, message)) {
        FreeObjectTable(count, table);
        return 0;
    }
    if (extents != nullptr) *extents = box;
    out = table;
    return count;
}

}  // namespace

std::string UnconvertedLine() {
    const DxfReadState& state = ReadState();
    return state.reachedEnd ? state.unconverted.Line() : std::string();
}

std::string SkipHintLine() {
    if (!ReadState().failedOnSkippable) return {};
    return "「未対応の図形を読み飛ばす」(DXFskip)"
           "を有効にすると、この図形を読み飛ばして読み込みます.";
}

std::int32_t ReadDxf(std::FILE* file, int multi, int clean, float distance, MeshObject*& out,
                     std::string& message) {
    ReaderOptions options;
    options.dxfMulti = multi;
    options.dxfClv = clean;
    options.dxfVdist = distance;
    return ReadDxf(file, options, out, message);
}

std::int32_t ReadDxf(std::FILE* file, const ReaderOptions& options, MeshObject*& out,
                     std::string& message, Extents* extents) {
    const int multi = options.dxfMulti;
    const int clean = options.dxfClv;
    const float distance = options.dxfVdist;
    DxfReadState& state = ReadState();
    ReadBlocks().Clear();
    FreeSlots(state.slots);
    state.message.clear();
    state.input.Reset(file);
    state.options = options;
    state.unconverted.Reset();
    state.reachedEnd = false;
    state.failedOnSkippable = false;
    out = nullptr;
    message.clear();

    if (!CreateSlots(state.slots, multi != 0)) {
        message = multi ? "Memory allocation failed.(91)" : "Memory allocation failed.(100)";
        return 0;
    }
    BlockStore& blocks = ReadBlocks();
    DrawingColors& colors = ReadColors();
    blocks.enabled = options.dxfInsert != 0;
    colors.enabled = options.dxfColor != 0;
    SplitReading split;
    split.Start(file, options);
    bool read = ReadSections(file, multi, split, message);
    split.Cancel();
    // The drawing's slots come back from an open block before anything else.
    blocks.End();
    if (read && colors.enabled) {
        colors.ResolveStyles();
        ResolveSlotColors(state.slots);
    }
    if (read && blocks.enabled) read = ExpandInserts(multi != 0, message);
    blocks.Clear();
    colors.Clear();
    if (!read) {
        FreeSlots(state.slots);
        return 0;
    }

    state.reachedEnd = true;
    message = state.input.IsBinary()
                  ? EndReport(state.input.MessageNumber(), state.slots.count, true)
                  : EndReport(state.input.lineCounter - 1, state.slots.count, false);
    if (state.slots.count == 0) {
        FreeSlots(state.slots);
        return 0;
    }
    return AssembleTable(clean, distance, options.dxfOrient, out, message, extents);
}

}  // namespace vertoko
