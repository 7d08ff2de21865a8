// Placing the copies of the blocks that INSERT entities call for, once the
// whole file has been read: each insertion's transform (base point, scale,
// rotation, multiple-insert grid, insertion point, extrusion direction)
// composed through nested insertions, layer "0" and BYBLOCK taken from the
// inserting INSERT, and the output's size checked before any copy is made.
#pragma once

#include <cstdint>
#include <string>

#include "dxf/drawing/block_store.h"
#include "dxf/read_context.h"
#include "model/placement.h"

namespace vertoko {

// The map from block coordinates to the coordinates the INSERT stands in,
// for the cell of the multiple-insert grid at column and row.
Affine InsertTransform(const InsertRecord& insert, const double base[3], std::int64_t column,
                       std::int64_t row);

// Places every insertion of the drawing's layouts into the read's slots
// (multi-object mode: keyed by the effective layer and colour; otherwise
// slot 0), with their colours when colours are on. False with
// context.message when the output would be too large or memory runs short.
// The insertions of missing and self-inserting blocks place nothing and go
// to the read's report of what was not converted.
bool ExpandInserts(ReadContext& context);

// After ExpandInserts: true when the drawing's slots hold no polygon while
// a block definition that no insertion of the drawing reaches, directly or
// through other blocks, holds some. The faces are there; nothing places
// them.
bool FacesOnlyInUninsertedBlocks(const ReadContext& context);

// The memory the placed copies may take; 0 (the default) means three
// quarters of what the machine has available.
void SetExpansionMemoryBudget(std::uint64_t bytes);

}  // namespace vertoko
