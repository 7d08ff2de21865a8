#include "export/eastray_writer.h"

#include "export/file_names.h"
#include "export/number_format.h"
#include "export/output_file.h"
#include "export/save_transaction.h"

namespace vertoko {

std::int32_t WriteEastray(const std::string& name, std::int32_t count, const MeshObject* objects,
                          const std::string& estrOpt, std::string& msgBuf) {
    // Every file is written before any target is replaced.
    SaveTransaction save;
    OutputFile file;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string path = count == 1 ? name : NumberedFileName(name, i + 1, ".pol");
        if (!save.Open(file, path)) {
            msgBuf = SaveFailureMessage("ファイルのオープンに失敗しました.", save.Error());
            return 0;
        }
        const MeshObject& object = objects[i];
        std::string& out = file.Buffer();
        std::int32_t number = 0;
        char line[3 * kGMaxLength + 32];
        for (const MeshVertex* v = object.vertices; v != nullptr; v = v->next, ++number) {
            char* at = line;
            *at++ = 'p';
            *at++ = ' ';
            at = WriteInt(at, number);
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
        for (const MeshPolygon* polygon = object.polygons; polygon != nullptr;
             polygon = polygon->next) {
            out += 'P';
            for (std::int32_t k = 0; k < polygon->cornerCount; ++k) {
                out += ' ';
                AppendInt(out, polygon->p[k]);
            }
            out += " ;";
            out += estrOpt;
            file.EndLine();
            file.Commit();
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

}  // namespace vertoko
