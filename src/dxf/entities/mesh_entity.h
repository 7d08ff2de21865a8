// The MESH entity (subclass AcDbSubDMesh): its base-level vertices and
// faces, without subdivision.
#pragma once

#include "dxf/input/pair_source.h"
#include "dxf/read_context.h"

namespace vertoko {

// Reads the pairs of one MESH whose "0 / MESH" pair has just been read, up
// to and including the code of the next group 0, whose value is left to
// the caller, and adds its vertices and its faces of three or more corners
// to the object its layer and colour choose (or to the single object).
// False after writing context.message.
template <PairSource Source>
bool ReadMesh(ReadContext& context, Source& pairs);

}  // namespace vertoko
