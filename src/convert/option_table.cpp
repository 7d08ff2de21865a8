#include "convert/option_table.h"

#include <algorithm>
#include <array>

namespace vertoko {

namespace {

constexpr std::string_view kOptions = "Options";
constexpr std::string_view kPview = "Pview";

// OUTunits: the settings file and the converter take the words, the dialog
// shows the labels.
constexpr std::string_view kUnitWords[] = {"as-drawn", "mm", "cm", "m", "in", "ft"};
constexpr std::string_view kUnitLabels[] = {"図面のまま", "mm", "cm", "m", "inch", "foot"};

// In the order of the settings file; a new option goes last.
constexpr OptionRow kRows[] = {
    {.section = kOptions,
     .key = "DXFmulti",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfMulti; },
     .reading = true,
     .caption = "マルチ・オブジェクト",
     .option = "--multi",
     .help = "レイヤーと色ごとに別オブジェクト",
     .usage = "one object per layer and colour"},
    {.section = kOptions,
     .key = "DXFclv",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "1",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfClv; },
     .reading = true,
     .caption = "頂点クリーン",
     .option = "--clean",
     .help = "頂点クリーン",
     .usage = "merge near vertices"},
    {.section = kOptions,
     .key = "DXFvdist",
     .kind = OptionKind::Distance,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfVdist; },
     .reading = true,
     .enabledBy = "DXFclv",
     .option = "--distance",
     .valueName = "D",
     .valueNoun = "距離",
     .help = "頂点クリーンの距離",
     .usage = "merging distance in drawing units"},
    {.section = kOptions,
     .key = "ESTRopt",
     .kind = OptionKind::EstrayString,
     .group = OptionGroup::Estray,
     .defaultText = "s",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.estrOpt; },
     .option = "--estr-options",
     .valueName = "TEXT",
     .valueNoun = "オプション文字列",
     .help = "EASTRAYオプション文字列",
     .usage = "EASTRAY option string",
     .maxBytes = 79},
    {.section = kOptions,
     .key = "POVRsmt",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Pov,
     .defaultText = "1",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.povOpt.smooth; },
     .caption = "スムース",
     .option = "--pov-smooth",
     .help = "POV-Rayのスムース",
     .usage = "smoothed POV-Ray triangles"},
    {.section = kOptions,
     .key = "POVRstate",
     .kind = OptionKind::Text,
     .group = OptionGroup::Pov,
     .defaultText = "pigment {color rgb <1,1,1>}",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.povOpt.state; },
     .caption = "追加ステートメント",
     .option = "--pov-texture",
     .valueName = "TEXT",
     .valueNoun = "テクスチャ文",
     .help = "POV-Rayのテクスチャ文",
     .usage = "statement of each POV-Ray texture",
     .maxBytes = 87},
    {.section = kOptions,
     .key = "DXFskip",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfSkip; },
     .reading = true,
     .caption = "未対応の図形を読み飛ばす",
     .option = "--skip-unsupported",
     .help = "変換できない図形を読み飛ばす",
     .usage = "skip polylines that cannot be converted"},
    {.section = kOptions,
     .key = "DXFinsert",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfInsert; },
     .reading = true,
     .caption = "ブロック参照を展開する",
     .option = "--expand-inserts",
     .help = "ブロック参照を展開する",
     .usage = "place block insertions in the drawing"},
    {.section = kOptions,
     .key = "DXFcolor",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfColor; },
     .reading = true,
     .caption = "図面の色を使う",
     .option = "--drawing-colors",
     .help = "図面の色を出力に使う",
     .usage = "keep the drawing's colours in output",
     .helpOn = "使う",
     .helpOff = "使わない"},
    {.section = kOptions,
     .key = "DXForient",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfOrient; },
     .reading = true,
     .caption = "面の向きを揃える",
     .option = "--orient-faces",
     .help = "面の向きを揃える",
     .usage = "orient faces, closed parts outward"},
    {.section = kOptions,
     .key = "POVRcrease",
     .kind = OptionKind::Angle,
     .group = OptionGroup::Pov,
     .defaultText = "180",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.povOpt.crease; },
     .caption = "スムース角度",
     .enabledBy = "POVRsmt",
     .option = "--crease-angle",
     .valueName = "DEG",
     .valueNoun = "角度",
     .help = "スムース角度, 0 から 180 度",
     .usage = "smoothing angle, 0 to 180",
     .min = 0.0,
     .max = 180.0},
    {.section = kOptions,
     .key = "POVRmesh2",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Pov,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.povOpt.mesh2; },
     .caption = "mesh2形式",
     .option = "--pov-mesh2",
     .help = "POV-Rayのmesh2形式で出力",
     .usage = "POV-Ray mesh2 objects"},
    {.section = kOptions,
     .key = "POVRfit",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Pov,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.povOpt.fit; },
     .caption = "カメラを合わせる",
     .option = "--pov-fit-camera",
     .help = "カメラをモデルに合わせる",
     .usage = "camera framing the model"},
    {.section = kOptions,
     .key = "OBJnormal",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Obj,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.objNormal; },
     .caption = "法線を出力",
     .option = "--obj-normals",
     .help = "OBJに法線を出力",
     .usage = "vertex normals in OBJ output"},
    {.section = kOptions,
     .key = "DXFthick",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfThick; },
     .reading = true,
     .caption = "SOLID・TRACEと厚みのある図形を面にする",
     .option = "--thickness",
     .help = "SOLID・TRACEと厚みのある図形を面にする",
     .usage = "SOLID, TRACE and entities with thickness as faces"},
    {.section = kOptions,
     .key = "DXFsegments",
     .kind = OptionKind::Integer,
     .group = OptionGroup::Dxf,
     .defaultText = "32",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfSegments; },
     .reading = true,
     .caption = "円の分割数",
     .enabledBy = "DXFthick",
     .option = "--segments",
     .valueName = "N",
     .valueNoun = "分割数",
     .help = "円と円弧の一周あたりの分割数, 3 から 1024",
     .usage = "segments per full circle of arcs, 3 to 1024",
     .min = 3.0,
     .max = 1024.0},
    {.section = kOptions,
     .key = "OUTunits",
     .kind = OptionKind::Choice,
     .group = OptionGroup::Dxf,
     .defaultText = "as-drawn",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.outUnits; },
     .reading = true,
     .caption = "単位",
     .option = "--units",
     .valueNoun = "単位",
     .help = "図面の単位 ($INSUNITS) から換算する単位",
     .usage = "unit to convert the drawing's $INSUNITS to",
     .words = kUnitWords,
     .labels = kUnitLabels},
    {.section = kOptions,
     .key = "OUTzup",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Pov,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.zUp; },
     .caption = "図面のZ軸を上にする",
     .option = "--z-up",
     .help = "図面のZ軸を上に (EASTRAY出力は図面のまま)",
     .usage = "drawing's Z axis up; EASTRAY output as drawn"},
    {.section = kOptions,
     .key = "POVRscene",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Pov,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.povOpt.studio; },
     .caption = "撮影用の背景と照明",
     .option = "--pov-studio",
     .help = "POV-Rayに空・床・照明を入れる",
     .usage = "sky, floor and soft lights in POV-Ray scenes"},
    {.section = kOptions,
     .key = "DXFvisible",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfVisible; },
     .reading = true,
     .caption = "表示されているレイヤーだけを読む",
     .option = "--visible-only",
     .help = "非表示・フリーズのレイヤーを読まない",
     .usage = "leave out layers that are off or frozen"},
    {.section = kOptions,
     .key = "DXFlayers",
     .kind = OptionKind::Text,
     .group = OptionGroup::Dxf,
     .defaultText = "",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfLayers; },
     .reading = true,
     .caption = "読み込むレイヤー",
     .option = "--layers",
     .valueName = "PATTERNS",
     .valueNoun = "レイヤー名のパターン",
     .help = "読み込むレイヤー (* ? [...] のパターン, 空はすべて)",
     .usage = "layers to read: name patterns (* ? [...]); empty: all",
     .maxBytes = 255},
    {.section = kOptions,
     .key = "DXFnolayers",
     .kind = OptionKind::Text,
     .group = OptionGroup::Dxf,
     .defaultText = "",
     .field = [](AppSettings& s) -> OptionField { return &s.reader.dxfNoLayers; },
     .reading = true,
     .caption = "除くレイヤー",
     .option = "--exclude-layers",
     .valueName = "PATTERNS",
     .valueNoun = "レイヤー名のパターン",
     .help = "読み込まないレイヤー (--layers より優先)",
     .usage = "layers not to read, before --layers",
     .maxBytes = 255},
    {.section = kOptions,
     .key = "OUTnames",
     .kind = OptionKind::Switch,
     .group = OptionGroup::Dxf,
     .defaultText = "0",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.outNames; },
     .caption = "レイヤー名を出力する",
     .option = "--layer-names",
     .help = "オブジェクトのレイヤー名を出力する",
     .usage = "name each object's layer in the log and outputs"},
    {.section = kOptions,
     .key = "OUTmaterials",
     .kind = OptionKind::FileName,
     .group = OptionGroup::Pov,
     .defaultText = "",
     .field = [](AppSettings& s) -> OptionField { return &s.writer.materials; },
     .caption = "材質ファイル",
     .option = "--materials",
     .valueName = "FILE",
     .valueNoun = "材質ファイル",
     .help = "レイヤーや色ごとの材質を書いたファイル (POV-RayとOBJ)",
     .usage = "textures and materials by layer or colour",
     .maxBytes = 1023},
    // The preview colours, edited in the colour dialog.
    {.section = kPview,
     .key = "backcol",
     .kind = OptionKind::Colour,
     .group = OptionGroup::Preview,
     .defaultText = "0,77,102",
     .field = [](AppSettings& s) -> OptionField { return &s.pviewBack; }},
    {.section = kPview,
     .key = "objcol",
     .kind = OptionKind::Colour,
     .group = OptionGroup::Preview,
     .defaultText = "222,222,222",
     .field = [](AppSettings& s) -> OptionField { return &s.pviewObj; }},
    // Layers: which the reader takes, and whether the log names them.
};

bool SameKey(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::int32_t Held(std::int32_t value, const OptionRow& row) {
    if (value < row.min) return static_cast<std::int32_t>(row.min);
    if (value > row.max) return static_cast<std::int32_t>(row.max);
    return value;
}

std::int32_t WordIndex(const OptionRow& row, std::string_view word) {
    for (std::size_t i = 0; i < row.words.size(); ++i) {
        if (row.words[i] == word) return static_cast<std::int32_t>(i);
    }
    return -1;
}

}  // namespace

std::span<const OptionRow> OptionTable() { return kRows; }

const OptionRow* FindOption(std::string_view key) {
    for (const OptionRow& row : kRows) {
        if (SameKey(row.key, key)) return &row;
    }
    return nullptr;
}

std::vector<const OptionRow*> OptionsInShowingOrder(std::span<const OptionRow> rows) {
    std::vector<const OptionRow*> shown;
    std::vector<bool> placed(rows.size(), false);
    constexpr std::array kGroups = {OptionGroup::Dxf, OptionGroup::Estray, OptionGroup::Pov,
                                    OptionGroup::Obj, OptionGroup::Preview};
    for (const OptionGroup group : kGroups) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].group != group || !rows[i].enabledBy.empty()) continue;
            shown.push_back(&rows[i]);
            placed[i] = true;
            for (std::size_t j = 0; j < rows.size(); ++j) {
                if (!placed[j] && rows[j].group == group &&
                    SameKey(rows[j].enabledBy, rows[i].key)) {
                    shown.push_back(&rows[j]);
                    placed[j] = true;
                }
            }
        }
        // A row whose switch is missing from its group still shows, last.
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!placed[i] && rows[i].group == group) {
                shown.push_back(&rows[i]);
                placed[i] = true;
            }
        }
    }
    return shown;
}

std::string OptionText(const OptionRow& row, const AppSettings& settings) {
    switch (row.kind) {
        case OptionKind::Switch:
        case OptionKind::Integer:
            return std::to_string(OptionValue<std::int32_t>(row, settings));
        case OptionKind::Choice: {
            const std::int32_t index = OptionValue<std::int32_t>(row, settings);
            if (index < 0 || static_cast<std::size_t>(index) >= row.words.size())
                return std::string(row.defaultText);
            return std::string(row.words[static_cast<std::size_t>(index)]);
        }
        case OptionKind::Distance:
        case OptionKind::Angle:
            return FormatSettingFloat(OptionValue<float>(row, settings));
        case OptionKind::Text:
        case OptionKind::EstrayString:
        case OptionKind::FileName:
            return OptionValue<std::string>(row, settings);
        case OptionKind::Colour:
            return FormatColorTriple(OptionValue<std::uint32_t>(row, settings));
    }
    return {};
}

void SetOptionFromText(const OptionRow& row, std::string_view text, AppSettings& settings) {
    switch (row.kind) {
        case OptionKind::Switch:
            OptionValue<std::int32_t>(row, settings) =
                ParseSettingInt(text, ParseSettingInt(row.defaultText, 0));
            break;
        case OptionKind::Integer:
            OptionValue<std::int32_t>(row, settings) =
                Held(ParseSettingInt(text, ParseSettingInt(row.defaultText, 0)), row);
            break;
        case OptionKind::Choice: {
            const std::int32_t index = WordIndex(row, text);
            OptionValue<std::int32_t>(row, settings) =
                index >= 0 ? index : WordIndex(row, row.defaultText);
            break;
        }
        case OptionKind::Distance:
            OptionValue<float>(row, settings) = ParseSettingFloat(text);
            break;
        case OptionKind::Angle:
            OptionValue<float>(row, settings) =
                ParseSettingAngle(text, ParseSettingFloat(row.defaultText),
                                  static_cast<float>(row.min), static_cast<float>(row.max));
            break;
        case OptionKind::Text:
        case OptionKind::EstrayString:
        case OptionKind::FileName:
            OptionValue<std::string>(row, settings) = CutToField(std::string(text), row.maxBytes);
            break;
        case OptionKind::Colour:
            OptionValue<std::uint32_t>(row, settings) =
                ParseColorTriple(text, ParseColorTriple(row.defaultText, 0));
            break;
    }
}

bool ReadingOptionsDiffer(const AppSettings& a, const AppSettings& b) {
    // Compared as the settings file writes them, which is exact for every
    // kind and needs no code per kind.
    for (const OptionRow& row : kRows) {
        if (row.reading && OptionText(row, a) != OptionText(row, b)) return true;
    }
    return false;
}

void SetOptionDefault(const OptionRow& row, AppSettings& settings) {
    SetOptionFromText(row, row.defaultText, settings);
}

}  // namespace vertoko
