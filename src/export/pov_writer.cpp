#include "export/pov_writer.h"

#include <cmath>
#include <limits>
#include <new>
#include <vector>

#include "export/file_names.h"
#include "export/number_format.h"
#include "export/output_file.h"
#include "export/triangulate.h"

namespace vertoko {

namespace {

constexpr const char* kDefaultTexture = "pigment {color rgb <1,1,1>}";

// "%d" of a float truncated toward zero, clamped where no int holds it.
std::int32_t TruncateToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

void AppendVector4(std::string& out, double x, double y, double z) {
    out += '<';
    AppendFixed4(out, x);
    out += ',';
    AppendFixed4(out, y);
    out += ',';
    AppendFixed4(out, z);
    out += '>';
}

void AppendVectorG(std::string& out, float x, float y, float z) {
    out += '<';
    AppendG(out, x);
    out += ',';
    AppendG(out, y);
    out += ',';
    AppendG(out, z);
    out += '>';
}

// One mesh entry: three lines, the corners and, when smoothing, each corner's
// normal after it.
void AppendTriangle(std::string& out, const MeshObject& object, const MeshPolygon& polygon,
                    const float* normals) {
    out += normals != nullptr ? "\tsmooth_triangle {\r\n\t" : "\ttriangle {\r\n\t";
    for (std::int32_t k = 0; k < 3; ++k) {
        const std::int32_t index = polygon.p[k];
        const MeshVertex& v = *object.vtbl[index];
        if (k > 0) out += ", ";
        AppendVectorG(out, v.x, v.y, v.z);
        if (normals != nullptr) {
            const float* n = normals + 3 * static_cast<std::size_t>(index);
            out += ',';
            AppendVectorG(out, n[0], n[1], n[2]);
        }
    }
    out += "\r\n\t}\r\n";
}

}  // namespace

bool HasTriangle(const MeshObject& object) {
    for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
         polygon = polygon->next) {
        if (IsTriangulable(object, *polygon)) return true;
    }
    return false;
}

std::string PovSceneText(const std::string& includeName, std::int32_t count,
                         const MeshObject* objects) {
    const Extents& e = SceneExtents;
    const float xExtent = e.max.x - e.min.x;
    const float yExtent = e.max.y - e.min.y;
    const float s = yExtent > xExtent ? yExtent : xExtent;

    std::string out = "#include \"";
    out += includeName;
    out += "\"\r\n\r\ncamera {\r\n\tlocation ";
    const float locationY = e.center.y + s;
    AppendVector4(out, e.max.x, locationY, e.max.z + 1.8 * s);
    out += "\r\n\tlook_at ";
    AppendVector4(out, e.center.x, e.center.y, e.center.z);
    out += "\r\n}\r\n\r\nlight_source { <";
    AppendInt(out, TruncateToInt(e.center.x + (e.max.x - e.center.x) * 5));
    out += ',';
    AppendInt(out, TruncateToInt(e.center.y + (e.max.y - e.center.y) * 5));
    out += ',';
    AppendInt(out, TruncateToInt(e.center.z + (e.max.z - e.center.z) * 5));
    out += "> color rgb <1,1,1> }\r\n\r\n";
    for (std::int32_t i = 0; i < count; ++i) {
        if (!HasTriangle(objects[i])) continue;
        out += "object { dxfobj";
        AppendInt(out, i);
        out += " }\r\n";
    }
    return out;
}

std::int32_t WritePov(const std::string& name, std::int32_t count, MeshObject* objects,
                      const PovOption& povOpt, std::string& msgBuf) {
    OutputFile file;
    if (!file.Open(name)) {
        msgBuf = "povファイルのオープンに失敗しました.";
        return 0;
    }
    file.Buffer() = PovSceneText(IncludeName(name), count, objects);
    if (!file.Close()) {
        msgBuf = "povファイルの書き込みに失敗しました.";
        return 0;
    }

    if (!file.Open(IncludePath(name))) {
        msgBuf = "incファイルのオープンに失敗しました.";
        return 0;
    }

    const bool smooth = povOpt.smooth != 0;
    std::vector<float*> normalTable;
    std::vector<float> normalBlock;
    if (smooth) {
        try {
            normalTable.resize(static_cast<std::size_t>(count));
        } catch (const std::bad_alloc&) {
            file.Close();
            msgBuf = "Memory allocation failed.for ntbl";
            return 0;
        }
        std::size_t total = 0;
        for (std::int32_t i = 0; i < count; ++i)
            total += static_cast<std::size_t>(std::max(objects[i].vertexCount, 0));
        try {
            normalBlock.assign(3 * total, 0.0f);
        } catch (const std::bad_alloc&) {
            file.Close();
            msgBuf = "Memory allocation failed.for normal";
            return 0;
        }
        std::size_t offset = 0;
        for (std::int32_t i = 0; i < count; ++i) {
            normalTable[static_cast<std::size_t>(i)] = normalBlock.data() + offset;
            offset += 3 * static_cast<std::size_t>(std::max(objects[i].vertexCount, 0));
        }
    }

    if (TriangulateAndSmooth(count, objects, smooth ? normalTable.data() : nullptr, msgBuf) == 0) {
        file.Close();
        msgBuf = "メモリーが足りません.";
        return 0;
    }

    std::string& out = file.Buffer();
    const std::string& texture = povOpt.state.empty() ? std::string(kDefaultTexture) : povOpt.state;
    for (std::int32_t i = 0; i < count; ++i) {
        out += "#declare poltexture";
        AppendInt(out, i);
        out += " = ";
        out += texture;
        file.EndLine();
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const MeshObject& object = objects[i];
        if (!HasTriangle(object)) continue;
        out += "\r\n#declare dxfobj";
        AppendInt(out, i);
        out += " = mesh {\r\n";
        const float* normals = smooth ? normalTable[static_cast<std::size_t>(i)] : nullptr;
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            // Polygons of fewer than three corners, or with a corner outside
            // the vertex list, have no triangle to give and are left out.
            if (!IsTriangulable(object, *polygon)) continue;
            AppendTriangle(out, object, *polygon, normals);
            file.Commit();
        }
        out += "\r\n\ttexture { poltexture";
        AppendInt(out, i);
        out += " }\r\n}\r\n";
        file.Commit();
    }
    if (!file.Close()) {
        msgBuf = "incファイルの書き込みに失敗しました.";
        return 0;
    }
    return 1;
}

}  // namespace vertoko
