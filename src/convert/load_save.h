// The load and save commands' shared logic, used by the desktop window and
// by the command-line converter alike: the log lines, the choice of writer
// and the cutting of names for numbered output files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dxf/reader_options.h"
#include "export/pov_option.h"
#include "model/drawing_layers.h"
#include "model/mesh_model.h"

namespace vertoko {

struct WriterOptions {
    std::string estrOpt = "s";  // EASTRAY option string
    PovOption povOpt;
    std::int32_t objNormal = 0;  // nonzero: OBJ output carries vertex normals
    // nonzero: POV-Ray and OBJ output (and the preview) show the drawing's Z
    // axis up; EASTRAY output keeps the drawing's axes
    std::int32_t zUp = 0;
    // nonzero: in multi-object mode the load's log names each object's
    // layer (and colour, where objects are split by colour); OBJ and POV-Ray
    // output name the layers too
    std::int32_t outNames = 0;
    // The materials file (export/materials.h) whose textures and materials
    // POV-Ray and OBJ output give the layers and colours it names; empty:
    // none.
    std::string materials;
};

// Output types, numbered as the save dialog's filter index.
enum class SaveFormat : int { Eastray = 1, PovRay = 2, Obj = 3 };

// The output type for a file name's extension (".pol" and ".p" EASTRAY,
// ".pov" POV-Ray, ".obj" OBJ, in any letter case); none for another. The
// converter and the save dialog choose the writer by it alike.
std::optional<SaveFormat> FormatForName(const std::string& name);

// Receives one log line (UTF-8, no line end).
using LogSink = std::function<void(const std::string&)>;

// Loads name into objects / objectCount, logging exactly what the load
// command logs (with names nonzero, each object's line names its layer and
// colour). If the file cannot be opened the table and layers are left as
// they were and false is returned. Otherwise beforeRead (may be empty) runs
// once the old table is freed and before reading starts, the new table (or
// none) is stored with the drawing's layers (empty when the read failed),
// extents is set to the box around it on success, and true is returned.
bool LoadDxf(const std::string& name, const ReaderOptions& options, std::int32_t names,
             MeshObject*& objects, std::int32_t& objectCount, Extents& extents,
             DrawingLayers& layers, std::string& msgBuf, const LogSink& log,
             const std::function<void()>& beforeRead = {});

// Saves the table as the save command does: logs the "->POL:" target line,
// calls the writer for format and logs the writer's message on failure;
// extents is the box around the table, which places the POV-Ray camera.
// layers are the drawing's layers as the load kept them (null: none), which
// name the objects and choose the materials file's lines. POV-Ray and OBJ
// saves with a materials file read it first and log its name and each line
// left out. Returns the writer's result (1 success, 0 failure).
std::int32_t SaveObjects(const std::string& name, SaveFormat format, std::int32_t objectCount,
                         MeshObject* objects, const Extents& extents, const WriterOptions& options,
                         std::string& msgBuf, const LogSink& log,
                         const DrawingLayers* layers = nullptr);

}  // namespace vertoko
