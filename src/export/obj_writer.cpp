#include "export/obj_writer.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <vector>

#include "export/file_names.h"
#include "export/number_format.h"
#include "export/output_file.h"
#include "export/polygon_colors.h"
#include "export/triangulate.h"

namespace vertoko {

namespace {

void AppendMaterialName(std::string& out, std::uint32_t rgb) {
    static const char kHex[] = "0123456789abcdef";
    out += "dxfcolor_";
    for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(rgb >> shift) & 0xFu];
}

// One library for all files of a save: one material per colour of the
// table, in the order the colours first appear.
bool WriteMaterialLibrary(const std::string& path, std::int32_t count, const MeshObject* objects) {
    std::vector<std::uint32_t> colors;
    std::unordered_map<std::uint32_t, bool> seen;
    for (std::int32_t i = 0; i < count; ++i) {
        for (const std::uint32_t rgb : ObjectColors(objects[i]).colors) {
            if (seen.emplace(rgb, true).second) colors.push_back(rgb);
        }
    }
    OutputFile file;
    if (!file.Open(path)) return false;
    std::string& out = file.Buffer();
    for (const std::uint32_t rgb : colors) {
        out += "newmtl ";
        AppendMaterialName(out, rgb);
        out += "\r\nKd ";
        AppendRgb(out, rgb, ' ');
        out += "\r\n\r\n";
        file.Commit();
    }
    return file.Close();
}

// Writes the files; normals, when given, hold one record per object.
std::int32_t WriteFiles(const std::string& name, std::int32_t count, const MeshObject* objects,
                        const ObjectNormals* normals, std::string& msgBuf) {
    OutputFile file;
    // Drawing colours go to a material library beside the files.
    std::string library;
    if (HasPolygonColors(count, objects)) {
        const std::string path = (count == 1 ? CutExtension(name) : name) + ".mtl";
        if (!WriteMaterialLibrary(path, count, objects)) {
            msgBuf = "mtlファイルの書き込みに失敗しました.";
            return 0;
        }
        library = path.substr(FileNameStart(path));
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string path = count == 1 ? name : NumberedFileName(name, i + 1, ".obj");
        if (!file.Open(path)) {
            msgBuf = "ファイルのオープンに失敗しました.";
            return 0;
        }
        const MeshObject& object = objects[i];
        const ObjectNormals* objectNormals = normals != nullptr ? &normals[i] : nullptr;
        std::string& out = file.Buffer();
        // Each line is formatted in place and appended whole.
        char line[3 * kGMaxLength + 8];
        if (!library.empty()) {
            out += "mtllib ";
            out += library;
            file.EndLine();
        }
        for (const MeshVertex* v = object.vertices; v != nullptr; v = v->next) {
            char* at = line;
            *at++ = 'v';
            *at++ = ' ';
            at = WriteG(at, v->x);
            *at++ = ' ';
            at = WriteG(at, v->y);
            *at++ = ' ';
            at = WriteG(at, v->z);
            *at++ = '\r';
            *at++ = '\n';
            out.append(line, at);
            file.Commit();
        }
        out += "# ";
        AppendInt(out, object.vertexCount);
        out += " vertices\r\n\r\n";
        if (objectNormals != nullptr) {
            for (const Point3f& n : objectNormals->vectors) {
                out += "vn ";
                AppendG(out, n.x);
                out += ' ';
                AppendG(out, n.y);
                out += ' ';
                AppendG(out, n.z);
                file.EndLine();
                file.Commit();
            }
            out += "# ";
            AppendInt(out, static_cast<std::int64_t>(objectNormals->vectors.size()));
            out += " vertex normals\r\n\r\n";
        }
        std::size_t corner = 0;
        bool first = true;
        std::uint32_t material = 0;
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            const bool withNormals = objectNormals != nullptr && IsTriangulable(object, *polygon);
            if (!library.empty() && (first || PolygonRgb(*polygon) != material)) {
                material = PolygonRgb(*polygon);
                out += "usemtl ";
                AppendMaterialName(out, material);
                file.EndLine();
            }
            first = false;
            out += 'f';
            for (std::int32_t k = 0; k < polygon->cornerCount; ++k) {
                char* at = line;
                *at++ = ' ';
                // OBJ numbers vertices and normals from 1 within each file.
                at = WriteInt(at, static_cast<std::int64_t>(polygon->p[k]) + 1);
                if (withNormals) {
                    *at++ = '/';
                    *at++ = '/';
                    at = WriteInt(
                        at,
                        static_cast<std::int64_t>(objectNormals->Index(*polygon, corner, k)) + 1);
                }
                out.append(line, at);
            }
            if (withNormals) corner += 3;
            file.EndLine();
            file.Commit();
        }
        out += "# ";
        AppendInt(out, object.polygonCount);
        out += " elements";
        file.EndLine();
        if (!file.Close()) {
            msgBuf = "ファイルの書き込みに失敗しました.";
            return 0;
        }
    }
    return 1;
}

}  // namespace

std::int32_t WriteObj(const std::string& name, std::int32_t count, const MeshObject* objects,
                      std::string& msgBuf) {
    return WriteFiles(name, count, objects, nullptr, msgBuf);
}

std::int32_t WriteObjWithNormals(const std::string& name, std::int32_t count, MeshObject* objects,
                                 float crease, std::string& msgBuf) {
    std::vector<ObjectNormals> normals;
    try {
        normals.resize(static_cast<std::size_t>(std::max(count, 0)));
    } catch (const std::bad_alloc&) {
        msgBuf = "メモリーが足りません.";
        return 0;
    }
    if (TriangulateAndSmooth(count, objects, normals.data(), msgBuf, crease) == 0) return 0;
    return WriteFiles(name, count, objects, normals.data(), msgBuf);
}

}  // namespace vertoko
