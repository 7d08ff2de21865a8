#include "convert/ini_file.h"

#include <sys/stat.h>

#include <cstdio>

namespace vertoko {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Only ASCII letters fold: bytes of multi-byte characters compare as they are.
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

IniFile IniFile::Parse(std::string_view text) {
    IniFile ini;
    Section* current = nullptr;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            ini.sections_.push_back(Section{std::string(line.substr(1, line.size() - 2)), {}});
            current = &ini.sections_.back();
            continue;
        }
        if (current == nullptr) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            current->entries.push_back(Entry{std::string(line), {}, false});
        } else {
            current->entries.push_back(Entry{std::string(line.substr(0, equals)),
                                             std::string(line.substr(equals + 1)), true});
        }
    }
    return ini;
}

IniFile::LoadResult IniFile::Load(const std::string& path, IniFile& out) {
    out = IniFile();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return Exists(path) ? LoadResult::Unreadable : LoadResult::Missing;
    std::string text;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    // A directory opens on some systems and fails only at the first read.
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return LoadResult::Unreadable;
    out = Parse(text);
    return LoadResult::Loaded;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    for (const Section& section : sections_) {
        if (SameText(section.name, name)) return &section;
    }
    return nullptr;
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    for (Section& section : sections_) {
        if (SameText(section.name, name)) return &section;
    }
    return nullptr;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) return std::nullopt;
    for (const Entry& entry : found->entries) {
        if (entry.hasValue && SameText(entry.key, key)) return entry.value;
    }
    return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    std::optional<std::string> value = Get(section, key);
    return value ? *value : std::string(fallback);
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* found = FindSection(section);
    if (found == nullptr) {
        sections_.push_back(Section{std::string(section), {}});
        found = &sections_.back();
    }
    for (Entry& entry : found->entries) {
        if (entry.hasValue && SameText(entry.key, key)) {
            entry.value = value;
            return;
        }
    }
    found->entries.push_back(Entry{std::string(key), std::string(value), true});
}

std::string IniFile::Serialize() const {
    std::string text;
    for (const Section& section : sections_) {
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const Entry& entry : section.entries) {
            text += entry.key;
            if (entry.hasValue) {
                text += '=';
                text += entry.value;
            }
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

bool IniFile::Save(const std::string& path) const {
    const std::string text = Serialize();
    // Binary mode: the CR LF ends are already in the text.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

}  // namespace vertoko
