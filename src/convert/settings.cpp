#include "convert/settings.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <system_error>

#include "convert/option_table.h"

namespace vertoko {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view SkipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One "%d" conversion: blanks, optional sign, digits. Keeps the value modulo
// 2^32, which is all a colour component needs (its low 8 bits). Returns the
// number of characters used, 0 when no number stands there.
std::size_t ScanInt(std::string_view text, std::uint32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || !IsDigit(text[i])) return 0;
    std::uint32_t v = 0;
    while (i < text.size() && IsDigit(text[i])) {
        v = v * 10u + static_cast<std::uint32_t>(text[i] - '0');
        ++i;
    }
    value = negative ? 0u - v : v;
    return i;
}

}  // namespace

std::int32_t ParseSettingInt(std::string_view text, std::int32_t fallback) {
    text = SkipBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || (text.front() == '-' && text.size() == 1)) return fallback;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return fallback;
    return value;
}

float ParseSettingFloat(std::string_view text) {
    text = SkipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Only decimal numbers: from_chars would also take "inf" and "nan".
    if (text.empty() ||
        !(IsDigit(text.front()) || (text.front() == '.' && text.size() > 1 && IsDigit(text[1])))) {
        return 0.0f;
    }
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) return 0.0f;
    if (error != std::errc() || !std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0.0f;
    (void)end;
    const float single = static_cast<float>(value);
    return negative ? -single : single;
}

float ParseSettingAngle(std::string_view text, float fallback, float min, float max) {
    const std::string_view rest = SkipBlanks(text);
    const bool startsNumber = !rest.empty() && (IsDigit(rest.front()) || rest.front() == '.' ||
                                                rest.front() == '+' || rest.front() == '-');
    if (!startsNumber) return fallback;
    const float angle = ParseSettingFloat(rest);
    if (angle < min) return min;
    if (angle > max) return max;
    return angle;
}

std::string FormatSettingFloat(float value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(
        buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::general, 15);
    if (error != std::errc()) return "0";
    return std::string(buffer, end);
}

std::uint32_t ParseColorTriple(std::string_view text, std::uint32_t fallback) {
    std::uint32_t components[3] = {0, 0, 0};
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t used = ScanInt(text.substr(pos), components[i]);
        if (used == 0) return fallback;
        pos += used;
        if (i < 2) {
            if (pos >= text.size() || text[pos] != ',') return fallback;
            ++pos;
        }
    }
    return Rgb(components[0], components[1], components[2]);
}

std::string FormatColorTriple(std::uint32_t color) {
    return std::to_string(color & 0xFF) + "," + std::to_string((color >> 8) & 0xFF) + "," +
           std::to_string((color >> 16) & 0xFF);
}

std::string CutToField(std::string text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t cut = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to a character start.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
    return text;
}

std::string SettingsPathFor(std::string_view executablePath) {
    const std::size_t slash = executablePath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t dot = executablePath.rfind('.');
    if (dot != std::string_view::npos && dot > nameStart) {
        return std::string(executablePath.substr(0, dot + 1)) + "ini";
    }
    return std::string(executablePath) + ".ini";
}

AppSettings ReadSettings(const IniFile& ini) {
    AppSettings settings;
    for (const OptionRow& row : OptionTable()) {
        const std::optional<std::string> text = ini.Get(row.section, row.key);
        if (text) {
            SetOptionFromText(row, *text, settings);
        } else {
            SetOptionDefault(row, settings);
        }
    }
    return settings;
}

void WriteSettings(const AppSettings& settings, IniFile& ini) {
    for (const OptionRow& row : OptionTable())
        ini.WriteString(row.section, row.key, OptionText(row, settings));
}

}  // namespace vertoko
