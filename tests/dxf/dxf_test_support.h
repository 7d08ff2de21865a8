// Helpers for the reader tests: DXF text from code / value pairs, reading a
// text or a sample file, and line numbers counted in the test text itself.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "convert/drawing_load.h"

namespace vertoko::test {

// The lines joined with line feeds, each line ended.
inline std::string Lines(std::initializer_list<std::string_view> lines,
                         std::string_view end = "\n") {
    std::string text;
    for (std::string_view line : lines) text.append(line).append(end);
    return text;
}

// An ENTITIES section holding body, followed by EOF.
inline std::string InEntities(const std::string& body) {
    return Lines({"  0", "SECTION", "  2", "ENTITIES"}) + body +
           Lines({"  0", "ENDSEC", "  0", "EOF"});
}

// A 3DFACE with the given corners; layer and colour groups when given.
struct Corner {
    float x, y, z;
};
inline std::string Face(std::vector<Corner> corners, std::string_view layer = "0", int color = -1) {
    std::string text = Lines({"  0", "3DFACE", "  8"}) + std::string(layer) + "\n";
    if (color >= 0) text += " 62\n" + std::to_string(color) + "\n";
    for (std::size_t k = 0; k < corners.size(); ++k) {
        const float values[3] = {corners[k].x, corners[k].y, corners[k].z};
        for (int axis = 0; axis < 3; ++axis) {
            text += " " + std::to_string(10 * (axis + 1) + static_cast<int>(k)) + "\n";
            text += std::to_string(values[axis]) + "\n";
        }
    }
    return text;
}

// 1-based number of the first line of text equal to line, searching from
// the line after `after` (0 searches from the start); 0 when missing.
inline int LineOf(std::string_view text, std::string_view line, int after = 0) {
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++number;
        std::string_view current = text.substr(start, end - start);
        if (!current.empty() && current.back() == '\r') current.remove_suffix(1);
        if (number > after && current == line) return number;
        start = end + 1;
    }
    return 0;
}

// "(L<n>)" as the messages write their line counter.
inline std::string At(int line) { return "(L" + std::to_string(line) + ")"; }

// One read with its table, freed at the end of the scope.
struct ReadResult {
    std::int32_t count = 0;
    MeshObject* table = nullptr;
    std::string message;
    Extents extents = {};     // the box around the objects after a successful read
    std::string unconverted;  // the report line of what was not converted
    bool refusedSkippable = false;
    DrawingLayers layers;  // the layers met, the faces on each and the objects' labels
    EmptyCause emptyCause = EmptyCause::None;

    ReadResult() = default;
    ReadResult(const ReadResult&) = delete;
    ReadResult& operator=(const ReadResult&) = delete;
    ReadResult(ReadResult&& other) noexcept
        : count(other.count),
          table(other.table),
          message(std::move(other.message)),
          extents(other.extents),
          unconverted(std::move(other.unconverted)),
          refusedSkippable(other.refusedSkippable),
          layers(std::move(other.layers)),
          emptyCause(other.emptyCause) {
        other.table = nullptr;
        other.count = 0;
    }
    ReadResult& operator=(ReadResult&& other) noexcept {
        std::swap(count, other.count);
        std::swap(table, other.table);
        message = std::move(other.message);
        extents = other.extents;
        unconverted = std::move(other.unconverted);
        refusedSkippable = other.refusedSkippable;
        layers = std::move(other.layers);
        emptyCause = other.emptyCause;
        return *this;
    }
    ~ReadResult() { FreeObjectTable(count, table); }

    // Corner k of polygon i of object o.
    std::int32_t Corner(int o, int i, int k) const { return table[o].ptbl[i]->p[k]; }
    const MeshVertex& Vertex(int o, int i) const { return *table[o].vtbl[i]; }
    // The name of the layer polygon i of object o is on.
    const std::string& LayerOf(int o, int i) const {
        return layers.layers[static_cast<std::size_t>(table[o].ptbl[i]->layer)].name;
    }
};

// Reads as the load command does.
inline ReadResult ReadFile(std::FILE* file, const ReaderOptions& options) {
    DrawingLoad load = LoadDrawing(file, options);
    ReadResult result;
    result.count = load.count;
    result.table = load.objects;
    result.message = std::move(load.message);
    result.extents = load.extents;
    result.unconverted = std::move(load.unconverted);
    result.refusedSkippable = load.refusedSkippable;
    result.layers = std::move(load.layers);
    result.emptyCause = load.emptyCause;
    return result;
}

inline ReadResult ReadFile(std::FILE* file, int multi = 0, int clean = 0, float distance = 0.0f) {
    ReaderOptions options;
    options.dxfMulti = multi;
    options.dxfClv = clean;
    options.dxfVdist = distance;
    return ReadFile(file, options);
}

inline ReadResult ReadText(const std::string& text, const ReaderOptions& options) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    ReadResult result = ReadFile(file, options);
    std::fclose(file);
    return result;
}

inline ReaderOptions Lenient(int multi = 0) {
    ReaderOptions options;
    options.dxfMulti = multi;
    options.dxfClv = 0;
    options.dxfSkip = 1;
    return options;
}

inline ReadResult ReadText(const std::string& text, int multi = 0, int clean = 0,
                           float distance = 0.0f) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    ReadResult result = ReadFile(file, multi, clean, distance);
    std::fclose(file);
    return result;
}

inline ReadResult ReadPath(const std::string& path, const ReaderOptions& options) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        ReadResult missing;
        missing.message = "cannot open " + path;
        return missing;
    }
    ReadResult result = ReadFile(file, options);
    std::fclose(file);
    return result;
}

// Reads a public sample file with options, always without cleaning, so
// that the counts are those of the file.
inline ReadResult ReadSample(const std::string& name, ReaderOptions options) {
    options.dxfClv = 0;
    return ReadPath(std::string(VERTOKO_SAMPLES_DIR) + "/" + name, options);
}

inline ReadResult ReadSample(const std::string& name, int multi = 0) {
    ReaderOptions options;
    options.dxfMulti = multi;
    options.dxfClv = 0;
    return ReadSample(name, options);
}

// Reads a drawing of tests/dxf/data, without cleaning.
inline ReadResult ReadDataFile(const std::string& name, ReaderOptions options = {}) {
    options.dxfClv = 0;
    return ReadPath(std::string(VERTOKO_SOURCE_DIR) + "/tests/dxf/data/" + name, options);
}

}  // namespace vertoko::test
