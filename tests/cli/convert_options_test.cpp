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
                     "POVRcrease=45\r\nPOVRmesh2=1\r\nPOVRfit=1\r\nOBJnormal=1\r\n");
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

}  // namespace
}  // namespace vertoko
