#include "convert/settings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace vertoko {
namespace {

AppSettings FromText(std::string_view text) { return ReadSettings(IniFile::Parse(text)); }

TEST(SettingsPath, ExtensionOfTheFileNameIsReplaced) {
    EXPECT_EQ(SettingsPathFor("/opt/tools/conv.exe"), "/opt/tools/conv.ini");
    EXPECT_EQ(SettingsPathFor("/opt/tools/conv.app.bin"), "/opt/tools/conv.app.ini");
}

TEST(SettingsPath, NameWithoutExtensionGetsIniAppended) {
    EXPECT_EQ(SettingsPathFor("/usr/bin/vertoko"), "/usr/bin/vertoko.ini");
    EXPECT_EQ(SettingsPathFor("vertoko"), "vertoko.ini");
}

TEST(SettingsPath, DotInDirectoryNameIsNoExtension) {
    EXPECT_EQ(SettingsPathFor("/home/a.b/build.dir/vertoko"), "/home/a.b/build.dir/vertoko.ini");
    EXPECT_EQ(SettingsPathFor("/home/a.b/vertoko.x"), "/home/a.b/vertoko.ini");
}

TEST(SettingsPath, LeadingDotOfFileNameIsNoExtension) {
    EXPECT_EQ(SettingsPathFor("/tmp/.vertoko"), "/tmp/.vertoko.ini");
}

TEST(SettingsDefaults, EmptyFileGivesEveryDefault) {
    const AppSettings s = FromText("");
    EXPECT_EQ(s.reader.dxfMulti, 0);
    EXPECT_EQ(s.reader.dxfClv, 1);
    EXPECT_EQ(s.reader.dxfVdist, 0.0f);
    EXPECT_EQ(s.writer.estrOpt, "s");
    EXPECT_EQ(s.writer.povOpt.smooth, 1);
    EXPECT_EQ(s.writer.povOpt.state, "pigment {color rgb <1,1,1>}");
    EXPECT_EQ(s.pviewBack, 0u + 77u * 256u + 102u * 65536u);
    EXPECT_EQ(s.pviewObj, 222u + 222u * 256u + 222u * 65536u);
}

TEST(SettingsDefaults, FirstCloseWritesExactlyTheDefaults) {
    IniFile ini;
    WriteSettings(FromText(""), ini);
    EXPECT_EQ(ini.Serialize(),
              "[Options]\r\nDXFmulti=0\r\nDXFclv=1\r\nDXFvdist=0\r\nESTRopt=s\r\nPOVRsmt=1\r\n"
              "POVRstate=pigment {color rgb <1,1,1>}\r\n"
              "DXFskip=0\r\nDXFinsert=0\r\nDXFcolor=0\r\nDXForient=0\r\nPOVRcrease=180\r\n"
              "POVRmesh2=0\r\nPOVRfit=0\r\nOBJnormal=0\r\n"
              "DXFthick=0\r\nDXFsegments=32\r\nOUTunits=as-drawn\r\nOUTzup=0\r\nPOVRscene=0\r\n"
              "DXFvisible=0\r\nDXFlayers=\r\nDXFnolayers=\r\nOUTnames=0\r\nOUTmaterials=\r\n\r\n"
              "[Pview]\r\nbackcol=0,77,102\r\nobjcol=222,222,222\r\n\r\n");
}

TEST(SettingsRead, LowerCaseSectionAndKeyAreFound) {
    EXPECT_EQ(FromText("[options]\ndxfmulti=1\n").reader.dxfMulti, 1);
}

TEST(SettingsRead, EmptyValuesTakeTheReadingFallbacks) {
    const AppSettings s = FromText(
        "[Options]\nDXFmulti=\nDXFclv=\nDXFvdist=\nESTRopt=\nPOVRsmt=\nPOVRstate=\n"
        "[Pview]\nbackcol=\nobjcol=\n");
    EXPECT_EQ(s.reader.dxfMulti, 0);
    EXPECT_EQ(s.reader.dxfClv, 1);
    EXPECT_EQ(s.reader.dxfVdist, 0.0f);
    EXPECT_EQ(s.writer.estrOpt, "");
    EXPECT_EQ(s.writer.povOpt.smooth, 1);
    EXPECT_EQ(s.writer.povOpt.state, "");
    EXPECT_EQ(s.pviewBack, Rgb(0, 77, 102));
    EXPECT_EQ(s.pviewObj, Rgb(222, 222, 222));

    IniFile ini;
    WriteSettings(s, ini);
    EXPECT_EQ(ini.Get("Options", "ESTRopt"), "");
    EXPECT_EQ(ini.Get("Options", "POVRstate"), "");
}

TEST(SettingsRead, IntegersMustBeWholeDecimalIntegers) {
    EXPECT_EQ(ParseSettingInt("7", 1), 7);
    EXPECT_EQ(ParseSettingInt("-3", 1), -3);
    EXPECT_EQ(ParseSettingInt("+2", 1), 2);
    EXPECT_EQ(ParseSettingInt("  5", 1), 5);
    EXPECT_EQ(ParseSettingInt("1x", 9), 9);
    EXPECT_EQ(ParseSettingInt("5 ", 9), 9);
    EXPECT_EQ(ParseSettingInt("yes", 9), 9);
    EXPECT_EQ(ParseSettingInt("-", 9), 9);
    EXPECT_EQ(ParseSettingInt("2147483647", 9), 2147483647);
    EXPECT_EQ(ParseSettingInt("2147483648", 9), 9);
    EXPECT_EQ(FromText("[Options]\nDXFclv=off\n").reader.dxfClv, 1);
    EXPECT_EQ(FromText("[Options]\nPOVRsmt=0\n").writer.povOpt.smooth, 0);
}

TEST(SettingsRead, UnusedEntriesAreWrittenBackUnchanged) {
    IniFile ini =
        IniFile::Parse("; made by hand\n[Options]\nDXFclv=0\nMyKey= my value\n[Other]\nx=1\n");
    WriteSettings(ReadSettings(ini), ini);
    EXPECT_EQ(ini.Serialize(),
              "[Options]\r\nDXFclv=0\r\nMyKey= my value\r\nDXFmulti=0\r\nDXFvdist=0\r\n"
              "ESTRopt=s\r\nPOVRsmt=1\r\nPOVRstate=pigment {color rgb <1,1,1>}\r\n"
              "DXFskip=0\r\nDXFinsert=0\r\nDXFcolor=0\r\nDXForient=0\r\nPOVRcrease=180\r\n"
              "POVRmesh2=0\r\nPOVRfit=0\r\nOBJnormal=0\r\n"
              "DXFthick=0\r\nDXFsegments=32\r\nOUTunits=as-drawn\r\nOUTzup=0\r\nPOVRscene=0\r\n"
              "DXFvisible=0\r\nDXFlayers=\r\nDXFnolayers=\r\nOUTnames=0\r\nOUTmaterials=\r\n\r\n"
              "[Other]\r\nx=1\r\n\r\n[Pview]\r\nbackcol=0,77,102\r\nobjcol=222,222,222\r\n\r\n");
}

TEST(SettingsRead, SmoothingAngleIsHeldToHalfATurn) {
    EXPECT_EQ(FromText("").writer.povOpt.crease, 180.0f);
    EXPECT_EQ(FromText("[Options]\nPOVRcrease=60\n").writer.povOpt.crease, 60.0f);
    EXPECT_EQ(FromText("[Options]\nPOVRcrease=400\n").writer.povOpt.crease, 180.0f);
    EXPECT_EQ(FromText("[Options]\nPOVRcrease=-5\n").writer.povOpt.crease, 0.0f);
    // Text that is no number keeps the default rather than hardening every edge.
    EXPECT_EQ(FromText("[Options]\nPOVRcrease=sharp\n").writer.povOpt.crease, 180.0f);
    EXPECT_EQ(FromText("[Options]\nPOVRcrease=\n").writer.povOpt.crease, 180.0f);
}

TEST(SettingsRead, OverlongTextsAreCutToTheirFields) {
    const std::string longOpt(100, 'a');
    const std::string longState(100, 'b');
    const AppSettings s =
        FromText("[Options]\nESTRopt=" + longOpt + "\nPOVRstate=" + longState + "\n");
    EXPECT_EQ(s.writer.estrOpt, std::string(79, 'a'));
    EXPECT_EQ(s.writer.povOpt.state, std::string(87, 'b'));
}

TEST(SettingsRead, CutNeverSplitsAUtf8Character) {
    // 78 ASCII bytes, then a three-byte character across the 79-byte limit.
    const std::string text = std::string(78, 'x') + "色";
    EXPECT_EQ(CutToField(text, 79), std::string(78, 'x'));
    EXPECT_EQ(CutToField(text, 81), text);
}

TEST(ColorTriple, BlanksMayStandBeforeNumbersOnly) {
    EXPECT_EQ(ParseColorTriple("10, 20, 30", 0), Rgb(10, 20, 30));
    EXPECT_EQ(ParseColorTriple(" 10,\t20,  30", 0), Rgb(10, 20, 30));
    EXPECT_EQ(ParseColorTriple("10 ,20,30", Rgb(0, 77, 102)), Rgb(0, 77, 102));
    EXPECT_EQ(ParseColorTriple("10,20 ,30", Rgb(0, 77, 102)), Rgb(0, 77, 102));
}

TEST(ColorTriple, FewerThanThreeNumbersFallBackWhole) {
    EXPECT_EQ(ParseColorTriple("10,20", Rgb(222, 222, 222)), Rgb(222, 222, 222));
    EXPECT_EQ(ParseColorTriple("10,20,", Rgb(222, 222, 222)), Rgb(222, 222, 222));
    EXPECT_EQ(ParseColorTriple("red", Rgb(222, 222, 222)), Rgb(222, 222, 222));
    EXPECT_EQ(ParseColorTriple("", Rgb(222, 222, 222)), Rgb(222, 222, 222));
    // The key's own defaults, not a shared one.
    EXPECT_EQ(FromText("[Pview]\nbackcol=1\nobjcol=1\n").pviewBack, Rgb(0, 77, 102));
    EXPECT_EQ(FromText("[Pview]\nbackcol=1\nobjcol=1\n").pviewObj, Rgb(222, 222, 222));
}

TEST(ColorTriple, ComponentsKeepTheirLow8Bits) {
    EXPECT_EQ(FromText("[Pview]\nobjcol=300,0,0\n").pviewObj, Rgb(44, 0, 0));
    EXPECT_EQ(ParseColorTriple("256,0,0", 0), Rgb(0, 0, 0));
    EXPECT_EQ(ParseColorTriple("-1,0,0", 0), Rgb(255, 0, 0));
    EXPECT_EQ(ParseColorTriple("1,2,3 and more", 0), Rgb(1, 2, 3));
    // A number far beyond 32 bits must neither crash nor overflow.
    EXPECT_EQ(ParseColorTriple("99999999999999999999999,0,0", 0) & 0xFFFFFF00u, 0u);
}

TEST(ColorTriple, RedIsTheLowByteWrittenFirst) {
    EXPECT_EQ(FormatColorTriple(Rgb(1, 2, 3)), "1,2,3");
    EXPECT_EQ(FormatColorTriple(0x00665544u), "68,85,102");
    EXPECT_EQ(ParseColorTriple(FormatColorTriple(Rgb(255, 0, 128)), 0), Rgb(255, 0, 128));
}

TEST(DistanceText, WrittenWithFifteenSignificantDigits) {
    EXPECT_EQ(FormatSettingFloat(0.001f), "0.00100000004749745");
    EXPECT_EQ(FormatSettingFloat(0.0f), "0");
    EXPECT_EQ(FormatSettingFloat(0.5f), "0.5");
    EXPECT_EQ(FormatSettingFloat(2.0f), "2");
}

TEST(DistanceText, ReadsBackToTheSameFloat) {
    const float values[] = {0.001f, 0.1f,    1.0f / 3.0f, 123456.789f,
                            1e-20f, 3.0e30f, 1e-40f,      -0.25f};
    for (float value : values) {
        EXPECT_EQ(ParseSettingFloat(FormatSettingFloat(value)), value) << FormatSettingFloat(value);
    }
}

TEST(DistanceText, LongestLeadingDecimalNumberIsRead) {
    EXPECT_EQ(ParseSettingFloat("0.25mm"), 0.25f);
    EXPECT_EQ(ParseSettingFloat("  1.5e1x"), 15.0f);
    EXPECT_EQ(ParseSettingFloat(".5"), 0.5f);
    EXPECT_EQ(ParseSettingFloat("-2"), -2.0f);
    EXPECT_EQ(ParseSettingFloat("abc"), 0.0f);
    EXPECT_EQ(ParseSettingFloat("."), 0.0f);
    EXPECT_EQ(ParseSettingFloat(""), 0.0f);
    // Not decimal numbers, or beyond single precision: no distance.
    EXPECT_EQ(ParseSettingFloat("inf"), 0.0f);
    EXPECT_EQ(ParseSettingFloat("nan"), 0.0f);
    EXPECT_EQ(ParseSettingFloat("1e39"), 0.0f);
    EXPECT_EQ(ParseSettingFloat("1e999"), 0.0f);
}

TEST(DistanceText, ProcessLocaleDoesNotChangeTheText) {
    // A locale with a decimal comma, where one is installed.
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "de_DE");
    EXPECT_EQ(FormatSettingFloat(0.5f), "0.5");
    EXPECT_EQ(ParseSettingFloat("0.5"), 0.5f);
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(SettingsRoundTrip, ValuesSurviveWriteAndRead) {
    AppSettings s;
    s.reader.dxfMulti = 1;
    s.reader.dxfClv = 0;
    s.reader.dxfVdist = 0.001f;
    s.writer.estrOpt = "s -c 1";
    s.writer.povOpt.smooth = 0;
    s.writer.povOpt.state = "texture {T_Stone1}";
    s.pviewBack = Rgb(1, 2, 3);
    s.pviewObj = Rgb(250, 128, 0);
    s.reader.dxfSkip = 1;
    s.reader.dxfInsert = 1;
    s.reader.dxfColor = 1;
    s.reader.dxfOrient = 1;
    s.writer.povOpt.crease = 42.5f;
    s.writer.povOpt.mesh2 = 1;
    s.writer.povOpt.fit = 1;
    s.writer.objNormal = 1;
    IniFile ini;
    WriteSettings(s, ini);
    const AppSettings back = FromText(ini.Serialize());
    EXPECT_EQ(back.reader.dxfSkip, 1);
    EXPECT_EQ(back.reader.dxfInsert, 1);
    EXPECT_EQ(back.reader.dxfColor, 1);
    EXPECT_EQ(back.reader.dxfOrient, 1);
    EXPECT_EQ(back.writer.povOpt.crease, 42.5f);
    EXPECT_EQ(back.writer.povOpt.mesh2, 1);
    EXPECT_EQ(back.writer.povOpt.fit, 1);
    EXPECT_EQ(back.writer.objNormal, 1);
    EXPECT_EQ(back.reader.dxfMulti, 1);
    EXPECT_EQ(back.reader.dxfClv, 0);
    EXPECT_EQ(back.reader.dxfVdist, 0.001f);
    EXPECT_EQ(back.writer.estrOpt, "s -c 1");
    EXPECT_EQ(back.writer.povOpt.smooth, 0);
    EXPECT_EQ(back.writer.povOpt.state, "texture {T_Stone1}");
    EXPECT_EQ(back.pviewBack, Rgb(1, 2, 3));
    EXPECT_EQ(back.pviewObj, Rgb(250, 128, 0));
}

}  // namespace
}  // namespace vertoko
