// The SOLID and TRACE entities: a filled quadrilateral of corners 1, 2, 4
// and 3 in that order (a triangle when the fourth is the third) in the
// entity's coordinate system; with a thickness a closed prism.
#pragma once

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads the pairs of one SOLID or TRACE whose "0 / NAME" pair has just been
// read, up to and including the code of the next group 0, whose value is
// left to the caller, and adds its face or prism to the object its layer
// and colour choose. A coordinate left out is 0, a fourth corner left out
// wholly the third. False after writing context.message.
template <PairSource Source>
bool ReadSolid(ReadContext& context, Source& pairs);

}  // namespace vertoko
