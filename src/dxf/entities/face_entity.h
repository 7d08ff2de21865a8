// The 3DFACE entity: one polygon of three or four new vertices.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vertoko {

// Reads the groups of one 3DFACE whose "0 / 3DFACE" pair has just been
// read, up to and including the code line of the next group 0, whose value
// line is left to the caller. Appends the face to the object chosen by
// layer and colour (multi nonzero) or to slot 0. Returns 1 on success, 0
// after writing the message into message.
std::int32_t Read3DFace(std::FILE* file, int multi, std::string& message);

}  // namespace vertoko
