// The polygons' drawing colours in the POV-Ray include file (one pigment
// per colour, per-triangle textures for several-coloured objects) and in
// OBJ material libraries.
#include <gtest/gtest.h>

#include "support/mesh_builder.h"
#include "export/obj_writer.h"
#include "export/pov_writer.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::TestTable;

const std::vector<Point3f> kSquare{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

void Paint(MeshObject& object, std::initializer_list<std::uint32_t> colors) {
    MeshPolygon* p = object.polygons;
    for (const std::uint32_t rgb : colors) {
        p->color = kPolygonColorSet | rgb;
        p = p->next;
    }
}

PovOption Plain() {
    PovOption option;
    option.smooth = 0;
    option.state = "pigment {color rgb <1,1,1>}";
    return option;
}

TEST(ColoredPov, OneColourKeepsTheObjectTextureSeveralGiveEachTriangleItsOwn) {
    TestTable table;
    Paint(table.Add(kSquare, {{0, 1, 2, 3}}), {0xFF7F00});  // split in two, one colour
    Paint(table.Add(kSquare, {{0, 1, 2}, {0, 2, 3}}), {0xFF0000, 0x0000FF});
    TempDir dir;
    std::string msg;
    ASSERT_EQ(WritePov(dir / "s.pov", table.size(), table.data(), Plain(), Extents{}, msg), 1) << msg;
    const std::string inc = ReadBytes(dir / "s.inc");
    // 127 / 255 = 0.498039 as %g prints it.
    EXPECT_NE(inc.find("#declare poltexture0 = pigment {color rgb <1,0.498039,0>}\r\n"),
              std::string::npos)
        << inc;
    EXPECT_NE(inc.find("#declare poltexture1_0 = texture { pigment {color rgb <1,0,0>} }\r\n"),
              std::string::npos);
    EXPECT_NE(inc.find("#declare poltexture1_1 = texture { pigment {color rgb <0,0,1>} }\r\n"),
              std::string::npos);
    EXPECT_EQ(inc.find("#declare poltexture1 "), std::string::npos);
    // The one-coloured object's triangles name no texture of their own.
    EXPECT_EQ(inc.find("poltexture0_"), std::string::npos);
    EXPECT_NE(inc.find("\ttriangle {\r\n\t<0,0,0>, <1,0,0>, <1,1,0>\r\n"
                       "\ttexture { poltexture1_0 }\r\n\t}\r\n"
                       "\ttriangle {\r\n\t<0,0,0>, <1,1,0>, <0,1,0>\r\n"
                       "\ttexture { poltexture1_1 }\r\n\t}\r\n"),
              std::string::npos)
        << inc;
    EXPECT_NE(inc.find("texture { poltexture0 }\r\n}"), std::string::npos);
}

TEST(ColoredPov, Mesh2ListsTheColourTexturesAndEachFaceIndexesThem) {
    TestTable table;
    Paint(table.Add(kSquare, {{0, 1, 2}, {0, 2, 3}, {0, 1, 3}}), {0xFF0000, 0x0000FF, 0xFF0000});
    PovOption option = Plain();
    option.mesh2 = 1;
    TempDir dir;
    std::string msg;
    ASSERT_EQ(WritePov(dir / "m.pov", table.size(), table.data(), option, Extents{}, msg), 1) << msg;
    const std::string inc = ReadBytes(dir / "m.inc");
    EXPECT_NE(inc.find("\ttexture_list {\r\n\t\t2,\r\n\t\ttexture { poltexture0_0 },\r\n\t\t"
                       "texture { poltexture0_1 }\r\n\t}\r\n\tface_indices {\r\n\t\t3,\r\n\t\t"
                       "<0,1,2>, 0,\r\n\t\t<0,2,3>, 1,\r\n\t\t<0,1,3>, 0\r\n\t}"),
              std::string::npos)
        << inc;
}

TEST(ColoredObj, MaterialLibraryBesideTheFilesAndARunPerColour) {
    TestTable table;
    Paint(table.Add(kSquare, {{0, 1, 2}, {0, 2, 3}, {0, 1, 3}}), {0xFF0000, 0xFF0000, 0x00FF00});
    Paint(table.Add(kSquare, {{0, 1, 2}}), {0x00FF00});
    TempDir dir;
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "m", table.size(), table.data(), msg), 1) << msg;
    // The numbered files share one library named after their base.
    EXPECT_EQ(
        ReadBytes(dir / "m.mtl"),
        "newmtl dxfcolor_ff0000\r\nKd 1 0 0\r\n\r\nnewmtl dxfcolor_00ff00\r\nKd 0 1 0\r\n\r\n");
    const std::string first = ReadBytes(dir / "m001.obj");
    EXPECT_EQ(first.rfind("mtllib m.mtl\r\nv 0 0 0\r\n", 0), 0u) << first;
    EXPECT_NE(first.find("usemtl dxfcolor_ff0000\r\nf 1 2 3\r\nf 1 3 4\r\nusemtl "
                         "dxfcolor_00ff00\r\nf 1 2 4\r\n"),
              std::string::npos)
        << first;
    EXPECT_NE(ReadBytes(dir / "m002.obj").find("usemtl dxfcolor_00ff00\r\nf 1 2 3\r\n"),
              std::string::npos);

    // One object: the library takes the file's name with ".mtl".
    TestTable one;
    Paint(one.Add(kSquare, {{0, 1, 2}}), {0x0000FF});
    ASSERT_EQ(WriteObj(dir / "single.obj", one.size(), one.data(), msg), 1) << msg;
    EXPECT_EQ(ReadBytes(dir / "single.obj").rfind("mtllib single.mtl\r\n", 0), 0u);
    EXPECT_EQ(ReadBytes(dir / "single.mtl"), "newmtl dxfcolor_0000ff\r\nKd 0 0 1\r\n\r\n");
}

}  // namespace
}  // namespace vertoko
