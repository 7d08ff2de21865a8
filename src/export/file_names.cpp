#include "export/file_names.h"

#include "export/number_format.h"

namespace vertoko {

std::string NumberedFileName(std::string_view base, std::int32_t number,
                             std::string_view extension) {
    std::string name(base);
    AppendInt03(name, number);
    name += extension;
    return name;
}

std::size_t FileNameStart(std::string_view name) {
#ifdef _WIN32
    const std::size_t separator = name.find_last_of("\\/");
#else
    const std::size_t separator = name.find_last_of('/');
#endif
    return separator == std::string_view::npos ? 0 : separator + 1;
}

std::string CutExtension(std::string_view name) {
    const std::size_t start = FileNameStart(name);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot < start) return std::string(name);
    return std::string(name.substr(0, dot));
}

std::string IncludeName(std::string_view scenePath) {
    const std::string_view file = scenePath.substr(FileNameStart(scenePath));
    const std::size_t dot = file.find_last_of('.');
    std::string name(file.substr(0, dot == std::string_view::npos ? file.size() : dot));
    name += ".inc";
    return name;
}

std::string IncludePath(std::string_view scenePath) {
    std::string path(scenePath.substr(0, FileNameStart(scenePath)));
    path += IncludeName(scenePath);
    return path;
}

}  // namespace vertoko
