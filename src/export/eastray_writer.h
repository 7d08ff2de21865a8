// EASTRAY polygon files: vertex lines "p", then polygon lines "P".
#pragma once

#include <cstdint>
#include <string>

#include "model/mesh_model.h"

namespace vertoko {

// Writes name for one object, "%s%03d.pol" from name as base for several,
// every polygon line ending in " ;" and estrOpt. 1 on success, 0 with msgBuf.
std::int32_t WriteEastray(const std::string& name, std::int32_t count, const MeshObject* objects,
                          const std::string& estrOpt, std::string& msgBuf);

}  // namespace vertoko
