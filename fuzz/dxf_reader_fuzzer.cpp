// Feeds arbitrary bytes to ReadDxf. The first byte chooses the reader
// options; the rest is the file. Besides the sanitizers' checks, every table
// the reader hands over must keep its counts and corner indices consistent.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dxf/dxf_reader.h"

namespace {

void CheckTable(std::int32_t count, const vertoko::MeshObject* table) {
    for (std::int32_t i = 0; i < count; ++i) {
        const vertoko::MeshObject& object = table[i];
        std::int32_t vertices = 0;
        for (const vertoko::MeshVertex* v = object.vertices; v != nullptr; v = v->next) {
            if (object.vtbl[vertices] != v) std::abort();
            ++vertices;
        }
        if (vertices != object.vertexCount) std::abort();
        std::int32_t polygons = 0;
        for (const vertoko::MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
            if (object.ptbl[polygons] != p || p->cornerCount < 1) std::abort();
            for (std::int32_t k = 0; k < p->cornerCount; ++k) {
                if (p->p[k] < 0 || p->p[k] >= object.vertexCount) std::abort();
            }
            ++polygons;
        }
        if (polygons != object.polygonCount) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int multi = data[0] & 1;
    const int clean = (data[0] >> 1) & 1;
    const float distance = static_cast<float>(data[0] >> 2) * 0.25f;
    // fmemopen reads the bytes where they lie; an empty file needs a real one.
    std::FILE* file =
        size > 1 ? fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "rb") : std::tmpfile();
    if (file == nullptr) return 0;

    vertoko::MeshObject* table = nullptr;
    std::string message;
    const std::int32_t count = vertoko::ReadDxf(file, multi, clean, distance, table, message);
    std::fclose(file);
    if (count > 0) {
        CheckTable(count, table);
        vertoko::ComputeSceneExtents(count, table);
    } else if (table != nullptr || message.empty()) {
        std::abort();
    }
    vertoko::FreeObjectTable(count, table);
    return 0;
}
