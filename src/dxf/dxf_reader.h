// Entry point of DXF reading: turns an ASCII or binary DXF stream into an
// object table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "model/mesh_model.h"
#include "dxf/reader_options.h"

namespace vertoko {

// Reads the DXF file open in binary mode at its start with every reader
// option; the other form below is this one with the later options off.
// On success extents, when given, receives the box around the objects.
std::int32_t ReadDxf(std::FILE* file, const ReaderOptions& options, MeshObject*& out,
                     std::string& message, Extents* extents = nullptr);

// Reads the DXF file open in binary mode at its start (the caller closes it).
// multi nonzero: one object per distinct (layer, colour); zero: one object.
// clean nonzero: vertex cleaning with the given distance on every object.
// Returns the number of objects and stores the table in out; on failure
// returns 0, leaves out null and puts the first error message in message.
// On success message holds the end report.
std::int32_t ReadDxf(std::FILE* file, int multi, int clean, float distance, MeshObject*& out,
                     std::string& message);

// The log line of what the last read found but did not convert (see
// unconverted_report.h); empty when there is nothing to report or the read
// failed before the end of the file.
std::string UnconvertedLine();

// After a read that refused an entity which the lenient reading (dxfSkip)
// would skip, the line that says so; empty otherwise.
std::string SkipHintLine();

}  // namespace vertoko
