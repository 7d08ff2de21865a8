#include "convert/load_save.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "convert/drawing_load.h"
#include "dxf/drawing/aci_palette.h"
#include "export/file_names.h"
#include "export/layer_output.h"
#include "export/materials.h"
#include "export/number_format.h"
#include "export/obj_writer.h"
#include "export/polygon_writer.h"

namespace vertoko {

namespace {

// The reader's messages may end in a line feed; a log line holds none.
std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string ObjectLine(std::int32_t number, const MeshObject& object) {
    std::string line = "  #";
    AppendInt03(line, number);
    line += "：頂点数 = ";
    AppendInt(line, object.vertexCount);
    line += ", ポリゴン数 = ";
    AppendInt(line, object.polygonCount);
    return line;
}

// ", レイヤー = NAME" and ", 色 = N" for an object that stands for a layer
// and a colour; nothing for one of several layers.
void AppendLabel(std::string& line, const DrawingLayers& layers, std::size_t object) {
    if (object >= layers.objects.size()) return;
    const ObjectLabel& label = layers.objects[object];
    if (label.layer >= 0 && static_cast<std::size_t>(label.layer) < layers.layers.size())
        line += ", レイヤー = " + layers.layers[static_cast<std::size_t>(label.layer)].name;
    if (label.aci >= 0) {
        line += ", 色 = ";
        AppendInt(line, label.aci);
    }
}

}  // namespace

std::optional<SaveFormat> FormatForName(const std::string& name) {
    const std::size_t start = FileNameStart(name);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot < start) return std::nullopt;
    std::string extension = name.substr(dot);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (extension == ".pol" || extension == ".p") return SaveFormat::Eastray;
    if (extension == ".pov") return SaveFormat::PovRay;
    if (extension == ".obj") return SaveFormat::Obj;
    return std::nullopt;
}

bool LoadDxf(const std::string& name, const ReaderOptions& options, std::int32_t names,
             MeshObject*& objects, std::int32_t& objectCount, Extents& extents,
             DrawingLayers& layers, std::string& msgBuf, const LogSink& log,
             const std::function<void()>& beforeRead) {
    log("");
    log("DXF:" + name);
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) {
        log("ファイルのオープンに失敗.");
        return false;
    }
    if (objects != nullptr) FreeObjectTable(objectCount, objects);
    objects = nullptr;
    objectCount = 0;
    layers = {};
    if (beforeRead) beforeRead();

    DrawingLoad load = LoadDrawing(file, options);
    std::fclose(file);
    objects = load.objects;
    objectCount = load.count;
    extents = load.extents;
    layers = std::move(load.layers);
    msgBuf = std::move(load.message);

    if (!load.units.empty()) log(load.units);
    if (objectCount > 0) {
        std::string countLine = "Object数：";
        AppendInt(countLine, objectCount);
        log(countLine);
        for (std::int32_t i = 0; i < objectCount; ++i) {
            std::string line = ObjectLine(i + 1, objects[i]);
            if (names != 0) AppendLabel(line, layers, static_cast<std::size_t>(i));
            log(line);
        }
        if (load.emptyCause != EmptyCause::None) log(EmptyResultLine(load.emptyCause));
        if (!load.unconverted.empty()) log(load.unconverted);
    } else {
        log("Err：\"" + WithoutLineEnd(msgBuf) + "\"");
        if (load.emptyCause != EmptyCause::None) log(EmptyResultLine(load.emptyCause));
        // A read that got to the end and found no faces may still have
        // found surfaces it does not convert.
        if (!load.unconverted.empty()) log(load.unconverted);
        if (load.refusedSkippable) log(SkipHintLine());
    }
    return true;
}

std::int32_t SaveObjects(const std::string& name, SaveFormat format, std::int32_t objectCount,
                         MeshObject* objects, const Extents& extents, const WriterOptions& options,
                         std::string& msgBuf, const LogSink& log, const DrawingLayers* layers) {
    std::string target = name;
    const bool numbered = objectCount > 1 && format != SaveFormat::PovRay;
    if (numbered) {
        target = CutExtension(name);
        log("->POL:" + target + (format == SaveFormat::Obj ? "～.obj" : "～.pol"));
    } else {
        log("->POL:" + name);
    }
    // POV-Ray 3.7 opens only include names of printable ASCII: any other
    // name gets one made of it, and the log says which.
    if (format == SaveFormat::PovRay && IncludeName(name) != PlainIncludeName(name))
        log("インクルードファイルはPOV-Rayが開ける名前にしました：" + IncludeName(name));

    // A materials file that cannot be read, or lines of it that cannot be
    // used, are reported and left out; the save goes on.
    Materials materials;
    std::optional<MaterialChoice> choice;
    if (!options.materials.empty() && format != SaveFormat::Eastray) {
        std::vector<std::string> messages;
        if (ReadMaterials(options.materials, materials, messages))
            log("材質ファイル：" + options.materials);
        for (const std::string& message : messages) log(message);
        choice.emplace(materials, layers, &AciColor);
    }
    const LayerOutput layerOutput{
        .layers = layers, .names = options.outNames != 0, .materials = choice ? &*choice : nullptr};

    std::int32_t result = 0;
    const bool zUp = options.zUp != 0;
    switch (format) {
        case SaveFormat::Obj:
            // The normals are those of the POV-Ray writer: smoothed up to the
            // angle, or each face's own when smoothing is off.
            result =
                options.objNormal != 0
                    ? WriteObjWithNormals(target, objectCount, objects,
                                          options.povOpt.smooth != 0 ? options.povOpt.crease : 0.0f,
                                          msgBuf, zUp, layerOutput)
                    : WriteObj(target, objectCount, objects, msgBuf, zUp, layerOutput);
            break;
        case SaveFormat::Eastray:
            result = WritePolOrPov(target, 1, objectCount, objects, options.estrOpt, options.povOpt,
                                   extents, msgBuf);
            break;
        case SaveFormat::PovRay:
            result = WritePolOrPov(target, 0, objectCount, objects, options.estrOpt, options.povOpt,
                                   extents, msgBuf, zUp, layerOutput);
            break;
    }
    // The writer's message, and the system's reason on a line of its own.
    if (result == 0) {
        const std::string message = WithoutLineEnd(msgBuf);
        std::size_t start = 0;
        for (std::size_t end; (end = message.find('\n', start)) != std::string::npos;
             start = end + 1)
            log(message.substr(start, end - start));
        log(message.substr(start));
    }
    return result;
}

}  // namespace vertoko
