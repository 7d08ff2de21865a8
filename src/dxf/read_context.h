// What one read of a drawing builds up: the objects gathered so far, the
// block definitions and insertions, the drawing's colours, the report of
// what is not converted and the first failure. Made for each read; the
// second reader of a large drawing has one of its own.
#pragma once

#include <cstdint>
#include <string>

#include "dxf/drawing/block_store.h"
#include "dxf/drawing/color_resolution.h"
#include "dxf/drawing/layer_table.h"
#include "dxf/drawing/unconverted_report.h"
#include "dxf/object_slots.h"
#include "dxf/reader_options.h"

namespace vertoko {

struct ReadContext {
    // A read with no slots yet (CreateSlots makes them).
    explicit ReadContext(const ReaderOptions& options);
    ~ReadContext();
    ReadContext(const ReadContext&) = delete;
    ReadContext& operator=(const ReadContext&) = delete;

    ReaderOptions options;
    SlotArray slots;      // the objects gathered so far: the drawing's, or the open block's
    std::string message;  // the first failure of the read
    UnconvertedReport unconverted;
    TextDecoding decoding;           // how the drawing's names become UTF-8 (its header)
    LayerTable layers{&decoding};    // every layer met, with the LAYER entries' colours
    BlockStore blocks;               // gathered only with block expansion on
    DrawingColors colors;            // kept only with drawing colours on
    bool failedOnSkippable = false;  // refused an entity the lenient reading skips
    // Where a read that got to EOF stopped: lines counted before EOF's
    // (text), or pairs (binary), for the end report.
    std::int32_t endCount = 0;
    bool binary = false;
    // The drawing's $INSUNITS, looked for only when a unit is asked for; -1
    // when the header gives none.
    std::int32_t drawingUnits = -1;

    // The faces of layers left out (LayerTable::OmissionOf) go to these
    // slots, Hidden's and LeftOut's, and are counted and dropped there.
    ObjectSlot omitted[2] = {};
    std::int64_t omittedFaces[2] = {0, 0};
    // Counts and frees what the slot of omission holds.
    void DropOmitted(Omission omission);

    // An entity's object is chosen by its layer and colour: in multi-object
    // mode, and always inside a block definition.
    bool Keyed() const { return options.dxfMulti != 0 || blocks.InsideBlock(); }
};

}  // namespace vertoko
