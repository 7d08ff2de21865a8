// The README's settings file table and usage block and the manual page
// checked against the option table, so that a new or changed option cannot
// leave them behind. A failure prints the text expected.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/convert_options.h"
#include "convert/option_table.h"

namespace vertoko {
namespace {

std::string ReadSource(const std::string& path) {
    std::ifstream in(std::string(VERTOKO_SOURCE_DIR) + "/" + path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The cells of a Markdown table line, without their surrounding blanks.
std::vector<std::string> Cells(const std::string& line) {
    std::vector<std::string> cells;
    std::size_t start = 1;
    for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
        std::string cell = line.substr(start, bar - start);
        cell.erase(0, cell.find_first_not_of(' '));
        cell.erase(cell.find_last_not_of(' ') + 1);
        cells.push_back(cell);
    }
    return cells;
}

TEST(OptionDocs, ReadmeSettingsTableListsEveryKeyWithItsDefault) {
    const std::vector<std::string> readme = Lines(ReadSource("README.md"));
    std::size_t at = 0;
    while (at < readme.size() && readme[at] != "| Section | Key | Default | Meaning |") ++at;
    ASSERT_LT(at + 1, readme.size()) << "no settings table in README.md";
    std::vector<std::string> found;
    for (at += 2; at < readme.size() && readme[at].rfind("|", 0) == 0; ++at)
        found.push_back(readme[at]);

    // The meanings are the README's own; the rest comes from the table.
    std::vector<std::string> expected;
    for (const OptionRow& row : OptionTable()) {
        std::string meaning = "(what the value means)";
        for (const std::string& line : found) {
            const std::vector<std::string> cells = Cells(line);
            if (cells.size() == 4 && cells[1] == "`" + std::string(row.key) + "`")
                meaning = cells[3];
        }
        // An empty default reads "(empty)", as in the Window table.
        const std::string value = row.defaultText.empty()
                                      ? std::string("(empty)")
                                      : "`" + std::string(row.defaultText) + "`";
        expected.push_back("| `" + std::string(row.section) + "` | `" + std::string(row.key) +
                           "` | " + value + " | " + meaning + " |");
    }
    EXPECT_EQ(found, expected) << "README.md's settings table should read:\n" << Joined(expected);
}

TEST(OptionDocs, ReadmeUsageBlockIsTheEnglishOptionList) {
    const std::string readme = ReadSource("README.md");
    const std::string head = "```\nvertoko-convert [OPTION]... FILE.dxf...\n";
    const std::size_t start = readme.find(head);
    ASSERT_NE(start, std::string::npos) << "no usage block in README.md";
    const std::size_t end = readme.find("```\n", start + 4);
    ASSERT_NE(end, std::string::npos);
    const std::string block = readme.substr(start + 4, end - start - 4);
    const std::string expected =
        "vertoko-convert [OPTION]... FILE.dxf...\n" + ConvertOptionLines(UsageLanguage::English);
    EXPECT_EQ(block, expected) << "README.md's usage block should read:\n" << expected;
}

std::string Roff(std::string_view text) {
    std::string escaped;
    for (char c : text) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
    return escaped;
}

std::string ManHead(const OptionRow& row) {
    const std::string option = Roff(row.option);
    if (row.kind == OptionKind::Switch)
        return ".BR " + option + " \", \" " + Roff("--no-" + std::string(row.option.substr(2)));
    if (row.kind == OptionKind::Choice && row.valueName.empty()) {
        std::string words;
        for (std::string_view word : row.words)
            words += (words.empty() ? "" : "|") + ("\\fB" + Roff(word) + "\\fR");
        return ".BR " + option + " =" + words;
    }
    return ".BR " + option + " =\\fI" + std::string(row.valueName) + "\\fR";
}

// The option a manual page head names: its first word, unescaped.
std::string HeadOption(const std::string& head) {
    std::size_t start = head.find(' ');
    if (start == std::string::npos) return {};
    std::string word = head.substr(start + 1, head.find(' ', start + 1) - start - 1);
    std::string option;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word[i] == '\\' && i + 1 < word.size() && word[i + 1] == '-') continue;
        option += word[i];
    }
    return option;
}

TEST(OptionDocs, ManualPageDescribesEveryOptionWithItsDefault) {
    const std::vector<std::string> man = Lines(ReadSource("data/vertoko-convert.1"));
    struct Entry {
        std::string head;
        std::string text;
    };
    std::vector<Entry> entries;
    for (std::size_t i = 0; i + 1 < man.size(); ++i) {
        if (man[i] != ".TP") continue;
        Entry entry{man[i + 1], {}};
        for (std::size_t k = i + 2;
             k < man.size() && man[k] != ".TP" && man[k].rfind(".SH", 0) != 0; ++k)
            entry.text += man[k] + "\n";
        entries.push_back(entry);
    }

    const std::vector<std::string> own = {"-o",         "--output-dir", "--format",
                                          "--settings", "--",           "--help"};
    std::vector<std::string> expected;
    std::vector<std::string> found;
    for (const OptionRow* row : OptionsInShowingOrder(OptionTable())) {
        if (row->option.empty()) continue;
        expected.push_back(ManHead(*row));
        std::string value(row->defaultText);
        if (row->kind == OptionKind::Switch)
            value = ParseSettingInt(row->defaultText, 0) != 0 ? "on" : "off";
        for (const Entry& entry : entries) {
            if (HeadOption(entry.head) != row->option) continue;
            const std::string text = entry.text;
            const bool said = text.find("efault: " + Roff(value)) != std::string::npos ||
                              text.find("efault: \\fB" + Roff(value) + "\\fR") != std::string::npos;
            EXPECT_TRUE(said) << row->option << " should say \"Default: " << Roff(value) << "\"";
        }
    }
    for (const Entry& entry : entries) {
        const std::string option = HeadOption(entry.head);
        if (option.rfind("-", 0) != 0) continue;
        bool known = false;
        for (const std::string& name : own) known = known || option == name;
        if (!known) found.push_back(entry.head);
    }
    EXPECT_EQ(found, expected) << "the option heads of data/vertoko-convert.1 should read:\n"
                               << Joined(expected);
}

}  // namespace
}  // namespace vertoko
