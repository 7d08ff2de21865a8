// The command line of vertoko-convert: flags and input names, GNU style
// (options before or after the inputs, "--name=value" or "--name value").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/load_save.h"
#include "convert/option_table.h"
#include "convert/settings.h"

namespace vertoko {

// The settings' options (reader, writer), which the option table's rows
// set, and the converter's own.
struct ConvertOptions : AppSettings {
    std::vector<std::string> inputs;
    std::string output;     // -o: the output file, empty to only read
    std::string outputDir;  // --output-dir: one output per input in this folder
    std::optional<SaveFormat> format;
    bool help = false;
};

struct ParseResult {
    bool ok = false;
    std::string error;  // the usage error when not ok
    ConvertOptions options;
};

// Takes the reader and writer options of the desktop application's settings
// file at path. False with error when the file cannot be read.
bool ApplySettingsFile(const std::string& path, ConvertOptions& options, std::string& error);

// Parses the arguments after the program name. A --settings file gives the
// base values, which the other options override.
ParseResult ParseConvertArguments(const std::vector<std::string>& arguments);

// Sets the value of a valued table row (not a switch) from its argument
// text. Empty when taken, else the usage error: numbers in the C notation
// (finite; angles and integers within the row's range), one of a choice's
// words, texts as they are.
std::string TakeOptionValue(const OptionRow& row, const std::string& text, AppSettings& settings);

// The --format words "pol", "pov" and "obj".
std::optional<SaveFormat> FormatForWord(const std::string& word);

// The help text, lines ending in "\n".
std::string ConvertUsage();

// The option lines of the help text: the table's options in their showing
// order between the converter's own. English gives the README's usage block.
enum class UsageLanguage { Japanese, English };
std::string ConvertOptionLines(UsageLanguage language);

}  // namespace vertoko
