// Feeds arbitrary bytes to the reader with face orientation, then splits and
// smooths the table with a smoothing angle, as the POV-Ray and OBJ writers
// do. The first byte chooses multi-object mode, cleaning and the angle; the
// rest is the file. Every corner must end up with a normal that exists.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "convert/drawing_load.h"
#include "mesh/triangulate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    vertoko::ReaderOptions options;
    options.dxfMulti = data[0] & 1;
    options.dxfClv = (data[0] >> 1) & 1;
    options.dxfOrient = 1;
    const float crease = static_cast<float>(data[0] >> 2) * 3.0f;  // 0 to 189 degrees
    std::FILE* file =
        size > 1 ? fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "rb") : std::tmpfile();
    if (file == nullptr) return 0;

    vertoko::MeshObject* table = nullptr;
    std::string message;
    vertoko::DrawingLoad load = vertoko::LoadDrawing(file, options);
    const std::int32_t count = load.count;
    table = load.objects;
    message = load.message;
    std::fclose(file);
    if (count > 0) {
        std::vector<vertoko::ObjectNormals> normals(static_cast<std::size_t>(count));
        if (vertoko::TriangulateAndSmooth(count, table, normals.data(), message, crease) == 0)
            std::abort();
        for (std::int32_t i = 0; i < count; ++i) {
            const vertoko::ObjectNormals& n = normals[static_cast<std::size_t>(i)];
            std::size_t corner = 0;
            for (const vertoko::MeshPolygon* p = table[i].polygons; p != nullptr; p = p->next) {
                if (!vertoko::IsTriangulable(table[i], *p)) continue;
                if (p->cornerCount != 3) std::abort();
                for (std::int32_t k = 0; k < 3; ++k) {
                    const std::int32_t index = n.Index(*p, corner, k);
                    if (index < 0 || static_cast<std::size_t>(index) >= n.vectors.size())
                        std::abort();
                }
                corner += 3;
            }
            if (!n.corners.empty() && corner != n.corners.size()) std::abort();
        }
    }
    vertoko::FreeObjectTable(count, table);
    return 0;
}
