#include "cli/convert_options.h"

#include <gtest/gtest.h>

#include "support/mesh_builder.h"

namespace vertoko {
namespace {

ParseResult Parse(std::vector<std::string> arguments) { return ParseConvertArguments(arguments); }

TEST(ConvertOptions, DefaultsAreTheSettingsDefaults) {
    const ParseResult parsed = Parse({"in.dxf"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const ConvertOptions& o = parsed.options;
    EXPECT_EQ(o.inputs, std::vector<std::string>{"in.dxf"});
    EXPECT_TRUE(o.output.empty());
    EXPECT_EQ(o.reader.dxfMulti, 0);
    EXPECT_NE(o.reader.dxfClv, 0);
    EXPECT_EQ(o.reader.dxfVdist, 0.0f);
    EXPECT_EQ(o.writer.estrOpt, "s");
    EXPECT_NE(o.writer.povOpt.smooth, 0);
    EXPECT_EQ(o.writer.povOpt.state, "pigment {color rgb <1,1,1>}");
}

TEST(ConvertOptions, OptionsBeforeAndAfterTheInputInBothSpellings) {
    const ParseResult parsed =
        Parse({"--multi", "in.dxf", "--distance", "0.25", "--no-clean", "-o", "out.obj",
               "--estr-options= s n c red", "--pov-texture=pigment {color rgb <1,0,0>}",
               "--no-pov-smooth"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const ConvertOptions& o = parsed.options;
    EXPECT_EQ(o.inputs, std::vector<std::string>{"in.dxf"});
    EXPECT_EQ(o.reader.dxfMulti, 1);
    EXPECT_EQ(o.reader.dxfClv, 0);
    EXPECT_EQ(o.reader.dxfVdist, 0.25f);
    EXPECT_EQ(o.output, "out.obj");
    EXPECT_EQ(o.format, SaveFormat::Obj);
    EXPECT_EQ(o.writer.estrOpt, " s n c red");
    EXPECT_EQ(o.writer.povOpt.state, "pigment {color rgb <1,0,0>}");
    EXPECT_EQ(o.writer.povOpt.smooth, 0);

    const ParseResult joined =
        Parse({"-oscene.pov", "--distance=1e-3", "--output-dir", "x", "in.dxf"});
    EXPECT_FALSE(joined.ok);  // -o and --output-dir exclude each other
    const ParseResult attached = Parse({"-oscene.pov", "--distance=1e-3", "in.dxf", "--clean"});
    ASSERT_TRUE(attached.ok) << attached.error;
    EXPECT_EQ(attached.options.output, "scene.pov");
    EXPECT_EQ(attached.options.format, SaveFormat::PovRay);
    EXPECT_EQ(attached.options.reader.dxfVdist, 0.001f);
    EXPECT_NE(attached.options.reader.dxfClv, 0);
}

TEST(ConvertOptions, FormatFromExtensionOrFlag) {
    EXPECT_EQ(FormatForName("a/b.pol"), SaveFormat::Eastray);
    EXPECT_EQ(FormatForName("a/b.p"), SaveFormat::Eastray);
    EXPECT_EQ(FormatForName("B.POV"), SaveFormat::PovRay);
    EXPECT_EQ(FormatForName("b.obj"), SaveFormat::Obj);
    EXPECT_EQ(FormatForName("b.txt"), std::nullopt);
    EXPECT_EQ(FormatForName("dir.obj/b"), std::nullopt);

    const ParseResult forced = Parse({"in.dxf", "-o", "out.txt", "--format", "pol"});
    ASSERT_TRUE(forced.ok) << forced.error;
    EXPECT_EQ(forced.options.format, SaveFormat::Eastray);
    // --format wins over the extension.
    EXPECT_EQ(Parse({"in.dxf", "-o", "out.obj", "--format=pov"}).options.format,
              SaveFormat::PovRay);
}

TEST(ConvertOptions, UsageErrors) {
    const std::vector<std::vector<std::string>> bad{
        {},                                   // no input
        {"in.dxf", "-o"},                     // no value
        {"in.dxf", "-o", "out.txt"},          // unknown output type
        {"in.dxf", "--format", "png"},        // unknown format word
        {"in.dxf", "--distance", "abc"},      // not a number
        {"in.dxf", "--distance", "0,5"},      // comma is no decimal point
        {"in.dxf", "--distance", "nan"},      // not finite
        {"in.dxf", "--frobnicate"},           // unknown option
        {"in.dxf", "--multi=yes"},            // flag with a value
        {"a.dxf", "b.dxf", "-o", "out.obj"},  // one output, two inputs
        {"a.dxf", "--output-dir", "d"},       // output folder needs a format
    };
    for (const auto& arguments : bad) {
        const ParseResult parsed = ParseConvertArguments(arguments);
        EXPECT_FALSE(parsed.ok) << testing::PrintToString(arguments);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(ConvertOptions, SettingsFileGivesDefaultsThatFlagsOverride) {
    test::TempDir dir;
    test::WriteBytes(dir / "v.ini",
                     "[Options]\r\nDXFmulti=1\r\nDXFclv=0\r\nDXFvdist=0.5\r\nESTRopt= s n\r\n"
                     "POVRsmt=0\r\nPOVRstate=pigment {color rgb <0,0,1>}\r\n");
    // The flag before --settings still wins over the file.
    const ParseResult parsed = Parse({"--clean", "in.dxf", "--settings", dir / "v.ini"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const ConvertOptions& o = parsed.options;
    EXPECT_EQ(o.reader.dxfMulti, 1);
    EXPECT_NE(o.reader.dxfClv, 0);
    EXPECT_EQ(o.reader.dxfVdist, 0.5f);
    EXPECT_EQ(o.writer.estrOpt, " s n");
    EXPECT_EQ(o.writer.povOpt.smooth, 0);
    EXPECT_EQ(o.writer.povOpt.state, "pigment {color rgb <0,0,1>}");

    // Every reader switch can be turned back from the command line.
    const ParseResult back = Parse({"--settings", dir / "v.ini", "--no-multi", "in.dxf"});
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.options.reader.dxfMulti, 0);

    EXPECT_FALSE(Parse({"in.dxf", "--settings=" + (dir / "missing.ini")}).ok);
}

TEST(ConvertOptions, LaterOptionsComeFromTheSettingsFileAndTurnBackByFlag) {
    test::TempDir dir;
    test::WriteBytes(dir / "v.ini",
                     "[Options]\r\nDXFskip=1\r\nDXFinsert=1\r\nDXFcolor=1\r\nDXForient=1\r\n"
                     "POVRcrease=45\r\nPOVRmesh2=1\r\nPOVRfit=1\r\nOBJnormal=1\r\n"
                     "OUTzup=1\r\nPOVRscene=1\r\n");
    const ParseResult on = Parse({"--settings", dir / "v.ini", "in.dxf"});
    ASSERT_TRUE(on.ok) << on.error;
    EXPECT_EQ(on.options.reader.dxfSkip, 1);
    EXPECT_EQ(on.options.reader.dxfInsert, 1);
    EXPECT_EQ(on.options.reader.dxfColor, 1);
    EXPECT_EQ(on.options.reader.dxfOrient, 1);
    EXPECT_EQ(on.options.writer.povOpt.crease, 45.0f);
    EXPECT_EQ(on.options.writer.povOpt.mesh2, 1);
    EXPECT_EQ(on.options.writer.povOpt.fit, 1);
    EXPECT_EQ(on.options.writer.objNormal, 1);
    EXPECT_EQ(on.options.writer.zUp, 1);
    EXPECT_EQ(on.options.writer.povOpt.studio, 1);

    const ParseResult off =
        Parse({"--settings", dir / "v.ini", "in.dxf", "--no-skip-unsupported",
               "--no-expand-inserts", "--no-drawing-colors", "--no-orient-faces",
               "--crease-angle=180", "--no-pov-mesh2", "--no-pov-fit-camera", "--no-obj-normals"});
    ASSERT_TRUE(off.ok) << off.error;
    const ConvertOptions defaults = Parse({"in.dxf"}).options;
    EXPECT_EQ(off.options.reader.dxfSkip, defaults.reader.dxfSkip);
    EXPECT_EQ(off.options.reader.dxfInsert, defaults.reader.dxfInsert);
    EXPECT_EQ(off.options.reader.dxfColor, defaults.reader.dxfColor);
    EXPECT_EQ(off.options.reader.dxfOrient, defaults.reader.dxfOrient);
    EXPECT_EQ(off.options.writer.povOpt.crease, defaults.writer.povOpt.crease);
    EXPECT_EQ(off.options.writer.povOpt.mesh2, defaults.writer.povOpt.mesh2);
    EXPECT_EQ(off.options.writer.povOpt.fit, defaults.writer.povOpt.fit);
    EXPECT_EQ(off.options.writer.objNormal, defaults.writer.objNormal);

    const ParseResult flags = Parse({"--skip-unsupported", "--expand-inserts", "--drawing-colors",
                                     "--orient-faces", "--crease-angle", "30", "--pov-mesh2",
                                     "--pov-fit-camera", "--obj-normals", "in.dxf"});
    ASSERT_TRUE(flags.ok) << flags.error;
    EXPECT_EQ(flags.options.reader.dxfSkip, 1);
    EXPECT_EQ(flags.options.reader.dxfInsert, 1);
    EXPECT_EQ(flags.options.reader.dxfColor, 1);
    EXPECT_EQ(flags.options.reader.dxfOrient, 1);
    EXPECT_EQ(flags.options.writer.povOpt.crease, 30.0f);
    EXPECT_EQ(flags.options.writer.povOpt.mesh2, 1);
    EXPECT_EQ(flags.options.writer.povOpt.fit, 1);
    EXPECT_EQ(flags.options.writer.objNormal, 1);
}

TEST(ConvertOptions, ThicknessSegmentsAndUnitsFromFlagsAndSettings) {
    const ParseResult flags = Parse({"--thickness", "--segments", "7", "--units=in", "in.dxf"});
    ASSERT_TRUE(flags.ok) << flags.error;
    EXPECT_EQ(flags.options.reader.dxfThick, 1);
    EXPECT_EQ(flags.options.reader.dxfSegments, 7);
    EXPECT_EQ(flags.options.reader.outUnits, static_cast<std::int32_t>(OutputUnit::Inch));
    EXPECT_EQ(Parse({"--segments", "1025", "in.dxf"}).error,
              "--segments は 3 から 1024 までの分割数です: 1025");
    EXPECT_EQ(Parse({"--units", "inch", "in.dxf"}).error,
              "--units の値が不正です (as-drawn, mm, cm, m, in, ft): inch");

    // The settings file keeps the words; a count outside the range is held
    // to it, an unknown word is the default.
    test::TempDir dir;
    test::WriteBytes(dir / "v.ini",
                     "[Options]\r\nDXFthick=1\r\nDXFsegments=5000\r\nOUTunits=ft\r\n");
    const ParseResult file = Parse({"--settings", dir / "v.ini", "in.dxf"});
    ASSERT_TRUE(file.ok) << file.error;
    EXPECT_EQ(file.options.reader.dxfThick, 1);
    EXPECT_EQ(file.options.reader.dxfSegments, 1024);
    EXPECT_EQ(file.options.reader.outUnits, static_cast<std::int32_t>(OutputUnit::Foot));
    test::WriteBytes(dir / "w.ini", "[Options]\r\nOUTunits=yard\r\n");
    EXPECT_EQ(Parse({"--settings", dir / "w.ini", "in.dxf"}).options.reader.outUnits, 0);
}

TEST(ConvertOptions, CreaseAngleMustBeAnAngleOfAtMostHalfATurn) {
    EXPECT_FALSE(Parse({"in.dxf", "--crease-angle", "181"}).ok);
    EXPECT_FALSE(Parse({"in.dxf", "--crease-angle", "-1"}).ok);
    EXPECT_FALSE(Parse({"in.dxf", "--crease-angle", "sharp"}).ok);
    EXPECT_FALSE(Parse({"in.dxf", "--crease-angle"}).ok);
    // A switch takes no value.
    EXPECT_FALSE(Parse({"in.dxf", "--pov-mesh2=1"}).ok);
    const ParseResult zero = Parse({"in.dxf", "--crease-angle=0"});
    ASSERT_TRUE(zero.ok) << zero.error;
    EXPECT_EQ(zero.options.writer.povOpt.crease, 0.0f);
}

TEST(ConvertOptions, HelpNeedsNoInputAndDashDashEndsOptions) {
    const ParseResult help = Parse({"--help"});
    ASSERT_TRUE(help.ok);
    EXPECT_TRUE(help.options.help);
    EXPECT_NE(ConvertUsage().find("--estr-options"), std::string::npos);

    const ParseResult literal = Parse({"--", "--multi", "-"});
    ASSERT_TRUE(literal.ok) << literal.error;
    EXPECT_EQ(literal.options.inputs, (std::vector<std::string>{"--multi", "-"}));
    EXPECT_EQ(literal.options.reader.dxfMulti, 0);
}

TEST(ConvertOptions, UsageErrorsKeepTheirTexts) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"in.dxf", "--distance"}, "--distance には距離を指定してください."},
        {{"in.dxf", "--distance", "abc"}, "--distance の値が数値ではありません: abc"},
        {{"in.dxf", "--distance="}, "--distance の値が数値ではありません: "},
        {{"in.dxf", "--crease-angle"}, "--crease-angle には角度を指定してください."},
        {{"in.dxf", "--crease-angle=x"}, "--crease-angle の値が数値ではありません: x"},
        {{"in.dxf", "--crease-angle", "181"}, "--crease-angle は 0 から 180 までの角度です: 181"},
        {{"in.dxf", "--crease-angle", "-0.5"}, "--crease-angle は 0 から 180 までの角度です: -0.5"},
        {{"in.dxf", "--estr-options"}, "--estr-options にはオプション文字列を指定してください."},
        {{"in.dxf", "--pov-texture"}, "--pov-texture にはテクスチャ文を指定してください."},
        {{"in.dxf", "--multi=yes"}, "不明なオプションです: --multi=yes"},
        {{"in.dxf", "--no-distance"}, "不明なオプションです: --no-distance"},
        {{"in.dxf", "--no-no-multi"}, "不明なオプションです: --no-no-multi"},
        {{"in.dxf", "--help=1"}, "不明なオプションです: --help=1"},
        {{"in.dxf", "--format", "png"}, "--format の値が不正です (pol, pov, obj): png"},
        {{"in.dxf", "--settings"}, "設定ファイルを読めません: "},
    };
    for (const auto& [arguments, message] : cases) {
        const ParseResult parsed = Parse(arguments);
        EXPECT_FALSE(parsed.ok) << testing::PrintToString(arguments);
        EXPECT_EQ(parsed.error, message);
    }
}

TEST(ConvertOptions, EverySwitchTurnsOnAndOff) {
    for (const OptionRow& row : OptionTable()) {
        if (row.kind != OptionKind::Switch) continue;
        const std::string on(row.option);
        const std::string off = "--no-" + on.substr(2);
        ConvertOptions turned = Parse({on, "in.dxf"}).options;
        EXPECT_EQ(OptionValue<std::int32_t>(row, turned), 1) << on;
        // The last of both forms wins.
        turned = Parse({on, "in.dxf", off}).options;
        EXPECT_EQ(OptionValue<std::int32_t>(row, turned), 0) << off;
    }
}

OptionField MultiField(AppSettings& s) { return &s.reader.dxfMulti; }
constexpr std::string_view kUnits[] = {"as-drawn", "mm", "cm", "m", "in", "ft"};

TEST(ConvertOptions, IntegerAndChoiceValuesSayWhatTheyTake) {
    const OptionRow segments{.section = "Options",
                             .key = "OUTsegments",
                             .kind = OptionKind::Integer,
                             .group = OptionGroup::Pov,
                             .defaultText = "32",
                             .field = MultiField,
                             .option = "--segments",
                             .valueName = "N",
                             .valueNoun = "分割数",
                             .min = 3,
                             .max = 1024};
    AppSettings s;
    EXPECT_EQ(TakeOptionValue(segments, "64", s), "");
    EXPECT_EQ(s.reader.dxfMulti, 64);
    EXPECT_EQ(TakeOptionValue(segments, "+1024", s), "");
    EXPECT_EQ(s.reader.dxfMulti, 1024);
    EXPECT_EQ(TakeOptionValue(segments, "2", s), "--segments は 3 から 1024 までの分割数です: 2");
    EXPECT_EQ(TakeOptionValue(segments, "6.5", s), "--segments の値が数値ではありません: 6.5");
    EXPECT_EQ(s.reader.dxfMulti, 1024);

    const OptionRow units{.section = "Options",
                          .key = "OUTunits",
                          .kind = OptionKind::Choice,
                          .group = OptionGroup::Dxf,
                          .defaultText = "as-drawn",
                          .field = MultiField,
                          .option = "--units",
                          .valueNoun = "単位",
                          .words = kUnits};
    EXPECT_EQ(TakeOptionValue(units, "cm", s), "");
    EXPECT_EQ(s.reader.dxfMulti, 2);
    EXPECT_EQ(TakeOptionValue(units, "yard", s),
              "--units の値が不正です (as-drawn, mm, cm, m, in, ft): yard");
}

TEST(ConvertUsage, HelpTextKeepsItsWordingAndLayout) {
    // Descriptions start in column 27; a default that would take a line past
    // 80 columns goes below its description.
    EXPECT_EQ(ConvertUsage(),
              "使い方: vertoko-convert [オプション]... FILE.dxf...\n"
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
              "      --thickness, --no-thickness\n"
              "                          SOLID・TRACEと厚みのある図形を面にする (既定: しない)\n"
              "      --segments N        円と円弧の一周あたりの分割数, 3 から 1024 (既定: 32)\n"
              "      --units as-drawn|mm|cm|m|in|ft\n"
              "                          図面の単位 ($INSUNITS) から換算する単位\n"
              "                          (既定: as-drawn)\n"
              "      --visible-only, --no-visible-only\n"
              "                          非表示・フリーズのレイヤーを読まない (既定: しない)\n"
              "      --layers PATTERNS   読み込むレイヤー (* ? [...] のパターン, 空はすべて)\n"
              "      --exclude-layers PATTERNS\n"
              "                          読み込まないレイヤー (--layers より優先)\n"
              "      --layer-names, --no-layer-names\n"
              "                          オブジェクトのレイヤー名を出力する (既定: しない)\n"
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
              "      --z-up, --no-z-up   図面のZ軸を上に (EASTRAY出力は図面のまま)\n"
              "                          (既定: しない)\n"
              "      --pov-studio, --no-pov-studio\n"
              "                          POV-Rayに空・床・照明を入れる (既定: しない)\n"
              "      --materials FILE    レイヤーや色ごとの材質を書いたファイル (POV-RayとOBJ)\n"
              "      --obj-normals, --no-obj-normals\n"
              "                          OBJに法線を出力 (既定: しない)\n"
              "      --settings FILE     設定ファイル (INI) の値を既定にする\n"
              "      --help              この説明を表示\n"
              "\n"
              "終了コード: 0 成功, 1 読み込みまたは書き込みの失敗, 2 使い方の誤り.\n");
}

}  // namespace
}  // namespace vertoko
