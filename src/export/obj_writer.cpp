#include "export/obj_writer.h"

#include "export/file_names.h"
#include "export/number_format.h"
#include "export/output_file.h"

namespace vertoko {

std::int32_t WriteObj(const std::string& name, std::int32_t count, const MeshObject* objects,
                      std::string& msgBuf) {
    OutputFile file;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string path = count == 1 ? name : NumberedFileName(name, i + 1, ".obj");
        if (!file.Open(path)) {
            msgBuf = "ファイルのオープンに失敗しました.";
            return 0;
        }
        const MeshObject& object = objects[i];
        std::string& out = file.Buffer();
        for (const MeshVertex* v = object.vertices; v != nullptr; v = v->next) {
            out += "v ";
            AppendG(out, v->x);
            out += ' ';
            AppendG(out, v->y);
            out += ' ';
            AppendG(out, v->z);
            file.EndLine();
            file.Commit();
        }
        out += "# ";
        AppendInt(out, object.vertexCount);
        out += " vertices\r\n\r\n";
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            out += 'f';
            for (std::int32_t k = 0; k < polygon->cornerCount; ++k) {
                out += ' ';
                // OBJ numbers vertices from 1 within each file.
                AppendInt(out, static_cast<std::int64_t>(polygon->p[k]) + 1);
            }
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

}  // namespace vertoko
