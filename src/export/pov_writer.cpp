#include "export/pov_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <vector>

#include "export/file_names.h"
#include "export/number_format.h"
#include "export/output_file.h"
#include "export/polygon_colors.h"
#include "export/pov_mesh2.h"
#include "export/save_transaction.h"
#include "export/vertex_text.h"
#include "mesh/triangulate.h"

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

char* WriteVectorG(char* at, float x, float y, float z) {
    *at++ = '<';
    at = WriteG(at, x);
    *at++ = ',';
    at = WriteG(at, y);
    *at++ = ',';
    at = WriteG(at, z);
    *at++ = '>';
    return at;
}

char* WriteText(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// The texture line of a triangle of an object of several colours; nothing
// for an object of one colour.
void AppendTriangleTexture(std::string& out, const MeshPolygon& polygon, std::int32_t objectNumber,
                           const ObjectColors* colors) {
    if (colors == nullptr) return;
    out += "\r\n\ttexture { ";
    AppendColorTextureName(out, objectNumber, colors->position.at(PolygonRgb(polygon)));
    out += " }";
}

// One mesh entry: three lines, the corners and, when smoothing, each corner's
// normal after it, formatted in place and appended whole. cornerBase numbers
// the triangle's first corner among the object's written corners. A triangle
// of an object of several colours names its texture on a line of its own
// before the closing brace.
void AppendTriangle(std::string& out, const MeshObject& object, const MeshPolygon& polygon,
                    const ObjectNormals* normals, std::size_t cornerBase, std::int32_t objectNumber,
                    const ObjectColors* colors) {
    char text[6 * (3 * kGMaxLength + 4) + 64];
    char* at =
        WriteText(text, normals != nullptr ? "\tsmooth_triangle {\r\n\t" : "\ttriangle {\r\n\t");
    for (std::int32_t k = 0; k < 3; ++k) {
        const MeshVertex& v = *object.vtbl[polygon.p[k]];
        if (k > 0) at = WriteText(at, ", ");
        at = WriteVectorG(at, v.x, v.y, v.z);
        if (normals != nullptr) {
            const Point3f& n =
                normals->vectors[static_cast<std::size_t>(normals->Index(polygon, cornerBase, k))];
            *at++ = ',';
            at = WriteVectorG(at, n.x, n.y, n.z);
        }
    }
    out.append(text, at);
    AppendTriangleTexture(out, polygon, objectNumber, colors);
    out += "\r\n\t}\r\n";
}

// The same from the texts of the vertices.
void AppendTriangle(std::string& out, const VertexTexts& texts, const MeshPolygon& polygon,
                    bool smooth, std::int32_t objectNumber, const ObjectColors* colors) {
    out += smooth ? "\tsmooth_triangle {\r\n\t" : "\ttriangle {\r\n\t";
    out += texts[polygon.p[0]];
    out += ", ";
    out += texts[polygon.p[1]];
    out += ", ";
    out += texts[polygon.p[2]];
    AppendTriangleTexture(out, polygon, objectNumber, colors);
    out += "\r\n\t}\r\n";
}

// The light of the scene: today's placement in whole units, or with a framed
// camera the same direction from the centre scaled as the camera's distance
// was, in four decimals (whole units would put the light of a small model
// into it).
void AppendLight(std::string& out, const Extents& e, double scale, bool fit) {
    out += "light_source { ";
    if (fit) {
        AppendVector4(out, e.center.x + (e.max.x - e.center.x) * 5.0 * scale,
                      e.center.y + (e.max.y - e.center.y) * 5.0 * scale,
                      e.center.z + (e.max.z - e.center.z) * 5.0 * scale);
    } else {
        out += '<';
        AppendInt(out, TruncateToInt(e.center.x + (e.max.x - e.center.x) * 5));
        out += ',';
        AppendInt(out, TruncateToInt(e.center.y + (e.max.y - e.center.y) * 5));
        out += ',';
        AppendInt(out, TruncateToInt(e.center.z + (e.max.z - e.center.z) * 5));
        out += '>';
    }
    out += " color rgb <1,1,1> }\r\n\r\n";
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
                         const MeshObject* objects, const Extents& extents, bool fit) {
    const Extents& e = extents;
    const float xExtent = e.max.x - e.min.x;
    const float yExtent = e.max.y - e.min.y;
    const float s = yExtent > xExtent ? yExtent : xExtent;

    std::string out = "#include \"";
    out += includeName;
    out += "\"\r\n\r\ncamera {\r\n\tlocation ";
    const float locationY = e.center.y + s;
    double x = e.max.x;
    double y = locationY;
    double z = e.max.z + 1.8 * s;
    double scale = 1.0;
    if (fit) {
        // Along the same line of sight, at the distance where the sphere
        // around the box touches the edges of the default view's height
        // (up 1 over direction 1: a half angle whose sine is 1/sqrt(5)).
        double dx = x - e.center.x;
        double dy = y - e.center.y;
        double dz = z - e.center.z;
        double length = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (!(length > 0.0) || !std::isfinite(length)) {
            dx = dy = 0.0;
            dz = length = 1.0;
        }
        const double hx = static_cast<double>(e.max.x) - e.center.x;
        const double hy = static_cast<double>(e.max.y) - e.center.y;
        const double hz = static_cast<double>(e.max.z) - e.center.z;
        double radius = std::sqrt(hx * hx + hy * hy + hz * hz);
        // A model of one point still needs the camera off it.
        if (!(radius > 0.0)) radius = 1.0;
        const double distance = radius * std::sqrt(5.0);
        scale = distance / length;
        x = e.center.x + dx * scale;
        y = e.center.y + dy * scale;
        z = e.center.z + dz * scale;
    }
    AppendVector4(out, x, y, z);
    out += "\r\n\tlook_at ";
    AppendVector4(out, e.center.x, e.center.y, e.center.z);
    out += "\r\n}\r\n\r\n";
    AppendLight(out, e, scale, fit);
    for (std::int32_t i = 0; i < count; ++i) {
        if (!HasTriangle(objects[i])) continue;
        out += "object { dxfobj";
        AppendInt(out, i);
        out += " }\r\n";
    }
    return out;
}

std::int32_t WritePov(const std::string& name, std::int32_t count, MeshObject* objects,
                      const PovOption& povOpt, const Extents& extents, std::string& msgBuf) {
    // Both files are written before either target is replaced.
    SaveTransaction save;
    OutputFile file;
    if (!save.Open(file, name)) {
        msgBuf = SaveFailureMessage("povファイルのオープンに失敗しました.", save.Error());
        return 0;
    }
    file.Buffer() = PovSceneText(IncludeName(name), count, objects, extents, povOpt.fit != 0);
    if (!save.Close(file)) {
        msgBuf = SaveFailureMessage("povファイルの書き込みに失敗しました.", save.Error());
        return 0;
    }

    if (!save.Open(file, IncludePath(name))) {
        msgBuf = SaveFailureMessage("incファイルのオープンに失敗しました.", save.Error());
        return 0;
    }

    const bool smooth = povOpt.smooth != 0;
    std::vector<ObjectNormals> normalTable;
    if (smooth) {
        try {
            normalTable.resize(static_cast<std::size_t>(count));
        } catch (const std::bad_alloc&) {
            file.Close();
            msgBuf = "Memory allocation failed.for ntbl";
            return 0;
        }
        try {
            for (std::int32_t i = 0; i < count; ++i)
                normalTable[static_cast<std::size_t>(i)].vectors.reserve(
                    static_cast<std::size_t>(std::max(objects[i].vertexCount, 0)));
        } catch (const std::bad_alloc&) {
            file.Close();
            msgBuf = "Memory allocation failed.for normal";
            return 0;
        }
    }

    if (TriangulateAndSmooth(count, objects, smooth ? normalTable.data() : nullptr, msgBuf,
                             povOpt.crease) == 0) {
        file.Close();
        msgBuf = "メモリーが足りません.";
        return 0;
    }

    std::string& out = file.Buffer();
    const std::string& texture = povOpt.state.empty() ? std::string(kDefaultTexture) : povOpt.state;
    // Drawing colours replace the one texture wherever an object has any.
    std::vector<ObjectColors> colors;
    if (HasPolygonColors(count, objects)) {
        colors.reserve(static_cast<std::size_t>(count));
        for (std::int32_t i = 0; i < count; ++i) colors.emplace_back(objects[i]);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (!colors.empty() && !colors[static_cast<std::size_t>(i)].colors.empty()) {
            AppendColorTextures(out, i, colors[static_cast<std::size_t>(i)]);
            file.Commit();
            continue;
        }
        out += "#declare poltexture";
        AppendInt(out, i);
        out += " = ";
        out += texture;
        file.EndLine();
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const MeshObject& object = objects[i];
        if (!HasTriangle(object)) continue;
        const ObjectNormals* normals = smooth ? &normalTable[static_cast<std::size_t>(i)] : nullptr;
        const ObjectColors* several = nullptr;
        if (!colors.empty() && colors[static_cast<std::size_t>(i)].colors.size() > 1)
            several = &colors[static_cast<std::size_t>(i)];
        if (povOpt.mesh2 != 0) {
            AppendMesh2(file, i, object, normals, several);
            continue;
        }
        out += "\r\n#declare dxfobj";
        AppendInt(out, i);
        out += " = mesh {\r\n";
        std::size_t corner = 0;
        // Each vertex's text (with its normal when every corner takes its
        // vertex's) is made once; with normals per corner, or short of
        // memory, each corner is formatted where it is written.
        const bool perVertex = normals == nullptr || normals->corners.empty();
        VertexTexts texts;
        const bool textsMade =
            perVertex &&
            texts.Format(object, normals != nullptr ? normals->vectors.data() : nullptr);
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            // Polygons of fewer than three corners, or with a corner outside
            // the vertex list, have no triangle to give and are left out.
            if (!IsTriangulable(object, *polygon)) continue;
            if (textsMade) {
                AppendTriangle(out, texts, *polygon, normals != nullptr, i, several);
            } else {
                AppendTriangle(out, object, *polygon, normals, corner, i, several);
            }
            corner += 3;
            file.Commit();
        }
        out += "\r\n\ttexture { ";
        if (several != nullptr) {
            AppendColorTextureName(out, i, 0);
        } else {
            out += "poltexture";
            AppendInt(out, i);
        }
        out += " }\r\n}\r\n";
        file.Commit();
    }
    if (!save.Close(file) || !save.Commit()) {
        msgBuf = SaveFailureMessage("incファイルの書き込みに失敗しました.", save.Error());
        return 0;
    }
    return 1;
}

}  // namespace vertoko
