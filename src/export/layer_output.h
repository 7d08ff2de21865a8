// What a save writes from the drawing's layers: the layers' names beside
// the objects and the materials file's textures and materials. A save
// without them (every pointer null, names off) writes what it always has.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "export/materials.h"
#include "model/drawing_layers.h"
#include "model/mesh_model.h"

namespace vertoko {

struct LayerOutput {
    const DrawingLayers* layers = nullptr;      // the read's layers; null: none kept
    bool names = false;                         // name the layers in OBJ and POV-Ray output
    const MaterialChoice* materials = nullptr;  // null: no materials file

    // The layer names are written: names on and layers known.
    bool Naming() const { return names && layers != nullptr; }
    // The layer object number i stands for, from its label or, without
    // one, when all its polygons lie on one; -1 for several or none.
    std::int32_t ObjectLayer(std::int32_t i, const MeshObject& object) const;
    // The name of layer index, or null when it is not one of the layers.
    const std::string* LayerName(std::int32_t index) const;
};

// A layer name as OBJ readers take it after "o" and "g": blanks, control
// characters, '#' and '\' each become '_' (readers split names at blanks,
// end lines at '#', and join lines at a '\' that ends one); an empty name
// is "_". Other characters, Japanese among them, stay as they are.
void AppendObjName(std::string& out, std::string_view name);

// The comment line naming the layers of object number i in a POV-Ray
// include file, "// layer: NAME" (", color N" after it when the object was
// split by colour), or "// layers: A, B" for an object on several, the
// layers in the order its polygons first meet them; control characters
// become '?'. Nothing unless layers are named.
void AppendPovLayerComment(std::string& out, const LayerOutput& output, std::int32_t i,
                           const MeshObject& object);

}  // namespace vertoko
