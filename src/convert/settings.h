// The settings the application keeps between runs and their mapping
// to the settings file: sections Options and Pview, defaults, the reading
// fallbacks and the text forms written back.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/ini_file.h"
#include "dxf/reader_options.h"
#include "convert/load_save.h"
#include "export/pov_option.h"

namespace vertoko {

// Colours are 0x00BBGGRR: red in the low byte.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

constexpr std::uint32_t kDefaultBackColor = Rgb(0, 77, 102);
constexpr std::uint32_t kDefaultObjectColor = Rgb(222, 222, 222);
inline constexpr std::string_view kDefaultPovState = "pigment {color rgb <1,1,1>}";

// Longest texts the option fields hold; longer values read from the file are
// cut to these many bytes, never inside a UTF-8 character.
constexpr std::size_t kEstrOptMax = 79;
constexpr std::size_t kPovStateMax = 87;

// Smoothing angles beyond this range mean the same as its ends.
constexpr float kCreaseMin = 0.0f;
constexpr float kCreaseMax = 180.0f;

struct AppSettings {
    std::int32_t dxfMulti = 0;
    std::int32_t dxfClv = 1;
    float dxfVdist = 0.0f;
    std::int32_t dxfSkip = 0;
    std::int32_t dxfInsert = 0;
    std::int32_t dxfColor = 0;
    std::int32_t dxfOrient = 0;
    std::string estrOpt = "s";
    PovOption povOpt{1, std::string(kDefaultPovState)};
    std::int32_t objNormal = 0;
    std::uint32_t pviewBack = kDefaultBackColor;
    std::uint32_t pviewObj = kDefaultObjectColor;
};

// Every entry, each with its default when the section or key is missing.
AppSettings ReadSettings(const IniFile& ini);

// Writes every entry in a fixed order: the original eight first, then the
// later options after them, so older files keep their layout.
void WriteSettings(const AppSettings& settings, IniFile& ini);

// The reader and writer options the settings hold, as both front ends pass
// them to the load and save commands.
ReaderOptions ReaderOptionsOf(const AppSettings& settings);
WriterOptions WriterOptionsOf(const AppSettings& settings);

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

// The smoothing angle as the settings file and the converter read it: a
// decimal number of degrees held to 0..180; fallback when there is none.
float ParseCreaseAngle(std::string_view text, float fallback);

// text cut to at most maxBytes bytes without splitting a UTF-8 sequence.
std::string CutToField(std::string text, std::size_t maxBytes);

}  // namespace vertoko
