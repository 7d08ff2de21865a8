// The command line of vertoko-convert: flags and input names, GNU style
// (options before or after the inputs, "--name=value" or "--name value").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/load_save.h"

namespace vertoko {

struct ConvertOptions {
    std::vector<std::string> inputs;
    std::string output;     // -o: the output file, empty to only read
    std::string outputDir;  // --output-dir: one output per input in this folder
    std::optional<SaveFormat> format;
    ReaderOptions reader;
    WriterOptions writer;
    bool help = false;

    ConvertOptions() { writer.povOpt.state = "pigment {color rgb <1,1,1>}"; }
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

// The output type for a file name's extension (".pol" and ".p" EASTRAY,
// ".pov" POV-Ray, ".obj" OBJ, in any letter case); none for another.
std::optional<SaveFormat> FormatForName(const std::string& name);

// The --format words "pol", "pov" and "obj".
std::optional<SaveFormat> FormatForWord(const std::string& word);

// The help text, lines ending in "\n".
std::string ConvertUsage();

}  // namespace vertoko
