#include "export/obj_writer.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <vector>

#include "export/file_names.h"
#include "export/obj_text.h"
#include "export/output_file.h"
#include "export/polygon_colors.h"
#include "export/save_transaction.h"
#include "mesh/triangulate.h"

namespace vertoko {

namespace {

// One library for all files of a save: one material per colour of the
// table, in the order the colours first appear.
bool WriteMaterialLibrary(SaveTransaction& save, const std::string& path, std::int32_t count,
                          const MeshObject* objects) {
    std::vector<std::uint32_t> colors;
    std::unordered_map<std::uint32_t, bool> seen;
    for (std::int32_t i = 0; i < count; ++i) {
        for (const std::uint32_t rgb : ObjectColors(objects[i]).colors) {
            if (seen.emplace(rgb, true).second) colors.push_back(rgb);
        }
    }
    OutputFile file;
    if (!save.Open(file, path)) return false;
    std::string& out = file.Buffer();
    for (const std::uint32_t rgb : colors) {
        out += "newmtl ";
        AppendMaterialName(out, rgb);
        out += "\r\nKd ";
        AppendRgb(out, rgb, ' ');
        out += "\r\n\r\n";
        file.Commit();
    }
    return save.Close(file);
}

// Writes the files; normals, when given, hold one record per object.
std::int32_t WriteFiles(const std::string& name, std::int32_t count, const MeshObject* objects,
                        const ObjectNormals* normals, std::string& msgBuf, bool zUp) {
    // The library and every file are written before any target is
    // replaced.
    SaveTransaction save;
    OutputFile file;
    // Drawing colours go to a material library beside the files.
    std::string library;
    if (HasPolygonColors(count, objects)) {
        const std::string path = (count == 1 ? CutExtension(name) : name) + ".mtl";
        if (!WriteMaterialLibrary(save, path, count, objects)) {
            msgBuf = SaveFailureMessage("mtlファイルの書き込みに失敗しました.", save.Error());
            return 0;
        }
        library = path.substr(FileNameStart(path));
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string path = count == 1 ? name : NumberedFileName(name, i + 1, ".obj");
        if (!save.Open(file, path)) {
            msgBuf = SaveFailureMessage("ファイルのオープンに失敗しました.", save.Error());
            return 0;
        }
        try {
            const ObjText text(objects[i], normals != nullptr ? &normals[i] : nullptr, library,
                               zUp);
            text.Write(file, text.PieceWork());
        } catch (const std::bad_alloc&) {
            msgBuf = "メモリーが足りません.";
            return 0;
        }
        if (!save.Close(file)) {
            msgBuf = SaveFailureMessage("ファイルの書き込みに失敗しました.", save.Error());
            return 0;
        }
    }
    if (!save.Commit()) {
        msgBuf = SaveFailureMessage("ファイルの書き込みに失敗しました.", save.Error());
        return 0;
    }
    return 1;
}

}  // namespace

std::int32_t WriteObj(const std::string& name, std::int32_t count, const MeshObject* objects,
                      std::string& msgBuf, bool zUp) {
    return WriteFiles(name, count, objects, nullptr, msgBuf, zUp);
}

std::int32_t WriteObjWithNormals(const std::string& name, std::int32_t count, MeshObject* objects,
                                 float crease, std::string& msgBuf, bool zUp) {
    std::vector<ObjectNormals> normals;
    try {
        normals.resize(static_cast<std::size_t>(std::max(count, 0)));
    } catch (const std::bad_alloc&) {
        msgBuf = "メモリーが足りません.";
        return 0;
    }
    if (TriangulateAndSmooth(count, objects, normals.data(), msgBuf, crease) == 0) return 0;
    return WriteFiles(name, count, objects, normals.data(), msgBuf, zUp);
}

}  // namespace vertoko
