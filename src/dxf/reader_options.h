// The options of one DXF read, as the front ends pass them to LoadDrawing. The
// defaults are those of the option table (src/convert/option_table.cpp),
// which a test holds equal.
#pragma once

#include <cstdint>

namespace vertoko {

struct ReaderOptions {
    std::int32_t dxfMulti = 0;   // nonzero: one object per layer and colour
    std::int32_t dxfClv = 1;     // nonzero: vertex cleaning
    float dxfVdist = 0.0f;       // vertex cleaning distance
    std::int32_t dxfSkip = 0;    // nonzero: skip entities that cannot be converted
    std::int32_t dxfInsert = 0;  // nonzero: expand block insertions
    std::int32_t dxfColor = 0;   // nonzero: keep each polygon's drawing colour
    std::int32_t dxfOrient = 0;  // nonzero: wind faces consistently after cleaning
};

}  // namespace vertoko
