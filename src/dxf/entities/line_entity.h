// The LINE entity: with a thickness, a wall from its two ends up along its
// extrusion direction; without one, nothing.
#pragma once

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads the pairs of one LINE whose "0 / LINE" pair has just been read, up
// to and including the code of the next group 0, whose value is left to the
// caller, and adds its wall to the object its layer and colour choose. The
// ends are world coordinates; only the thickness follows the extrusion
// direction. False after writing context.message.
template <PairSource Source>
bool ReadLine(ReadContext& context, Source& pairs);

}  // namespace vertoko
