// The LWPOLYLINE entity: with a thickness, a wall on every segment, bulged
// segments as arcs; without one, nothing. Widths (groups 40, 41 and 43)
// are not drawn: the walls stand on the centre line.
#pragma once

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads the pairs of one LWPOLYLINE whose "0 / LWPOLYLINE" pair has just
// been read, up to and including the code of the next group 0, whose value
// is left to the caller, and adds its walls to the object its layer and
// colour choose (see AddPathWalls). A group 20 or 42 belongs to the vertex
// that the last group 10 began. False after writing context.message.
template <PairSource Source>
bool ReadLwPolyline(ReadContext& context, Source& pairs);

}  // namespace vertoko
