// The POLYLINE entity: polyface meshes, polygon meshes and 3D polylines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vertoko {

// Reads one POLYLINE whose "0 / POLYLINE" pair has just been read, with its
// VERTEX records, up to and including the "0 / SEQEND" pair, and appends its
// vertices and polygons to one object. Returns 1 on success, 0 after writing
// the message into message.
std::int32_t ReadPolyline(std::FILE* file, int multi, std::string& message);

}  // namespace vertoko
