#include "convert/settings.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <system_error>

namespace vertoko {

namespace {

constexpr std::string_view kOptions = "Options";
constexpr std::string_view kPview = "Pview";

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

std::int32_t ReadInt(const IniFile& ini, std::string_view key, std::int32_t fallback) {
    std::optional<std::string> text = ini.Get(kOptions, key);
    return text ? ParseSettingInt(*text, fallback) : fallback;
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

float ParseCreaseAngle(std::string_view text, float fallback) {
    const std::string_view rest = SkipBlanks(text);
    const bool startsNumber = !rest.empty() && (IsDigit(rest.front()) || rest.front() == '.' ||
                                                rest.front() == '+' || rest.front() == '-');
    if (!startsNumber) return fallback;
    const float angle = ParseSettingFloat(rest);
    if (angle < kCreaseMin) return kCreaseMin;
    if (angle > kCreaseMax) return kCreaseMax;
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

ReaderOptions ReaderOptionsOf(const AppSettings& s) {
    ReaderOptions options;
    options.dxfMulti = s.dxfMulti;
    options.dxfClv = s.dxfClv;
    options.dxfVdist = s.dxfVdist;
    options.dxfSkip = s.dxfSkip;
    options.dxfInsert = s.dxfInsert;
    options.dxfColor = s.dxfColor;
    options.dxfOrient = s.dxfOrient;
    return options;
}

WriterOptions WriterOptionsOf(const AppSettings& s) {
    WriterOptions options;
    options.estrOpt = s.estrOpt;
    options.povOpt = s.povOpt;
    options.objNormal = s.objNormal;
    return options;
}

AppSettings ReadSettings(const IniFile& ini) {
    AppSettings s;
    s.dxfMulti = ReadInt(ini, "DXFmulti", 0);
    s.dxfClv = ReadInt(ini, "DXFclv", 1);
    s.dxfVdist = ParseSettingFloat(ini.ReadString(kOptions, "DXFvdist", "0"));
    s.estrOpt = CutToField(ini.ReadString(kOptions, "ESTRopt", "s"), kEstrOptMax);
    s.povOpt.smooth = ReadInt(ini, "POVRsmt", 1);
    s.povOpt.state =
        CutToField(ini.ReadString(kOptions, "POVRstate", kDefaultPovState), kPovStateMax);
    s.dxfSkip = ReadInt(ini, "DXFskip", 0);
    s.dxfInsert = ReadInt(ini, "DXFinsert", 0);
    s.dxfColor = ReadInt(ini, "DXFcolor", 0);
    s.dxfOrient = ReadInt(ini, "DXForient", 0);
    s.povOpt.crease = ParseCreaseAngle(ini.ReadString(kOptions, "POVRcrease", "180"), kCreaseMax);
    s.povOpt.mesh2 = ReadInt(ini, "POVRmesh2", 0);
    s.povOpt.fit = ReadInt(ini, "POVRfit", 0);
    s.objNormal = ReadInt(ini, "OBJnormal", 0);
    s.pviewBack = ParseColorTriple(ini.ReadString(kPview, "backcol", ""), kDefaultBackColor);
    s.pviewObj = ParseColorTriple(ini.ReadString(kPview, "objcol", ""), kDefaultObjectColor);
    return s;
}

void WriteSettings(const AppSettings& s, IniFile& ini) {
    ini.WriteString(kOptions, "DXFmulti", std::to_string(s.dxfMulti));
    ini.WriteString(kOptions, "DXFclv", std::to_string(s.dxfClv));
    ini.WriteString(kOptions, "DXFvdist", FormatSettingFloat(s.dxfVdist));
    ini.WriteString(kOptions, "ESTRopt", s.estrOpt);
    ini.WriteString(kOptions, "POVRsmt", std::to_string(s.povOpt.smooth));
    ini.WriteString(kOptions, "POVRstate", s.povOpt.state);
    ini.WriteString(kOptions, "DXFskip", std::to_string(s.dxfSkip));
    ini.WriteString(kOptions, "DXFinsert", std::to_string(s.dxfInsert));
    ini.WriteString(kOptions, "DXFcolor", std::to_string(s.dxfColor));
    ini.WriteString(kOptions, "DXForient", std::to_string(s.dxfOrient));
    ini.WriteString(kOptions, "POVRcrease", FormatSettingFloat(s.povOpt.crease));
    ini.WriteString(kOptions, "POVRmesh2", std::to_string(s.povOpt.mesh2));
    ini.WriteString(kOptions, "POVRfit", std::to_string(s.povOpt.fit));
    ini.WriteString(kOptions, "OBJnormal", std::to_string(s.objNormal));
    ini.WriteString(kPview, "backcol", FormatColorTriple(s.pviewBack));
    ini.WriteString(kPview, "objcol", FormatColorTriple(s.pviewObj));
}

}  // namespace vertoko
