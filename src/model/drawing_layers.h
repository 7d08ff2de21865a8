// The layers of a read drawing, as the objects and polygons of its table
// refer to them: what the log, the writers and the layer window name and
// count. Names are UTF-8, decoded from the drawing's code page at reading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vertoko {

struct DrawingLayer {
    std::string name;              // UTF-8, spelled as the drawing spells it
    std::uint32_t rgb = 0xFFFFFF;  // the colour of its LAYER entry (white without one)
    std::int32_t aci = 7;          // the entry's colour index, always positive
    bool off = false;              // the entry's colour is negative
    bool frozen = false;           // the entry's flag 1
    std::int64_t faces = 0;        // polygons on the layer in the table
};

// What an object of the table stands for in multi-object mode.
struct ObjectLabel {
    std::int32_t layer = -1;  // index into DrawingLayers::layers; -1: several layers
    std::int32_t aci = -1;    // the colour index the object was split by; -1: none
};

struct DrawingLayers {
    // Indexed by MeshPolygon::layer and ObjectLabel::layer, in the order the
    // layers are first met (the LAYER table's entries first).
    std::vector<DrawingLayer> layers;
    // One label per object of the table, in the table's order; empty when
    // the read kept none.
    std::vector<ObjectLabel> objects;
};

}  // namespace vertoko
