#include "export/obj_writer.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <vector>

#include "export/file_names.h"
#include "export/number_format.h"
#include "export/obj_text.h"
#include "export/output_file.h"
#include "export/polygon_colors.h"
#include "export/save_transaction.h"
#include "mesh/triangulate.h"

namespace vertoko {

namespace {

// One library for all files of a save: one material per look of the
// table, in the order the looks first appear: a colour's, or a line's of
// the materials file with its statements and, above, a comment of where it
// comes from.
bool WriteMaterialLibrary(SaveTransaction& save, const std::string& path, std::int32_t count,
                          const MeshObject* objects, const LookChoice& looks) {
    std::vector<LookKey> keys;
    std::unordered_map<LookKey, bool> seen;
    for (std::int32_t i = 0; i < count; ++i) {
        for (const LookKey key : ObjectColors(objects[i], i, looks).colors) {
            if (seen.emplace(key, true).second) keys.push_back(key);
        }
    }
    OutputFile file;
    if (!save.Open(file, path)) return false;
    std::string& out = file.Buffer();
    for (const LookKey key : keys) {
        if (IsRuleLook(key) && looks.materials != nullptr) {
            const MaterialRule& rule = looks.materials->At(LookRule(key));
            out += "# line ";
            AppendInt(out, rule.line);
            out += ": ";
            out += rule.pattern;
            out += "\r\nnewmtl ";
            AppendRuleMaterialName(out, rule);
            out += "\r\n";
            out += rule.mtl;
            out += "\r\n";
        } else {
            const auto rgb = static_cast<std::uint32_t>(key);
            out += "newmtl ";
            AppendMaterialName(out, rgb);
            out += "\r\nKd ";
            AppendRgb(out, rgb, ' ');
            out += "\r\n\r\n";
        }
        file.Commit();
    }
    return save.Close(file);
}

// True when a polygon of the table takes a line of the materials file.
bool TakesRule(std::int32_t count, const MeshObject* objects, const MaterialChoice& materials) {
    for (std::int32_t i = 0; i < count; ++i) {
        for (const MeshPolygon* p = objects[i].polygons; p != nullptr; p = p->next) {
            if (materials.Rule(i, *p) >= 0) return true;
        }
    }
    return false;
}

// Writes the files; normals, when given, hold one record per object.
std::int32_t WriteFiles(const std::string& name, std::int32_t count, const MeshObject* objects,
                        const ObjectNormals* normals, std::string& msgBuf, bool zUp,
                        const LayerOutput& layers) {
    // The library and every file are written before any target is
    // replaced.
    SaveTransaction save;
    OutputFile file;
    // Drawing colours and the materials file's materials go to a material
    // library beside the files; a face that takes no line keeps its colour
    // (white without one).
    const MaterialChoice* materials =
        layers.materials != nullptr && !layers.materials->Empty() ? layers.materials : nullptr;
    const LookChoice looks{.drawingColors = true, .materials = materials};
    std::string library;
    if (HasPolygonColors(count, objects) ||
        (materials != nullptr && TakesRule(count, objects, *materials))) {
        const std::string path = (count == 1 ? CutExtension(name) : name) + ".mtl";
        if (!WriteMaterialLibrary(save, path, count, objects, looks)) {
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
            const ObjText text(objects[i], normals != nullptr ? &normals[i] : nullptr, library, zUp,
                               i, &looks, &layers);
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
                      std::string& msgBuf, bool zUp, const LayerOutput& layers) {
    return WriteFiles(name, count, objects, nullptr, msgBuf, zUp, layers);
}

std::int32_t WriteObjWithNormals(const std::string& name, std::int32_t count, MeshObject* objects,
                                 float crease, std::string& msgBuf, bool zUp,
                                 const LayerOutput& layers) {
    std::vector<ObjectNormals> normals;
    try {
        normals.resize(static_cast<std::size_t>(std::max(count, 0)));
    } catch (const std::bad_alloc&) {
        msgBuf = "メモリーが足りません.";
        return 0;
    }
    if (TriangulateAndSmooth(count, objects, normals.data(), msgBuf, crease) == 0) return 0;
    return WriteFiles(name, count, objects, normals.data(), msgBuf, zUp, layers);
}

}  // namespace vertoko
