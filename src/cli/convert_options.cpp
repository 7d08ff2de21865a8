#include "cli/convert_options.h"

#include <charconv>
#include <cmath>

#include "convert/ini_file.h"
#include "convert/settings.h"
#include "export/file_names.h"

namespace vertoko {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

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

// The option field that an on/off switch and its "--no-" form set, or null
// for any other name.
std::int32_t* SwitchField(const std::string& name, ConvertOptions& options) {
    const std::string base = name.rfind("--no-", 0) == 0 ? "--" + name.substr(5) : name;
    ReaderOptions& r = options.reader;
    WriterOptions& w = options.writer;
    if (base == "--multi") return &r.dxfMulti;
    if (base == "--clean") return &r.dxfClv;
    if (base == "--skip-unsupported") return &r.dxfSkip;
    if (base == "--expand-inserts") return &r.dxfInsert;
    if (base == "--drawing-colors") return &r.dxfColor;
    if (base == "--orient-faces") return &r.dxfOrient;
    if (base == "--pov-smooth") return &w.povOpt.smooth;
    if (base == "--pov-mesh2") return &w.povOpt.mesh2;
    if (base == "--pov-fit-camera") return &w.povOpt.fit;
    if (base == "--obj-normals") return &w.objNormal;
    return nullptr;
}

}  // namespace

bool ApplySettingsFile(const std::string& path, ConvertOptions& options, std::string& error) {
    IniFile ini;
    if (path.empty() || IniFile::Load(path, ini) != IniFile::LoadResult::Loaded) {
        error = "設定ファイルを読めません: " + path;
        return false;
    }
    const AppSettings settings = ReadSettings(ini);
    options.reader = ReaderOptionsOf(settings);
    options.writer = WriterOptionsOf(settings);
    return true;
}

std::optional<SaveFormat> FormatForWord(const std::string& word) {
    if (word == "pol") return SaveFormat::Eastray;
    if (word == "pov") return SaveFormat::PovRay;
    if (word == "obj") return SaveFormat::Obj;
    return std::nullopt;
}

std::optional<SaveFormat> FormatForName(const std::string& name) {
    const std::size_t start = FileNameStart(name);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot < start) return std::nullopt;
    const std::string extension = Lower(name.substr(dot));
    if (extension == ".pol" || extension == ".p") return SaveFormat::Eastray;
    if (extension == ".pov") return SaveFormat::PovRay;
    if (extension == ".obj") return SaveFormat::Obj;
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
            if (std::int32_t* field = SwitchField(name, options)) {
                *field = name.rfind("--no-", 0) == 0 ? 0 : 1;
                continue;
            }
        }
        if (name == "--help" && isFlag()) {
            options.help = true;
        } else if (name == "--distance") {
            if (!takesValue(text)) return fail("--distance には距離を指定してください.");
            if (!ParseDistance(text, options.reader.dxfVdist))
                return fail("--distance の値が数値ではありません: " + text);
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
        } else if (name == "--estr-options") {
            if (!takesValue(options.writer.estrOpt))
                return fail("--estr-options にはオプション文字列を指定してください.");
        } else if (name == "--crease-angle") {
            if (!takesValue(text)) return fail("--crease-angle には角度を指定してください.");
            float degrees = 0.0f;
            if (!ParseDistance(text, degrees))
                return fail("--crease-angle の値が数値ではありません: " + text);
            if (degrees < kCreaseMin || degrees > kCreaseMax)
                return fail("--crease-angle は 0 から 180 までの角度です: " + text);
            options.writer.povOpt.crease = degrees;
        } else if (name == "--pov-texture") {
            if (!takesValue(options.writer.povOpt.state))
                return fail("--pov-texture にはテクスチャ文を指定してください.");
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

std::string ConvertUsage() {
    return "使い方: vertoko-convert [オプション]... FILE.dxf...\n"
           "DXFファイル (テキストまたはバイナリ) の3DFACE, MESH, POLYLINEを読み,\n"
           "オブジェクトを一覧表示します. 変換しなかった図形があれば, その種類と数を\n"
           "「変換しなかった図形：」の行で報告します.\n"
           "出力名を指定すると EASTRAY (.pol .p), POV-Ray (.pov), OBJ (.obj) 形式で保存します.\n"
           "\n"
           "  -o, --output OUT        OUT に保存 (形式は拡張子から)\n"
           "      --output-dir DIR    入力ごとに DIR へ保存 (--format が必要)\n"
           "      --format pol|pov|obj 出力形式 (-o がなければ入力の隣に保存)\n"
           "      --multi, --no-multi レイヤーと色ごとに別オブジェクト (既定: しない)\n"
           "      --clean, --no-clean 頂点クリーン (既定: する)\n"
           "      --distance D        頂点クリーンの距離 (既定: 0)\n"
           "      --skip-unsupported, --no-skip-unsupported\n"
           "                          変換できない図形を読み飛ばす (既定: しない)\n"
           "      --expand-inserts, --no-expand-inserts\n"
           "                          ブロック参照を展開する (既定: しない)\n"
           "      --drawing-colors, --no-drawing-colors\n"
           "                          図面の色を出力に使う (既定: 使わない)\n"
           "      --orient-faces, --no-orient-faces\n"
           "                          面の向きを揃える (既定: しない)\n"
           "      --estr-options TEXT EASTRAYオプション文字列 (既定: s)\n"
           "      --pov-smooth, --no-pov-smooth\n"
           "                          POV-Rayのスムース (既定: する)\n"
           "      --crease-angle DEG  スムース角度, 0 から 180 度 (既定: 180)\n"
           "      --pov-texture TEXT  POV-Rayのテクスチャ文\n"
           "                          (既定: pigment {color rgb <1,1,1>})\n"
           "      --pov-mesh2, --no-pov-mesh2\n"
           "                          POV-Rayのmesh2形式で出力 (既定: しない)\n"
           "      --pov-fit-camera, --no-pov-fit-camera\n"
           "                          カメラをモデルに合わせる (既定: しない)\n"
           "      --obj-normals, --no-obj-normals\n"
           "                          OBJに法線を出力 (既定: しない)\n"
           "      --settings FILE     設定ファイル (INI) の値を既定にする\n"
           "      --help              この説明を表示\n"
           "\n"
           "終了コード: 0 成功, 1 読み込みまたは書き込みの失敗, 2 使い方の誤り.\n";
}

}  // namespace vertoko
