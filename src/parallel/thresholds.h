// The sizes from which each stage shares its work with a second thread,
// below which the thread's start and the bringing together of the two
// shares cost about as much as the second core saves. Each was tuned on the
// 2-core build machine.
#pragma once

#include <cstdint>

namespace vertoko {

// Preparing a table's objects (tables, cleaning, orientation), in the
// vertices of all of them: fewer take too little time to be worth a thread.
inline constexpr std::int64_t kSharedPreparationVertices = 200000;

// Cleaning one object at distance 0, in its vertices: the hash pass is bound
// by memory, and below this the look-ups between the halves eat the gain.
inline constexpr std::int32_t kSharedCleaningVertices = std::int32_t{1} << 20;

// Formatting the vertex texts of one POV-Ray mesh, in its vertices: fewer
// take too little time to be worth a thread.
inline constexpr std::int32_t kSharedVertexTexts = std::int32_t{1} << 15;

// Formatting one OBJ file, in vertex lines' worth of work (a line of three
// numbers): some 2 ms of work.
inline constexpr std::int64_t kSharedObjLines = std::int64_t{1} << 15;

}  // namespace vertoko
