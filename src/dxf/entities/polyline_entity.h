// The POLYLINE entity: polyface meshes, polygon meshes and 3D polylines.
#pragma once

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads one POLYLINE whose "0 / POLYLINE" pair has just been read, with its
// VERTEX records, up to and including the "0 / SEQEND" pair, and adds its
// vertices and polygons to one object. A polyline of a kind that is not
// converted fails the read, or with the lenient reading is skipped whole
// and counted. False after writing context.message.
template <PairSource Source>
bool ReadPolyline(ReadContext& context, Source& pairs);

}  // namespace vertoko
