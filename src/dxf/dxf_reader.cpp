// The section driver over either pair source.
#include "dxf/dxf_reader.h"

#include <charconv>
#include <string_view>
#include <type_traits>

#include "dxf/drawing/layer_table.h"
#include "dxf/entities/block_entities.h"
#include "dxf/entities/circle_entity.h"
#include "dxf/entities/face_entity.h"
#include "dxf/entities/line_entity.h"
#include "dxf/entities/lwpolyline_entity.h"
#include "dxf/entities/mesh_entity.h"
#include "dxf/entities/polyline_entity.h"
#include "dxf/entities/solid_entity.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/text_pairs.h"
#include "dxf/input/value_words.h"
#include "dxf/split_reading.h"

namespace vertoko {

namespace {

std::int64_t PolygonTotal(const SlotArray& slots) {
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < slots.count; ++i) total += slots.slots[i].polygonCount;
    return total;
}

// The name that the next group 2 gives: a block definition's or the block
// that an INSERT places.
enum class PendingName { None, Block, Insert };

// The entities read only when entities with thickness are: each one's
// parser, or null for a name that is none of them.
template <PairSource Source>
using EntityParser = bool (*)(ReadContext&, Source&);

template <PairSource Source>
EntityParser<Source> ThickEntityParser(std::string_view name) {
    if (name == "LINE") return ReadLine<Source>;
    if (name == "LWPOLYLINE") return ReadLwPolyline<Source>;
    if (name == "CIRCLE") return [](ReadContext& c, Source& p) { return ReadCircle(c, p, false); };
    if (name == "ARC") return [](ReadContext& c, Source& p) { return ReadCircle(c, p, true); };
    if (name == "SOLID" || name == "TRACE") return ReadSolid<Source>;
    return nullptr;
}

// Walks the pairs up to EOF. split, for a large text file, is the second
// reader whose runs of faces the driver takes over where it meets them.
// False after writing context.message.
template <PairSource Source>
bool ReadSections(ReadContext& context, Source& pairs, SplitReading* split) {
    std::string& message = context.message;
    BlockStore& blocks = context.blocks;
    UnconvertedReport& report = context.unconverted;
    bool inSection = false;
    bool inEntities = false;
    bool inBlocks = false;
    bool inHeader = false;
    bool readCode = true;
    // $INSUNITS is looked for only when the drawing is to be converted to a
    // unit: its value is the next group 70 after "9 / $INSUNITS".
    const bool wantsUnits = context.options.outUnits != 0;
    bool unitsNext = false;
    const bool thick = context.options.dxfThick != 0;
    PendingName pendingName = PendingName::None;
    std::int64_t blockStart = 0;  // polygons before the open block definition
    std::string_view value;
    std::string_view word;
    char name[128];

    for (;;) {
        std::int32_t code = 0;
        PairStatus status = PairStatus::Ok;
        if (readCode) {
            status = pairs.Code(code);
        } else {
            // An entity parser that returns has read the next code, a 0.
            readCode = true;
        }
        std::int64_t runAt = -1;
        std::int64_t codeOffset = -1;
        if constexpr (std::is_same_v<Source, TextPairs>) {
            runAt = split->NextRun();
            if (runAt >= 0) codeOffset = pairs.Lines().LastLineOffset();
        }
        // Only the values of codes 0 and 2 matter here, and in the header
        // those of $INSUNITS.
        if (status == PairStatus::Ok) {
            if (code == 0 || code == 2) {
                status = pairs.Text(value);
                word = TokenView(value, name, sizeof name);
            } else if (inHeader && code == 9) {
                status = pairs.Text(value);
                unitsNext = TokenView(value, name, sizeof name) == "$INSUNITS";
            } else if (unitsNext && code == 70) {
                status = pairs.IntPrefix(context.drawingUnits);
                unitsNext = false;
            } else {
                status = pairs.Skip();
            }
        }
        if (status != PairStatus::Ok) {
            message = InputFailureMessage(pairs, status, "データの途中でファイルが終わっています.");
            return false;
        }

        if constexpr (std::is_same_v<Source, TextPairs>) {
            if (runAt >= 0 && codeOffset >= runAt) {
                // The driver stands where the second reader began its run:
                // the faces it read are taken over, and reading goes on
                // after them.
                if (codeOffset == runAt && code == 0 && word == "3DFACE" && !blocks.InsideBlock()) {
                    const SplitReading::Outcome taken = split->Take(codeOffset, context, pairs);
                    if (taken == SplitReading::Outcome::Failed) return false;
                    if (taken == SplitReading::Outcome::Taken) {
                        readCode = false;
                        continue;
                    }
                } else {
                    split->Pass();
                }
            }
        }

        if (code == 0) {
            pendingName = PendingName::None;
            if (word == "SECTION") {
                if (inSection || inEntities || inBlocks) {
                    message = MessageAt(pairs, "\"SECTION\"がSECTIONブロック中に現れた.");
                    return false;
                }
                inSection = true;
            } else if (word == "ENDSEC") {
                if (!inSection) {
                    message = MessageAt(pairs, "SECTIONブロック外に\"ENDSEC\"があった.");
                    return false;
                }
                inSection = inEntities = inBlocks = inHeader = unitsNext = false;
                blocks.End(context.slots);
            } else if (word == "3DFACE") {
                if (!Read3DFace(context, pairs)) return false;
                readCode = false;
            } else if (word == "POLYLINE") {
                // The parser reads the SEQEND pair too.
                if (!ReadPolyline(context, pairs)) return false;
            } else if (word == "MESH") {
                if (!ReadMesh(context, pairs)) return false;
                readCode = false;
            } else if (const EntityParser<Source> parse =
                           thick ? ThickEntityParser<Source>(word) : nullptr) {
                if (!parse(context, pairs)) return false;
                readCode = false;
            } else if (blocks.enabled && (word == "INSERT" || (word == "BLOCK" && inBlocks))) {
                // Expanding, the definitions and insertions are gathered for
                // placing at the end instead of being counted as not converted.
                const bool read =
                    word == "INSERT" ? ReadInsert(context, pairs) : ReadBlockHeader(context, pairs);
                if (!read) return false;
                readCode = false;
            } else if (word == "LAYER") {
                if (!ReadLayerEntry(pairs, context.layers, message)) return false;
                readCode = false;
            } else if (word == "EOF") {
                return true;
            } else if (word == "BLOCK") {
                pendingName = PendingName::Block;
                blockStart = PolygonTotal(context.slots);
            } else if (word == "ENDBLK") {
                blocks.End(context.slots);
                // A block holds faces when polygons were added while it was
                // open, which costs nothing per entity.
                if (PolygonTotal(context.slots) > blockStart) report.MarkFaces();
                report.EndBlock();
            } else if (word == "INSERT") {
                pendingName = PendingName::Insert;
            } else if (IsUnconvertedKind(word) || (thick && IsUnconvertedFlatKind(word))) {
                report.Count(word);
            }
        } else if (code == 2) {
            if (pendingName == PendingName::Block) {
                report.BeginBlock(value);
            } else if (pendingName == PendingName::Insert) {
                report.CountInsert(value);
            }
            pendingName = PendingName::None;
            if (word == "ENTITIES") {
                if (!inSection) {
                    message = MessageAt(pairs, "\"ENTITIES\"がSECTIONブロック外にあった.");
                    return false;
                }
                inEntities = true;
            } else if (word == "BLOCKS") {
                if (!inSection) {
                    message = MessageAt(pairs, "\"BLOCKS\"がSECTIONブロック外にあった.");
                    return false;
                }
                inBlocks = true;
            } else if (word == "HEADER" && wantsUnits) {
                inHeader = inSection;
            }
        }
    }
}

}  // namespace

bool ReadDrawing(std::FILE* file, ReadContext& context) {
    context.blocks.enabled = context.options.dxfInsert != 0;
    context.colors.enabled = context.options.dxfColor != 0;
    if (!CreateSlots(context.slots, context.options.dxfMulti != 0)) {
        context.message = context.options.dxfMulti != 0 ? "Memory allocation failed.(91)"
                                                        : "Memory allocation failed.(100)";
        return false;
    }
    TextPairs text(file);
    // Started before the first block is read, from where the file stands;
    // it looks for the binary sentinel itself.
    SplitReading split;
    split.Start(file, context.options);
    bool read = false;
    if (text.Lines().StartsWith(BinaryPairs::kSentinel)) {
        const TextLines::Buffered rest = text.Lines().Rest();
        BinaryPairs binary(rest.file, rest.block, rest.capacity,
                           rest.pos + BinaryPairs::kSentinel.size(), rest.length);
        context.binary = true;
        read = ReadSections(context, binary, nullptr);
        context.endCount = binary.Counted();
    } else {
        read = ReadSections(context, text, &split);
        context.endCount = text.Counted() - 1;
    }
    split.Cancel();
    // The drawing's slots come back from a block left open.
    context.blocks.End(context.slots);
    return read;
}

std::string EndReport(const ReadContext& context) {
    char a[16];
    char b[16];
    const auto ra = std::to_chars(a, a + sizeof a, context.endCount);
    const auto rb = std::to_chars(b, b + sizeof b, context.slots.count);
    std::string report = "file read end.(";
    report.append(a, ra.ptr)
        .append(context.binary ? " pairs, " : " lines, ")
        .append(b, rb.ptr)
        .append(" objects)");
    return report;
}

}  // namespace vertoko
