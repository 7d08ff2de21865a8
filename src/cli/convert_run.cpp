#include "cli/convert_run.h"

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

}  // namespace

int RunConvert(const ConvertOptions& options, std::ostream& out) {
    const LogSink log = [&out](const std::string& line) { out << line << '\n'; };
    int status = 0;
    for (const std::string& input : options.inputs) {
        MeshObject* objects = nullptr;
        std::int32_t count = 0;
        std::string msgBuf;
        const bool opened = LoadDxf(input, options.reader, objects, count, msgBuf, log);
        if (!opened || count == 0) {
            status = 1;
            continue;
        }
        std::string target = options.output;
        if (!options.outputDir.empty())
            target = OutputInDirectory(options.outputDir, input, *options.format);
        if (!target.empty() &&
            SaveObjects(target, *options.format, count, objects, options.writer, msgBuf, log) == 0)
            status = 1;
        FreeObjectTable(count, objects);
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
