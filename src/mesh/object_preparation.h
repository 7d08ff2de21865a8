// The work on each object once the file is read: its pointer tables, then
// cleaning and orientation as the options ask. Objects are independent, so
// a table of many objects is shared out between two threads.
#pragma once

#include <cstdint>
#include <string>

#include "model/mesh_model.h"

namespace vertoko {

// Prepares objects [0, count) in order. On failure returns false with the
// message of the first object that failed in message; the progress dots on
// stderr are those of the objects up to that one, as when the objects are
// done one after another. On success extents is the box around the
// objects, as ComputeExtents gives it.
bool PrepareObjects(std::int32_t count, MeshObject* table, int clean, float distance, int orient,
                    Extents& extents, std::string& message);

}  // namespace vertoko
