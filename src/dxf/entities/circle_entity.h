// The CIRCLE and ARC entities: with a thickness, the wall of a cylinder or
// the part of one under the arc, without top or bottom; without one,
// nothing.
#pragma once

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads the pairs of one CIRCLE (arc false) or ARC (arc true) whose "0 /
// NAME" pair has just been read, up to and including the code of the next
// group 0, whose value is left to the caller, and adds its walls to the
// object its layer and colour choose. A circle takes the option's segments
// (DXFsegments), starting at its coordinate system's X axis; an arc its
// share of them from its start angle (ArcSegments), the ends included.
// False after writing context.message.
template <PairSource Source>
bool ReadCircle(ReadContext& context, Source& pairs, bool arc);

}  // namespace vertoko
