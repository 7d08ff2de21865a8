#include "cli/convert_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "convert/ini_file.h"
#include "convert/option_table.h"
#include "convert/settings.h"

namespace vertoko {

namespace {

// A distance written in the C notation, whatever the process locale.
bool ParseDistance(const std::string& text, float& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last && std::isfinite(value);
}

// The value of the last --settings option, if any; the file's values are the
// base that the other options then override, wherever they stand.
std::optional<std::string> SettingsArgument(const std::vector<std::string>& arguments) {
    std::optional<std::string> path;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") break;
        if (argument.rfind("--settings=", 0) == 0) {
            path = argument.substr(11);
        } else if (argument == "--settings") {
            path = i + 1 < arguments.size() ? arguments[++i] : std::string();
        }
    }
    return path;
}

// The switch row that name or its "--no-" form sets, or null.
const OptionRow* SwitchRow(const std::string& name) {
    const std::string base = name.rfind("--no-", 0) == 0 ? "--" + name.substr(5) : name;
    for (const OptionRow& row : OptionTable()) {
        if (row.kind == OptionKind::Switch && row.option == base) return &row;
    }
    return nullptr;
}

// The table row of a valued option called name, or null.
const OptionRow* ValuedRow(const std::string& name) {
    for (const OptionRow& row : OptionTable()) {
        if (row.kind != OptionKind::Switch && !row.option.empty() && row.option == name)
            return &row;
    }
    return nullptr;
}

// A whole number in the C notation, as integer options take it.
bool ParseWhole(const std::string& text, std::int32_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

// Options of the converter itself, shown around the table's.
struct OwnOption {
    std::string_view spelling;
    std::string_view help;
    std::string_view usage;
};

constexpr OwnOption kOwnFirst[] = {
    {"-o, --output OUT", "OUT に保存 (形式は拡張子から)",
     "save to OUT (format from its extension)"},
    {"--output-dir DIR", "入力ごとに DIR へ保存 (--format が必要)",
     "save each input into DIR (needs --format)"},
    {"--format pol|pov|obj", "出力形式 (-o がなければ入力の隣に保存)",
     "output format; without -o, next to each input"},
};

constexpr OwnOption kOwnLast[] = {
    {"--settings FILE", "設定ファイル (INI) の値を既定にする",
     "options from a settings file; flags override it"},
    {"--help", "この説明を表示", "show this help"},
};

// Where the descriptions start, and the widest line that still takes a
// row's default beside its description.
constexpr std::size_t kTextColumn = 26;
constexpr std::size_t kLineWidth = 80;

// The width of a UTF-8 text on a terminal: East Asian wide and full-width
// characters take two columns, every other character one.
std::size_t DisplayWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + length > text.size()) length = text.size() - i;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        const bool wide =
            (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
            (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
            (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
            (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
        width += wide ? 2 : 1;
        i += length;
    }
    return width;
}

// One option's lines: the spelling, the description from kTextColumn (on
// the next line when the spelling reaches past it), and the default beside
// it or, where the line would grow wider than kLineWidth, below it.
void AppendEntry(std::string& out, std::string_view spelling, std::string_view text,
                 const std::string& defaultPart) {
    std::string line(spelling.rfind("--", 0) == 0 ? 6 : 2, ' ');
    line += spelling;
    if (text.empty() && defaultPart.empty()) {
        out += line + "\n";
        return;
    }
    if (line.size() > kTextColumn) {
        out += line + "\n";
        line.assign(kTextColumn, ' ');
    } else {
        line.append(std::max<std::size_t>(kTextColumn - line.size(), 1), ' ');
    }
    line += text;
    if (!defaultPart.empty()) {
        if (DisplayWidth(line) + 1 + DisplayWidth(defaultPart) <= kLineWidth) {
            line += " " + defaultPart;
        } else {
            out += line + "\n";
            line.assign(kTextColumn, ' ');
            line += defaultPart;
        }
    }
    out += line + "\n";
}

std::string Spelling(const OptionRow& row) {
    std::string spelling(row.option);
    if (row.kind == OptionKind::Switch) return spelling + ", --no-" + spelling.substr(2);
    if (row.kind == OptionKind::Choice && row.valueName.empty()) {
        for (std::size_t i = 0; i < row.words.size(); ++i)
            spelling += (i == 0 ? " " : "|") + std::string(row.words[i]);
        return spelling;
    }
    return spelling + " " + std::string(row.valueName);
}

// "(既定: する)", "(default: 0)"; empty for an empty default text.
std::string DefaultPart(const OptionRow& row, UsageLanguage language) {
    const bool english = language == UsageLanguage::English;
    std::string value(row.defaultText);
    if (row.kind == OptionKind::Switch) {
        const bool on = ParseSettingInt(row.defaultText, 0) != 0;
        value = english ? (on ? "on" : "off") : std::string(on ? row.helpOn : row.helpOff);
    }
    if (value.empty()) return {};
    return (english ? "(default: " : "(既定: ") + value + ")";
}

}  // namespace

bool ApplySettingsFile(const std::string& path, ConvertOptions& options, std::string& error) {
    IniFile ini;
    if (path.empty() || IniFile::Load(path, ini) != IniFile::LoadResult::Loaded) {
        error = "設定ファイルを読めません: " + path;
        return false;
    }
    static_cast<AppSettings&>(options) = ReadSettings(ini);
    return true;
}

std::optional<SaveFormat> FormatForWord(const std::string& word) {
    if (word == "pol") return SaveFormat::Eastray;
    if (word == "pov") return SaveFormat::PovRay;
    if (word == "obj") return SaveFormat::Obj;
    return std::nullopt;
}

ParseResult ParseConvertArguments(const std::vector<std::string>& arguments) {
    ParseResult result;
    ConvertOptions& options = result.options;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };

    if (const auto settings = SettingsArgument(arguments)) {
        std::string error;
        if (!ApplySettingsFile(*settings, options, error)) return fail(error);
    }

    bool onlyInputs = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (onlyInputs || argument.size() < 2 || argument[0] != '-') {
            options.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            onlyInputs = true;
            continue;
        }

        // Split "--name=value"; "-o" takes its value attached or as the next word.
        std::string name = argument;
        std::optional<std::string> value;
        if (argument.rfind("--", 0) == 0) {
            const std::size_t equals = argument.find('=');
            if (equals != std::string::npos) {
                name = argument.substr(0, equals);
                value = argument.substr(equals + 1);
            }
        } else if (argument.rfind("-o", 0) == 0 && argument.size() > 2) {
            name = "-o";
            value = argument.substr(2);
        }

        auto takesValue = [&](std::string& out) -> bool {
            if (value) {
                out = *value;
                return true;
            }
            if (i + 1 >= arguments.size()) return false;
            out = arguments[++i];
            return true;
        };
        auto isFlag = [&]() { return !value.has_value(); };

        std::string text;
        if (isFlag()) {
            if (const OptionRow* row = SwitchRow(name)) {
                OptionValue<std::int32_t>(*row, options) = name.rfind("--no-", 0) == 0 ? 0 : 1;
                continue;
            }
        }
        if (name == "--help" && isFlag()) {
            options.help = true;
        } else if (const OptionRow* row = ValuedRow(name)) {
            if (!takesValue(text))
                return fail(name + " には" + std::string(row->valueNoun) + "を指定してください.");
            std::string error = TakeOptionValue(*row, text, options);
            if (!error.empty()) return fail(std::move(error));
        } else if (name == "-o" || name == "--output") {
            if (!takesValue(options.output) || options.output.empty())
                return fail(name + " には出力ファイル名を指定してください.");
        } else if (name == "--output-dir") {
            if (!takesValue(options.outputDir) || options.outputDir.empty())
                return fail("--output-dir には出力フォルダーを指定してください.");
        } else if (name == "--format") {
            if (!takesValue(text))
                return fail("--format には pol, pov, obj のいずれかを指定してください.");
            options.format = FormatForWord(text);
            if (!options.format) return fail("--format の値が不正です (pol, pov, obj): " + text);
        } else if (name == "--settings") {
            if (!takesValue(text)) return fail("--settings には設定ファイルを指定してください.");
        } else {
            return fail("不明なオプションです: " + argument);
        }
    }

    if (options.help) {
        result.ok = true;
        return result;
    }
    if (options.inputs.empty()) return fail("DXFファイルを指定してください.");
    if (!options.output.empty() && !options.outputDir.empty())
        return fail("-o と --output-dir は同時に指定できません.");
    if (!options.output.empty()) {
        if (options.inputs.size() > 1) return fail("-o は入力ファイルが一つのときだけ使えます.");
        if (!options.format) options.format = FormatForName(options.output);
        if (!options.format)
            return fail(
                "出力形式が分かりません. 拡張子 .pol .p .pov .obj か --format "
                "を指定してください: " +
                options.output);
    }
    if (!options.outputDir.empty() && !options.format)
        return fail("--output-dir には --format を指定してください.");
    result.ok = true;
    return result;
}

std::string TakeOptionValue(const OptionRow& row, const std::string& text, AppSettings& settings) {
    const std::string name(row.option);
    auto outOfRange = [&](const std::string& min, const std::string& max) {
        return name + " は " + min + " から " + max + " までの" + std::string(row.valueNoun) +
               "です: " + text;
    };
    switch (row.kind) {
        case OptionKind::Distance:
        case OptionKind::Angle: {
            float value = 0.0f;
            if (!ParseDistance(text, value)) return name + " の値が数値ではありません: " + text;
            const float min = static_cast<float>(row.min);
            const float max = static_cast<float>(row.max);
            if (row.kind == OptionKind::Angle && (value < min || value > max))
                return outOfRange(FormatSettingFloat(min), FormatSettingFloat(max));
            OptionValue<float>(row, settings) = value;
            return {};
        }
        case OptionKind::Integer: {
            std::int32_t value = 0;
            if (!ParseWhole(text, value)) return name + " の値が数値ではありません: " + text;
            if (value < row.min || value > row.max)
                return outOfRange(std::to_string(static_cast<std::int32_t>(row.min)),
                                  std::to_string(static_cast<std::int32_t>(row.max)));
            OptionValue<std::int32_t>(row, settings) = value;
            return {};
        }
        case OptionKind::Choice: {
            for (std::size_t i = 0; i < row.words.size(); ++i) {
                if (row.words[i] == text) {
                    OptionValue<std::int32_t>(row, settings) = static_cast<std::int32_t>(i);
                    return {};
                }
            }
            std::string words;
            for (std::string_view word : row.words)
                words += (words.empty() ? "" : ", ") + std::string(word);
            return name + " の値が不正です (" + words + "): " + text;
        }
        case OptionKind::Text:
        case OptionKind::EstrayString:
        case OptionKind::FileName:
            OptionValue<std::string>(row, settings) = text;
            return {};
        case OptionKind::Switch:
        case OptionKind::Colour:
            break;
    }
    return "不明なオプションです: " + name;
}

std::string ConvertOptionLines(UsageLanguage language) {
    const bool english = language == UsageLanguage::English;
    std::string out;
    for (const OwnOption& own : kOwnFirst)
        AppendEntry(out, own.spelling, english ? own.usage : own.help, {});
    for (const OptionRow* row : OptionsInShowingOrder(OptionTable())) {
        if (row->option.empty()) continue;
        AppendEntry(out, Spelling(*row), english ? row->usage : row->help,
                    DefaultPart(*row, language));
    }
    for (const OwnOption& own : kOwnLast)
        AppendEntry(out, own.spelling, english ? own.usage : own.help, {});
    return out;
}

std::string ConvertUsage() {
    return "使い方: vertoko-convert [オプション]... FILE.dxf...\n"
           "DXFファイル (テキストまたはバイナリ) の3DFACE, MESH, POLYLINEを読み,\n"
           "オブジェクトを一覧表示します. 変換しなかった図形があれば, その種類と数を\n"
           "「変換しなかった図形：」の行で報告します.\n"
           "出力名を指定すると EASTRAY (.pol .p), POV-Ray (.pov), OBJ (.obj) 形式で保存します.\n"
           "\n" +
           ConvertOptionLines(UsageLanguage::Japanese) +
           "\n"
           "終了コード: 0 成功, 1 読み込みまたは書き込みの失敗, 2 使い方の誤り.\n";
}

}  // namespace vertoko
