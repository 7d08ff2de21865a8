// A drawing read as the load command reads it, stage by stage: the pairs
// into objects, the colours resolved, the block insertions placed, then the
// objects' table prepared (pointer tables, cleaning, orientation).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "dxf/reader_options.h"
#include "model/drawing_layers.h"
#include "model/mesh_model.h"

namespace vertoko {

// Why a read that got to the end holds no polygon, where the drawing tells:
// the log explains it in one line. Causes the reader learns of later (faces
// only on excluded layers) go here too.
enum class EmptyCause : std::uint8_t {
    None,
    FacesOnlyInUninsertedBlocks,
    FacesOnlyOnHiddenLayers,  // with only visible layers read
    FacesOnlyOnLayersLeftOut  // by the layer patterns (or hidden)
};

struct DrawingLoad {
    std::int32_t count = 0;         // objects in the table; 0 when none or failed
    MeshObject* objects = nullptr;  // the caller frees it (FreeObjectTable)
    Extents extents = {};           // the box around the objects
    std::string message;            // the end report, or the first failure
    std::string unconverted;        // what is not converted (see unconverted_report.h);
                                    // empty when nothing, or the read ended early
    bool refusedSkippable = false;  // refused an entity the lenient reading skips
    std::string units;              // the log line of the unit conversion; empty when
                                    // none was asked for or the read failed
    EmptyCause emptyCause = EmptyCause::None;
    // Every layer the read met, with the faces the table holds on each, and
    // what each object of the table stands for; empty when the read failed.
    DrawingLayers layers;
};

// Reads the DXF file open in binary mode at its start (the caller closes
// it). A read that yields no object (a failure, or no faces in multi-object
// mode) leaves count 0 and no table.
DrawingLoad LoadDrawing(std::FILE* file, const ReaderOptions& options);

// The log line that explains an empty result; empty for None.
std::string EmptyResultLine(EmptyCause cause);

// The log line after a refusal that the lenient reading would have
// avoided.
std::string SkipHintLine();

}  // namespace vertoko
