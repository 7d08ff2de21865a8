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

bool PovCanOpenName(std::string_view name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E || byte == '"') return false;
    }
    return true;
}

namespace {

// The scene's file part before its last ".".
std::string_view SceneStem(std::string_view scenePath) {
    const std::string_view file = scenePath.substr(FileNameStart(scenePath));
    const std::size_t dot = file.find_last_of('.');
    return file.substr(0, dot == std::string_view::npos ? file.size() : dot);
}

}  // namespace

std::string PlainIncludeName(std::string_view scenePath) {
    std::string name(SceneStem(scenePath));
    name += ".inc";
    return name;
}

std::string IncludeName(std::string_view scenePath) {
    const std::string_view stem = SceneStem(scenePath);
    if (PovCanOpenName(stem)) return PlainIncludeName(scenePath);
    std::string name;
    constexpr std::size_t kKept = 200;
    bool named = false;
    for (std::size_t i = 0; i < stem.size() && name.size() < kKept; ++i) {
        const char c = stem[i];
        if (PovCanOpenName(std::string_view(&c, 1))) {
            name += c;
            named =
                named || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        } else if (i == 0 || PovCanOpenName(stem.substr(i - 1, 1))) {
            name += '_';
        }
    }
    if (!named) name = "scene";
    // FNV-1a: the same name on every system.
    std::uint32_t hash = 2166136261u;
    for (const char c : stem) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    name += '-';
    for (int shift = 28; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xF];
    name += ".inc";
    return name;
}

std::string IncludePath(std::string_view scenePath) {
    std::string path(scenePath.substr(0, FileNameStart(scenePath)));
    path += IncludeName(scenePath);
    return path;
}

}  // namespace vertoko
