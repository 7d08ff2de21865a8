#include "export/vertex_text.h"

#include <new>

#include "export/number_format.h"
#include "export/output_axes.h"
#include "parallel/fork_join.h"
#include "parallel/thresholds.h"

namespace vertoko {

namespace {

char* WriteVector(char* at, float x, float y, float z) {
    *at++ = '<';
    at = WriteG(at, x);
    *at++ = ',';
    at = WriteG(at, y);
    *at++ = ',';
    at = WriteG(at, z);
    *at++ = '>';
    return at;
}

}  // namespace

bool VertexTexts::FormatPart(const MeshObject& object, const Point3f* normals, bool zUp,
                             std::int32_t first, std::int32_t end, Part& part) {
    try {
        const std::size_t count = static_cast<std::size_t>(end - first);
        part.first = first;
        part.start.reserve(count + 1);
        part.text.reserve(count * (normals != nullptr ? 48 : 24));
        part.start.resize(count + 1);
        char line[2 * (3 * kGMaxLength + 4) + 4];
        for (std::int32_t v = first; v < end; ++v) {
            const MeshVertex& vertex = *object.vtbl[v];
            // Vertices in the drawing's axes are formatted as they always were.
            char* at = nullptr;
            if (!zUp) {
                at = WriteVector(line, vertex.x, vertex.y, vertex.z);
            } else {
                const Point3f p = PovPoint({vertex.x, vertex.y, vertex.z}, true);
                at = WriteVector(line, p.x, p.y, p.z);
            }
            if (normals != nullptr) {
                *at++ = ',';
                const Point3f n = PovPoint(normals[v], zUp);
                at = WriteVector(at, n.x, n.y, n.z);
            }
            part.start[static_cast<std::size_t>(v - first)] = part.text.size();
            part.text.append(line, at);
        }
        part.start[count] = part.text.size();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool VertexTexts::Format(const MeshObject& object, const Point3f* normals, bool zUp) {
    const std::int32_t n = object.vertexCount > 0 ? object.vertexCount : 0;
    split_ = n >= kSharedVertexTexts ? n / 2 : n;
    if (split_ == n) return FormatPart(object, normals, zUp, 0, n, parts_[0]);
    bool ok = true;
    bool secondOk = true;
    ForkJoin([&] { ok = FormatPart(object, normals, zUp, 0, split_, parts_[0]); },
             [&] { secondOk = FormatPart(object, normals, zUp, split_, n, parts_[1]); });
    return ok && secondOk;
}

}  // namespace vertoko
