// The BLOCK and INSERT entities, read with block expansion on: a block's
// name and base point, and an insertion with its placement (see
// drawing/block_store.h for what they are kept in).
#pragma once

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads the pairs of a BLOCK whose "0 / BLOCK" pair has just been read, up
// to and including the code of the next group 0 (its value is left to the
// caller). A layout block leaves the drawing the target; any other becomes
// the target of the entities up to its ENDBLK. False after writing
// context.message.
template <PairSource Source>
bool ReadBlockHeader(ReadContext& context, Source& pairs);

// Reads the pairs of an INSERT the same way and records it with the open
// block, or with the drawing outside blocks and in layout blocks.
template <PairSource Source>
bool ReadInsert(ReadContext& context, Source& pairs);

}  // namespace vertoko
