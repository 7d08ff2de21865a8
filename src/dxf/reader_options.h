// The options of one DXF read, as the front ends pass them to LoadDrawing. The
// defaults are those of the option table (src/convert/option_table.cpp),
// which a test holds equal.
#pragma once

#include <cstdint>
#include <string>

namespace vertoko {

struct ReaderOptions {
    std::int32_t dxfMulti = 0;      // nonzero: one object per layer and colour
    std::int32_t dxfClv = 1;        // nonzero: vertex cleaning
    float dxfVdist = 0.0f;          // vertex cleaning distance
    std::int32_t dxfSkip = 0;       // nonzero: skip entities that cannot be converted
    std::int32_t dxfInsert = 0;     // nonzero: expand block insertions
    std::int32_t dxfColor = 0;      // nonzero: keep each polygon's drawing colour
    std::int32_t dxfOrient = 0;     // nonzero: wind faces consistently after cleaning
    std::int32_t dxfThick = 0;      // nonzero: SOLID, TRACE and entities with thickness as faces
    std::int32_t dxfSegments = 32;  // straight segments per full circle of an arc
    std::int32_t outUnits = 0;      // the unit to convert to (OutputUnit); 0: as drawn
    std::int32_t dxfVisible = 0;    // nonzero: layers off or frozen contribute nothing
    std::string dxfLayers;          // layers to read (patterns, see layer_patterns.h); empty: all
    std::string dxfNoLayers;        // layers not to read, whatever dxfLayers says
};

// The units a drawing can be converted to, in the order of the option's
// choices.
enum class OutputUnit : std::int32_t { AsDrawn, Millimetre, Centimetre, Metre, Inch, Foot };

}  // namespace vertoko
