// The drawing's layers in OBJ and POV-Ray output: "o" and "g" names in OBJ
// files, the comment beside each POV-Ray declaration, and the materials
// file's materials and textures; without them the output stays as it was.
#include "export/layer_output.h"

#include <gtest/gtest.h>

#include "export/materials.h"
#include "export/obj_text.h"
#include "export/obj_writer.h"
#include "export/pov_writer.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::TestTable;

const std::vector<Point3f> kSquare{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

// Sets each polygon's layer and colour (0: none) in list order.
void Mark(MeshObject& object, std::initializer_list<std::pair<std::int32_t, std::uint32_t>> marks) {
    MeshPolygon* p = object.polygons;
    for (const auto& [layer, rgb] : marks) {
        p->layer = layer;
        p->color = rgb == 0 ? 0 : kPolygonColorSet | rgb;
        p = p->next;
    }
}

DrawingLayers TwoLayers() {
    DrawingLayers layers;
    layers.layers = {{.name = "外壁 north", .aci = 7}, {.name = "窓#1", .aci = 5}};
    return layers;
}

PovOption Plain() {
    PovOption option;
    option.smooth = 0;
    return option;
}

std::uint32_t NoPalette(std::int32_t) { return 0x010203; }

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(ObjNames, EachNumberedFileNamesItsObjectInASafeSpelling) {
    TestTable table;
    Mark(table.Add(kSquare, {{0, 1, 2}}), {{0, 0}});
    Mark(table.Add(kSquare, {{0, 2, 3}}), {{1, 0}});
    DrawingLayers layers = TwoLayers();
    layers.objects = {{.layer = 0}, {.layer = 1, .aci = 5}};
    TempDir dir;
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "m", table.size(), table.data(), msg, false,
                       {.layers = &layers, .names = true}),
              1)
        << msg;
    // The blank and the '#' would cut the name short in OBJ readers.
    EXPECT_EQ(ReadBytes(dir / "m001.obj").rfind("o 外壁_north\r\nv 0 0 0\r\n", 0), 0u);
    EXPECT_EQ(ReadBytes(dir / "m002.obj").rfind("o 窓_1\r\nv 0 0 0\r\n", 0), 0u);
    EXPECT_EQ(Count(ReadBytes(dir / "m001.obj"), "g "), 0u);

    // Names off, or no layers kept: the files of a save without them.
    ASSERT_EQ(WriteObj(dir / "p", table.size(), table.data(), msg), 1);
    ASSERT_EQ(WriteObj(dir / "q", table.size(), table.data(), msg, false, {.layers = &layers}), 1);
    ASSERT_EQ(WriteObj(dir / "r", table.size(), table.data(), msg, false, {.names = true}), 1);
    for (const char* other : {"q", "r"}) {
        for (const char* number : {"001.obj", "002.obj"}) {
            EXPECT_EQ(ReadBytes(dir / (std::string(other) + number)),
                      ReadBytes(dir / (std::string("p") + number)))
                << other << number;
        }
    }
    EXPECT_EQ(ReadBytes(dir / "p001.obj").rfind("v 0 0 0\r\n", 0), 0u);
}

TEST(ObjNames, OneObjectOfSeveralLayersGetsAGroupPerRunWithItsMaterialAgain) {
    TestTable table;
    Mark(table.Add(kSquare, {{0, 1, 2}, {0, 2, 3}, {1, 2, 3}, {0, 1, 3}, {0, 1, 2}}),
         {{0, 0xFF0000}, {0, 0xFF0000}, {1, 0xFF0000}, {0, 0x00FF00}, {7, 0x00FF00}});
    const DrawingLayers layers = TwoLayers();
    TempDir dir;
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "s.obj", table.size(), table.data(), msg, false,
                       {.layers = &layers, .names = true}),
              1)
        << msg;
    const std::string obj = ReadBytes(dir / "s.obj");
    EXPECT_EQ(obj.rfind("mtllib s.mtl\r\nv 0 0 0\r\n", 0), 0u) << obj;
    // A layer index without an entry has no name to give: "_".
    EXPECT_NE(obj.find("# 4 vertices\r\n\r\n"
                       "g 外壁_north\r\nusemtl dxfcolor_ff0000\r\nf 1 2 3\r\nf 1 3 4\r\n"
                       "g 窓_1\r\nusemtl dxfcolor_ff0000\r\nf 2 3 4\r\n"
                       "g 外壁_north\r\nusemtl dxfcolor_00ff00\r\nf 1 2 4\r\n"
                       "g _\r\nusemtl dxfcolor_00ff00\r\nf 1 2 3\r\n# 5 elements\r\n"),
              std::string::npos)
        << obj;
}

TEST(ObjNames, PiecesOnTwoThreadsGiveTheSameGroupsAndMaterials) {
    TestTable table;
    std::vector<std::vector<std::int32_t>> polygons;
    for (int i = 0; i < 60; ++i) polygons.push_back({i % 4, (i + 1) % 4, (i + 2) % 4});
    MeshObject& object = table.Add(kSquare, polygons);
    std::int32_t i = 0;
    for (MeshPolygon* p = object.polygons; p != nullptr; p = p->next, ++i) {
        p->layer = (i / 3) % 2;
        p->color = (i / 5) % 2 == 0 ? kPolygonColorSet | 0x0000FF : 0;
    }
    const DrawingLayers layers = TwoLayers();
    std::vector<std::string> messages;
    const Materials materials =
        ParseMaterials("窓* = texture { pigment { rgb 1 } } ; Kd 0.5 0.5 0.5\n", "m", messages);
    const MaterialChoice choice(materials, &layers, &NoPalette);
    const LookChoice looks{.materials = &choice};
    const LayerOutput output{.layers = &layers, .names = true, .materials = &choice};
    const std::string library = "x.mtl";
    const ObjText text(object, nullptr, library, false, 0, &looks, &output);
    TempDir dir;
    auto written = [&](std::int64_t work, bool twoThreads) {
        OutputFile file;
        EXPECT_TRUE(file.Open(dir / "x.obj"));
        text.Write(file, work, twoThreads);
        EXPECT_TRUE(file.Close());
        return ReadBytes(dir / "x.obj");
    };
    const std::string whole = written(0, false);
    EXPECT_EQ(Count(whole, "g "), 20u);
    EXPECT_EQ(Count(whole, "usemtl material_line1\r\n"), 10u);
    for (std::int64_t work = 1; work <= 400; work += 3)
        EXPECT_EQ(written(work, true), whole) << "piece " << work;
}

TEST(ObjMaterials, MatchingFacesTakeTheFilesMaterialsBesideTheColours) {
    TestTable table;
    Mark(table.Add(kSquare, {{0, 1, 2}, {0, 2, 3}, {1, 2, 3}, {0, 1, 3}}),
         {{0, 0xFF0000}, {1, 0xFF0000}, {0, 0x00FF00}, {0, 0}});
    const DrawingLayers layers = TwoLayers();
    std::vector<std::string> messages;
    const Materials materials = ParseMaterials(
        "窓* = texture { pigment { rgbf <1,1,1,0.9> } } ; Kd 0.8 0.9 1 d 0.3\n"
        "color #00FF00 = texture { pigment { rgb <0,0.5,0> } } ; Kd 0 0.5 0 Ks 1 1 1 Ns 100\n",
        "m.txt", messages);
    ASSERT_EQ(materials.rules.size(), 2u);
    const MaterialChoice choice(materials, &layers, &NoPalette);
    TempDir dir;
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "s.obj", table.size(), table.data(), msg, false,
                       {.layers = &layers, .materials = &choice}),
              1)
        << msg;
    // In the order the faces first take them; the face without a colour
    // keeps its white one.
    EXPECT_EQ(ReadBytes(dir / "s.mtl"),
              "newmtl dxfcolor_ff0000\r\nKd 1 0 0\r\n\r\n"
              "# line 1: 窓*\r\nnewmtl material_line1\r\nKd 0.8 0.9 1\r\nd 0.3\r\n\r\n"
              "# line 2: color #00FF00\r\nnewmtl material_line2\r\nKd 0 0.5 0\r\nKs 1 1 1\r\n"
              "Ns 100\r\n\r\n"
              "newmtl dxfcolor_ffffff\r\nKd 1 1 1\r\n\r\n");
    const std::string obj = ReadBytes(dir / "s.obj");
    EXPECT_NE(obj.find("usemtl dxfcolor_ff0000\r\nf 1 2 3\r\nusemtl material_line1\r\nf 1 3 4\r\n"
                       "usemtl material_line2\r\nf 2 3 4\r\nusemtl dxfcolor_ffffff\r\nf 1 2 4\r\n"),
              std::string::npos)
        << obj;

    // A table without colours whose faces take no line has no library.
    TestTable plain;
    Mark(plain.Add(kSquare, {{0, 1, 2}}), {{0, 0}});
    ASSERT_EQ(WriteObj(dir / "n.obj", plain.size(), plain.data(), msg, false,
                       {.layers = &layers, .materials = &choice}),
              1);
    EXPECT_EQ(ReadBytes(dir / "n.obj").rfind("v 0 0 0\r\n", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "n.mtl"));
}

TEST(ObjNames, FacesSplitForNormalsStayOnTheirLayer) {
    // The two triangles of each square are one group: the triangle split
    // off keeps the square's layer.
    TestTable table;
    Mark(table.Add(kSquare, {{0, 1, 2, 3}, {3, 2, 1, 0}}), {{0, 0}, {1, 0}});
    const DrawingLayers layers = TwoLayers();
    TempDir dir;
    std::string msg;
    ASSERT_EQ(WriteObjWithNormals(dir / "t.obj", table.size(), table.data(), 0.0f, msg, false,
                                  {.layers = &layers, .names = true}),
              1)
        << msg;
    const std::string obj = ReadBytes(dir / "t.obj");
    EXPECT_EQ(Count(obj, "g 窓_1\r\n"), 1u) << obj;
    EXPECT_EQ(Count(obj, "g 外壁_north\r\n"), 1u) << obj;
    EXPECT_LT(obj.find("g 外壁_north\r\n"), obj.find("g 窓_1\r\n"));
    EXPECT_EQ(Count(obj, "\r\nf "), 4u);
}

TEST(PovNames, ACommentAboveEachDeclarationNamesItsLayers) {
    TestTable table;
    Mark(table.Add(kSquare, {{0, 1, 2}}), {{0, 0}});
    Mark(table.Add(kSquare, {{0, 2, 3}, {0, 1, 2}, {1, 2, 3}}), {{1, 0}, {0, 0}, {1, 0}});
    Mark(table.Add(kSquare, {{0, 1, 3}}), {{2, 0}});
    DrawingLayers layers = TwoLayers();
    layers.layers.push_back({.name = "line\nbreak"});
    layers.objects = {{.layer = 0, .aci = 3}};  // the others without a label
    TempDir dir;
    std::string msg;
    for (const int mesh2 : {0, 1}) {
        PovOption option = Plain();
        option.mesh2 = mesh2;
        ASSERT_EQ(WritePov(dir / "s.pov", table.size(), table.data(), option, Extents{}, msg, false,
                           {.layers = &layers, .names = true}),
                  1)
            << msg;
        const std::string inc = ReadBytes(dir / "s.inc");
        const std::string kind = mesh2 != 0 ? " = mesh2 {\r\n" : " = mesh {\r\n";
        // Names stay as they are, Japanese, blanks and '#' too; a line
        // break would end the comment and becomes '?'.
        EXPECT_NE(inc.find("\r\n// layer: 外壁 north, color 3\r\n#declare dxfobj0" + kind),
                  std::string::npos)
            << inc;
        EXPECT_NE(inc.find("\r\n// layers: 窓#1, 外壁 north\r\n#declare dxfobj1" + kind),
                  std::string::npos)
            << inc;
        EXPECT_NE(inc.find("\r\n// layer: line?break\r\n#declare dxfobj2" + kind),
                  std::string::npos)
            << inc;
    }
    // Without names the include file is the plain one.
    ASSERT_EQ(WritePov(dir / "a.pov", table.size(), table.data(), Plain(), Extents{}, msg), 1);
    ASSERT_EQ(WritePov(dir / "b.pov", table.size(), table.data(), Plain(), Extents{}, msg, false,
                       {.layers = &layers}),
              1);
    EXPECT_EQ(ReadBytes(dir / "a.inc"), ReadBytes(dir / "b.inc"));
    EXPECT_EQ(Count(ReadBytes(dir / "a.inc"), "//"), 0u);
}

TEST(PovMaterials, MatchingObjectsAndTrianglesTakeTheFilesTextures) {
    TestTable table;
    Mark(table.Add(kSquare, {{0, 1, 2}, {0, 2, 3}}), {{1, 0}, {1, 0}});
    Mark(table.Add(kSquare, {{0, 1, 2}, {0, 2, 3}}), {{0, 0}, {1, 0}});
    const DrawingLayers layers = TwoLayers();
    std::vector<std::string> messages;
    const Materials materials = ParseMaterials(
        "窓* = texture { pigment { rgbf <1,1,1,0.9> } } ; Kd 1 1 1\n", "m.txt", messages);
    const MaterialChoice choice(materials, &layers, &NoPalette);
    TempDir dir;
    std::string msg;
    PovOption option = Plain();
    option.state = "pigment {color rgb <1,0.5,0>} finish {phong 1}";
    ASSERT_EQ(WritePov(dir / "s.pov", table.size(), table.data(), option, Extents{}, msg, false,
                       {.layers = &layers, .materials = &choice}),
              1)
        << msg;
    const std::string inc = ReadBytes(dir / "s.inc");
    // All of object 0 is glass; object 1 keeps the options' texture on one
    // triangle and takes the glass on the other.
    EXPECT_EQ(inc.rfind("#declare poltexture0 = texture { pigment { rgbf <1,1,1,0.9> } }\r\n"
                        "#declare poltexture1_0 = texture { pigment {color rgb <1,0.5,0>} "
                        "finish {phong 1} }\r\n"
                        "#declare poltexture1_1 = texture { pigment { rgbf <1,1,1,0.9> } }\r\n",
                        0),
              0u)
        << inc;
    EXPECT_NE(inc.find("\r\n\ttexture { poltexture0 }\r\n}"), std::string::npos);
    EXPECT_NE(inc.find("\ttriangle {\r\n\t<0,0,0>, <1,1,0>, <0,1,0>\r\n"
                       "\ttexture { poltexture1_1 }\r\n\t}\r\n"),
              std::string::npos)
        << inc;

    // No line matches: the include file of a save without materials.
    const Materials none = ParseMaterials("nothing* = texture { } ; Kd 0 0 0\n", "m", messages);
    const MaterialChoice noMatch(none, &layers, &NoPalette);
    ASSERT_EQ(WritePov(dir / "a.pov", table.size(), table.data(), option, Extents{}, msg), 1);
    ASSERT_EQ(WritePov(dir / "b.pov", table.size(), table.data(), option, Extents{}, msg, false,
                       {.layers = &layers, .materials = &noMatch}),
              1);
    EXPECT_EQ(ReadBytes(dir / "a.inc"), ReadBytes(dir / "b.inc"));
}

}  // namespace
}  // namespace vertoko
