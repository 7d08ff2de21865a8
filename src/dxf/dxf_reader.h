// The section driver: walks a DXF file (text or binary) pair by pair, hands
// each entity it converts to its parser, notes what is not converted for
// the report, and gathers the objects into the read's slots.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "dxf/read_context.h"

namespace vertoko {

// Reads the DXF file open in binary mode at its start (the caller closes
// it) into context: the slots of the objects (one, or one per layer and
// colour in multi-object mode), with block expansion the block definitions
// and insertions, with drawing colours the LAYER table and each polygon's
// style, and the report of what is not converted. True when the read got
// to EOF; false with context.message.
bool ReadDrawing(std::FILE* file, ReadContext& context);

// "file read end.(N lines, M objects)": the lines before EOF's, or for a
// binary file the pairs, and the slots of context.
std::string EndReport(const ReadContext& context);

}  // namespace vertoko
