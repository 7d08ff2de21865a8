// The settings file as an in-memory object: sections and their entries in
// file order, looked up without regard to ASCII case, first occurrence
// first. Plain standard C++ so that every front end can read the same file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vertoko {

class IniFile {
  public:
    enum class LoadResult { Loaded, Missing, Unreadable };

    // Reads text with LF or CR LF line ends. Comment lines (";"), empty
    // lines and lines before the first section are dropped.
    static IniFile Parse(std::string_view text);

    // Reads the file at path into out. A missing file leaves out empty and
    // is no error; a file that exists but cannot be read is Unreadable.
    static LoadResult Load(const std::string& path, IniFile& out);

    // The value of key in the first section named section, if any.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;

    // Replaces the value of the key's first line in place, or appends the key
    // to the section, or appends the section to the file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Every section line, its entry lines and one empty line, CR LF ends.
    std::string Serialize() const;

    // Writes Serialize() to path; false when the file cannot be created or
    // written in full.
    bool Save(const std::string& path) const;

  private:
    struct Entry {
        std::string key;    // text before the first "="; the whole line if none
        std::string value;  // text after the first "="
        bool hasValue;      // false: a line without "=", kept as it was
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);

    std::vector<Section> sections_;
};

}  // namespace vertoko
