#include "cli/convert_run.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "export/file_names.h"

namespace vertoko {

namespace {

const char* ExtensionOf(SaveFormat format) {
    switch (format) {
        case SaveFormat::Eastray:
            return ".pol";
        case SaveFormat::PovRay:
            return ".pov";
        case SaveFormat::Obj:
            return ".obj";
    }
    return "";
}

// DIR/stem.ext for input in --output-dir mode.
std::string OutputInDirectory(const std::string& directory, const std::string& input,
                              SaveFormat format) {
    std::string path = directory;
    if (!path.empty() && path.back() != '/') path += '/';
    path += CutExtension(input.substr(FileNameStart(input)));
    path += ExtensionOf(format);
    return path;
}

// The file a conversion writes: -o as given, else beside the input or in
// --output-dir under the input's name; empty when the run only reads.
std::string TargetFor(const ConvertOptions& options, const std::string& input) {
    if (!options.output.empty()) return options.output;
    if (!options.format) return {};
    if (!options.outputDir.empty())
        return OutputInDirectory(options.outputDir, input, *options.format);
    return input.substr(0, FileNameStart(input)) +
           CutExtension(input.substr(FileNameStart(input))) + ExtensionOf(*options.format);
}

}  // namespace

int RunConvert(const ConvertOptions& options, std::ostream& out) {
    const LogSink log = [&out](const std::string& line) { out << line << '\n'; };
    if (!options.outputDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.outputDir, error);
        if (error) {
            out << "フォルダー " << options.outputDir << " を作成できません: " << error.message()
                << '\n';
            return 1;
        }
    }
    // With several inputs every file ends with a status line of its own, so
    // that a long run can be read (and grepped) file by file.
    const bool statusLines = options.inputs.size() > 1;
    int status = 0;
    // Two inputs of the same name from different folders would meet in one
    // --output-dir file; the later one fails instead of overwriting the first.
    std::set<std::string> written;
    for (const std::string& input : options.inputs) {
        MeshObject* objects = nullptr;
        std::int32_t count = 0;
        Extents extents = {};
        // The drawing's layers, which the writers name.
        DrawingLayers layers;
        std::string msgBuf;
        bool ok = LoadDxf(input, options.reader, options.writer.outNames, objects, count, extents,
                          layers, msgBuf, log) &&
                  count > 0;
        const std::string target = TargetFor(options, input);
        if (ok && !target.empty() && !written.insert(target).second) {
            out << "出力 " << target << " は前の入力の出力と同じです\n";
            ok = false;
        } else if (ok && !target.empty()) {
            ok = SaveObjects(target, *options.format, count, objects, extents, options.writer,
                             msgBuf, log, &layers) != 0;
        }
        FreeObjectTable(count, objects);
        if (!ok) status = 1;
        if (statusLines) out << (ok ? "成功: " : "失敗: ") << input << '\n';
    }
    out.flush();
    return status;
}

int ConvertMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const ParseResult parsed = ParseConvertArguments(arguments);
    if (!parsed.ok) {
        err << "vertoko-convert: " << parsed.error << "\n"
            << "詳しくは vertoko-convert --help を見てください.\n";
        return 2;
    }
    if (parsed.options.help) {
        out << ConvertUsage();
        return 0;
    }
    return RunConvert(parsed.options, out);
}

}  // namespace vertoko
