// The MESH entity (subclass AcDbSubDMesh): its base-level vertices and
// faces, without subdivision.
#pragma once

#include <cstdint>
#include <string>

namespace vertoko {

// Reads the groups of one MESH whose "0 / MESH" pair has just been read, up
// to and including the code line of the next group 0, whose value line is
// left to the caller. Appends the vertices and the faces of three or more
// corners to the object chosen by layer and colour (multi nonzero) or to
// slot 0. Returns 1 on success, 0 after writing the message into message.
std::int32_t ReadMesh(int multi, std::string& message);

}  // namespace vertoko
