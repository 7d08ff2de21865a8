// Layers left out of a loaded table without reading the drawing again: what
// the layer window's choice hands to the preview and to the save.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/drawing_layers.h"
#include "model/mesh_model.h"

namespace vertoko {

// Whether keep leaves every layer in (no flag is false): then the loaded
// table serves as it is.
bool KeepsEveryLayer(const std::vector<bool>& keep);

// The polygons on kept layers, as a table of its own: keep[i] is the flag of
// DrawingLayers::layers[i]; a polygon on a layer without a flag is kept.
struct FilteredTable {
    std::int32_t count = 0;
    MeshObject* objects = nullptr;  // null when no polygon is kept
    // labels filtered alongside the objects; empty when none were given
    std::vector<ObjectLabel> labels;
};

// Builds into out a table of the polygons of table[0, count) on kept layers.
// Each new object holds only the vertices its polygons use, renumbered in
// their original order, and its polygons in their order with their colours
// and layers; an object left without a polygon is dropped, and labels (one
// per object, or none) go with the objects that stay. The source is only
// read. When memory is short out is left empty, message says so and the
// result is false. out must be empty (FreeFilteredTable) beforehand.
bool FilterLayers(std::int32_t count, const MeshObject* table, const std::vector<bool>& keep,
                  const std::vector<ObjectLabel>& labels, FilteredTable& out, std::string& message);

// Frees the table and empties out.
void FreeFilteredTable(FilteredTable& out);

}  // namespace vertoko
