// Merges the vertices of one object that lie within a distance of each other.
#pragma once

#include <cstdint>
#include <string>

#include "model/mesh_model.h"

namespace vertoko {

// Cleans object in place: shortens the vertex list, lowers vertexCount,
// rebuilds vtbl and renumbers every corner. Requires vtbl and ptbl built.
// Returns 0 on success and 1 on failure, with the message in message.
std::int32_t VClearn(MeshObject& object, float distance, std::string& message);

// The same, with cleaning at distance 0 split over two threads from
// splitFrom vertices on instead of from about a million; the result does not
// depend on it. For the tests.
std::int32_t VClearn(MeshObject& object, float distance, std::string& message,
                     std::int32_t splitFrom);

// Where the progress dots of VClearn on the calling thread go: to stderr as
// each object is done (null, the default), or added to *count for the
// caller to write when objects are cleaned on several threads, so that the
// dots come out as one thread gives them.
void CountCleaningDots(int* count);

}  // namespace vertoko
