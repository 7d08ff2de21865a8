// The settings the application keeps between runs and the settings file's
// text forms: its path, the numbers, colours and texts it reads and writes.
// Which keys it holds comes from the option table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/ini_file.h"
#include "convert/load_save.h"
#include "dxf/reader_options.h"
#include "export/pov_option.h"

namespace vertoko {

// Colours are 0x00BBGGRR: red in the low byte.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// Every option the program keeps: the reader's and the writers' options as
// both front ends hand them on, and the preview colours. The option table's
// rows point into it; its initializers are the table's defaults (a test
// holds them equal).
struct AppSettings {
    ReaderOptions reader;
    WriterOptions writer;
    std::uint32_t pviewBack = Rgb(0, 77, 102);
    std::uint32_t pviewObj = Rgb(222, 222, 222);
};

// Every row of the option table, each with its default when the section or
// key is missing.
AppSettings ReadSettings(const IniFile& ini);

// Writes every row in the table's order, so older files keep their layout.
void WriteSettings(const AppSettings& settings, IniFile& ini);

// The settings file beside the executable: the extension of the file part
// replaced by "ini", or ".ini" appended when the file part has none. Dots in
// directory names and a leading dot of the file name are no extension.
std::string SettingsPathFor(std::string_view executablePath);

// Whole text as a decimal 32-bit integer (leading blanks allowed), else
// fallback.
std::int32_t ParseSettingInt(std::string_view text, std::int32_t fallback);

// Longest leading decimal number (after blanks), as the C library reads it,
// rounded to single precision; 0 when there is none or it leaves the float
// range.
float ParseSettingFloat(std::string_view text);

// The value widened to double with at most 15 significant digits, trailing
// zeros removed; reads back to the same float.
std::string FormatSettingFloat(float value);

// "%d,%d,%d" red, green, blue; blanks may precede each number, each comma
// must follow its number. Fewer than three numbers give fallback; each
// component keeps its low 8 bits.
std::uint32_t ParseColorTriple(std::string_view text, std::uint32_t fallback);
std::string FormatColorTriple(std::uint32_t color);

// An angle as the settings file reads it: the leading decimal number held
// to [min, max]; fallback when text (after blanks) starts with none.
float ParseSettingAngle(std::string_view text, float fallback, float min, float max);

// text cut to at most maxBytes bytes without splitting a UTF-8 sequence.
std::string CutToField(std::string text, std::size_t maxBytes);

}  // namespace vertoko
