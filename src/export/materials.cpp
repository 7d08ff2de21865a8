#include "export/materials.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "export/number_format.h"
#include "model/layer_pattern.h"

namespace vertoko {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// True when text is whole UTF-8 sequences, none overlong or a surrogate.
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
        if (length == 0 || i + length > text.size()) return false;
        std::uint32_t c = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u) return false;
            c = (c << 6) | (next & 0x3Fu);
        }
        if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) ||
            (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        i += length;
    }
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// MATCH into rule; the reason when it cannot be used.
std::string ParseMatch(std::string_view match, MaterialRule& rule) {
    if (match.empty()) return "「=」の前にレイヤー名か色がありません.";
    // "color" and a blank start a colour; a layer pattern "color*" stays a
    // pattern.
    if (match.size() > 5 && SameLetters(match.substr(0, 5), "color") && IsBlank(match[5])) {
        const std::string_view colour = Trimmed(match.substr(5));
        if (!colour.empty() && colour.front() == '#') {
            std::uint32_t rgb = 0;
            bool valid = colour.size() == 7;
            for (std::size_t i = 1; valid && i < colour.size(); ++i) {
                const int digit = HexDigit(colour[i]);
                valid = digit >= 0;
                rgb = (rgb << 4) | static_cast<std::uint32_t>(digit < 0 ? 0 : digit);
            }
            if (!valid) return "色は color #RRGGBB (16進数6桁) で書いてください.";
            rule.match = MaterialRule::Match::ColorRgb;
            rule.rgb = rgb;
            rule.pattern = std::string(match);
            return {};
        }
        std::int32_t index = 0;
        const auto [end, error] =
            std::from_chars(colour.data(), colour.data() + colour.size(), index);
        if (error != std::errc() || end != colour.data() + colour.size() || index < 1 ||
            index > 255)
            return "色番号は color 1 から color 255 までです.";
        rule.match = MaterialRule::Match::ColorIndex;
        rule.aci = index;
        rule.pattern = std::string(match);
        return {};
    }
    rule.match = MaterialRule::Match::Layer;
    rule.pattern = std::string(match);
    return {};
}

// The texture at the start of text, "texture { ... }" with its braces
// matched (those inside strings aside), into rule; at is set past it.
std::string ParseTexture(std::string_view text, std::size_t& at, MaterialRule& rule) {
    constexpr std::string_view kKeyword = "texture";
    std::size_t i = 0;
    if (text.substr(0, kKeyword.size()) != kKeyword ||
        (text.size() > kKeyword.size() && !IsBlank(text[kKeyword.size()]) &&
         text[kKeyword.size()] != '{'))
        return "「=」の後は POV-Ray の texture { ... } です.";
    i = kKeyword.size();
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i >= text.size() || text[i] != '{') return "texture の後に「{」がありません.";
    int depth = 0;
    bool inString = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\' && i + 1 < text.size()) {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '/' && i + 1 < text.size() && (text[i + 1] == '/' || text[i + 1] == '*')) {
            // The texture is written on one line: a comment would hide
            // the rest of the scene's line.
            return "texture の中に注釈 (// や /*) は書けません.";
        } else if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            at = i + 1;
            rule.texture = std::string(text.substr(0, at));
            return {};
        }
    }
    return "texture の「{」と「}」が対応していません.";
}

bool ParseNumber(std::string_view token, double& value) {
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    return error == std::errc() && end == token.data() + token.size() && std::isfinite(value);
}

// The OBJ part into rule.mtl; the reason when it cannot be used.
std::string ParseObjMaterial(std::string_view text, MaterialRule& rule) {
    std::vector<std::string_view> tokens;
    for (std::size_t i = 0; i < text.size();) {
        while (i < text.size() && (IsBlank(text[i]) || text[i] == ',')) ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsBlank(text[i]) && text[i] != ',') ++i;
        if (i > start) tokens.push_back(text.substr(start, i - start));
    }
    if (tokens.empty()) return "「;」の後に OBJ の材質 (Kd r g b など) がありません.";
    struct Statement {
        std::string_view name;
        int numbers;
        double max;
        bool seen = false;
        double values[3] = {};
    };
    Statement statements[] = {{"Kd", 3, 1.0}, {"Ks", 3, 1.0}, {"Ns", 1, 1000.0}, {"d", 1, 1.0}};
    for (std::size_t t = 0; t < tokens.size();) {
        Statement* statement = nullptr;
        for (Statement& s : statements) {
            if (SameLetters(tokens[t], s.name)) statement = &s;
        }
        if (statement == nullptr)
            return "OBJ の材質に使えない文です: " + std::string(tokens[t]) +
                   " (Kd, Ks, Ns, d が使えます).";
        if (statement->seen) return std::string(statement->name) + " が二度あります.";
        statement->seen = true;
        ++t;
        for (int k = 0; k < statement->numbers; ++k, ++t) {
            double& value = statement->values[k];
            if (t >= tokens.size() || !ParseNumber(tokens[t], value) || value < 0.0 ||
                value > statement->max) {
                const std::string count = statement->numbers == 3 ? "3つの数" : "数";
                std::string range = statement->max == 1.0 ? "0 から 1" : "0 から 1000";
                return std::string(statement->name) + " の後には " + range + " までの" + count +
                       "を書いてください.";
            }
        }
    }
    if (!statements[0].seen) return "OBJ の材質に Kd r g b がありません.";
    for (const Statement& s : statements) {
        if (!s.seen) continue;
        rule.mtl += s.name;
        for (int k = 0; k < s.numbers; ++k) {
            rule.mtl += ' ';
            AppendG(rule.mtl, s.values[k]);
        }
        rule.mtl += "\r\n";
    }
    return {};
}

// One line into rule; the reason when it cannot be used.
std::string ParseLine(std::string_view line, MaterialRule& rule) {
    if (!IsUtf8(line)) return "UTF-8 ではない文字があります.";
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return "「=」がありません (レイヤー名か色 = texture { ... } ; Kd r g b).";
    if (std::string reason = ParseMatch(Trimmed(line.substr(0, equals)), rule); !reason.empty())
        return reason;
    std::string_view rest = line.substr(equals + 1);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    std::size_t end = 0;
    if (std::string reason = ParseTexture(rest, end, rule); !reason.empty()) return reason;
    rest = Trimmed(rest.substr(end));
    if (rest.empty() || rest.front() == '#')
        return "texture の後に「;」と OBJ の材質 (Kd r g b など) がありません.";
    if (rest.front() != ';') return "texture の後に「;」がありません.";
    rest.remove_prefix(1);
    const std::size_t comment = rest.find('#');
    if (comment != std::string_view::npos) rest = rest.substr(0, comment);
    return ParseObjMaterial(Trimmed(rest), rule);
}

}  // namespace

Materials ParseMaterials(std::string_view text, std::string_view fileName,
                         std::vector<std::string>& messages) {
    Materials materials;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::int32_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string_view content = Trimmed(line);
        if (content.empty() || content.front() == '#') continue;
        MaterialRule rule;
        rule.line = number;
        if (std::string reason = ParseLine(content, rule); !reason.empty()) {
            std::string message = "材質ファイル ";
            message += fileName;
            message += " の ";
            AppendInt(message, number);
            message += " 行目: ";
            message += reason;
            message += " この行は使いません.";
            messages.push_back(std::move(message));
            continue;
        }
        materials.rules.push_back(std::move(rule));
    }
    return materials;
}

bool ReadMaterials(const std::string& path, Materials& materials,
                   std::vector<std::string>& messages) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string text;
    bool ok = file != nullptr;
    if (ok) {
        char buffer[16384];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
        ok = std::ferror(file) == 0;
        std::fclose(file);
    }
    if (!ok) {
        messages.push_back("材質ファイルが読めません: " + path);
        return false;
    }
    materials = ParseMaterials(text, path, messages);
    return true;
}

MaterialChoice::MaterialChoice(const Materials& materials, const DrawingLayers* layers,
                               std::uint32_t (*aciColor)(std::int32_t))
    : materials_(materials), layers_(layers), aciColor_(aciColor) {
    const auto count = static_cast<std::int32_t>(materials.rules.size());
    for (std::int32_t r = 0; r < count; ++r) {
        if (materials.rules[static_cast<std::size_t>(r)].match != MaterialRule::Match::Layer)
            colourRules_.push_back(r);
    }
    // Each layer's name is matched once, not once per polygon.
    if (layers == nullptr) return;
    layerRule_.assign(layers->layers.size(), -1);
    for (std::size_t l = 0; l < layers->layers.size(); ++l) {
        for (std::int32_t r = 0; r < count; ++r) {
            const MaterialRule& rule = materials.rules[static_cast<std::size_t>(r)];
            if (rule.match == MaterialRule::Match::Layer &&
                LayerPatternMatches(rule.pattern, layers->layers[l].name)) {
                layerRule_[l] = r;
                break;
            }
        }
    }
}

std::int32_t MaterialChoice::Rule(std::int32_t object, const MeshPolygon& polygon) const {
    const DrawingLayer* layer = nullptr;
    std::int32_t byLayer = std::numeric_limits<std::int32_t>::max();
    if (layers_ != nullptr && polygon.layer >= 0 &&
        static_cast<std::size_t>(polygon.layer) < layers_->layers.size()) {
        layer = &layers_->layers[static_cast<std::size_t>(polygon.layer)];
        const std::int32_t r = layerRule_[static_cast<std::size_t>(polygon.layer)];
        if (r >= 0) byLayer = r;
    }
    // The polygon's colour as an index, as 0xRRGGBB, or both.
    std::int32_t aci = -1;
    bool hasRgb = false;
    std::uint32_t rgb = 0;
    if (polygon.color != 0) {
        hasRgb = true;
        rgb = polygon.color & 0xFFFFFFu;
    } else if (layers_ != nullptr && object >= 0 &&
               static_cast<std::size_t>(object) < layers_->objects.size() &&
               layers_->objects[static_cast<std::size_t>(object)].aci >= 0) {
        aci = layers_->objects[static_cast<std::size_t>(object)].aci;
    } else if (layer != nullptr) {
        aci = layer->aci;
        hasRgb = true;
        rgb = layer->rgb;
    }
    for (const std::int32_t r : colourRules_) {
        if (r > byLayer) break;
        const MaterialRule& rule = materials_.rules[static_cast<std::size_t>(r)];
        const bool matches =
            rule.match == MaterialRule::Match::ColorIndex
                ? aci == rule.aci || (aci < 0 && hasRgb && rgb == aciColor_(rule.aci))
                : (hasRgb && rgb == rule.rgb) ||
                      (!hasRgb && aci >= 0 && aciColor_(aci) == rule.rgb);
        if (matches) return r;
    }
    return byLayer == std::numeric_limits<std::int32_t>::max() ? -1 : byLayer;
}

void AppendRuleMaterialName(std::string& out, const MaterialRule& rule) {
    out += "material_line";
    AppendInt(out, rule.line);
}

}  // namespace vertoko
