// The AutoCAD Color Index palette.
#pragma once

#include <cstdint>

namespace vertoko {

// The 0xRRGGBB colour of index 0 to 255; white (index 7) outside.
std::uint32_t AciColor(std::int32_t index);

}  // namespace vertoko
