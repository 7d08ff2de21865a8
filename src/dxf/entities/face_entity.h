// The 3DFACE entity: one polygon of three or four new vertices.
#pragma once

#include <cstdint>

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads the pairs of one 3DFACE whose "0 / 3DFACE" pair has just been read,
// up to and including the code of the next group 0, whose value is left to
// the caller, and adds the face to the object its layer and colour choose
// (or to the single object). False after writing context.message.
template <PairSource Source>
bool Read3DFace(ReadContext& context, Source& pairs);

}  // namespace vertoko
