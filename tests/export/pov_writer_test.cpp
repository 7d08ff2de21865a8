#include "export/pov_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "support/mesh_builder.h"
#include "export/polygon_writer.h"
#include "mesh/triangulate.h"

namespace vertoko {
namespace {

using test::Coordinates;
using test::PolygonCorners;
using test::ReadBytes;
using test::TempDir;
using test::TestTable;

using Polygons = std::vector<std::vector<std::int32_t>>;

const std::vector<Point3f> kSquare{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

// The box from min to max with its centre.
Extents BoxOf(Point3f min, Point3f max) {
    return {{(min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f, (min.z + max.z) * 0.5f}, min, max};
}

PovOption Plain(std::string state = "pigment {color rgb <1,1,1>}") {
    PovOption option;
    option.smooth = 0;
    option.state = std::move(state);
    return option;
}

std::int32_t WriteScene(const std::string& name, TestTable& table, const PovOption& option,
                        std::string& msg, const Extents& box = BoxOf({0, 0, 0}, {1, 1, 0})) {
    return WritePolOrPov(name, 0, table.size(), table.data(), "s", option, box, msg);
}

TEST(PovWriter, UnitSquareSceneAndIncludeExactly) {
    TempDir dir;
    TestTable table;
    table.Add(kSquare, {{0, 1, 2, 3}});
    const Extents box = BoxOf({0, 0, 0}, {1, 1, 0});
    std::string msg;
    ASSERT_EQ(WriteScene(dir / "sq.pov", table, Plain(), msg, box), 1);
    EXPECT_EQ(ReadBytes(dir / "sq.pov"),
              "#include \"sq.inc\"\r\n\r\n"
              "camera {\r\n"
              "\tlocation <1.0000,1.5000,1.8000>\r\n"
              "\tlook_at <0.5000,0.5000,0.0000>\r\n"
              "}\r\n"
              "\r\n"
              "light_source { <3,3,0> color rgb <1,1,1> }\r\n"
              "\r\n"
              "object { dxfobj0 }\r\n");
    EXPECT_EQ(ReadBytes(dir / "sq.inc"),
              "#declare poltexture0 = pigment {color rgb <1,1,1>}\r\n"
              "\r\n#declare dxfobj0 = mesh {\r\n"
              "\ttriangle {\r\n\t<0,0,0>, <1,0,0>, <0,1,0>\r\n\t}\r\n"
              "\ttriangle {\r\n\t<1,0,0>, <1,1,0>, <0,1,0>\r\n\t}\r\n"
              "\r\n\ttexture { poltexture0 }\r\n}\r\n");
}

TEST(PovWriter, TriangulationStaysInTheModel) {
    TempDir dir;
    TestTable table;
    table.Add(kSquare, {{0, 1, 2, 3}});
    const Extents box = BoxOf({0, 0, 0}, {1, 1, 0});
    std::string msg;
    ASSERT_EQ(WriteScene(dir / "sq.pov", table, Plain(), msg, box), 1);
    EXPECT_EQ(PolygonCorners(table[0]), (Polygons{{0, 1, 3}, {1, 2, 3}}));
    EXPECT_EQ(table[0].polygonCount, 1);
    // A later EASTRAY save writes the triangles.
    ASSERT_EQ(WritePolOrPov(dir / "sq.pol", 1, table.size(), table.data(), "s", Plain(), Extents{}, msg), 1);
    const std::string pol = ReadBytes(dir / "sq.pol");
    EXPECT_NE(pol.find("P 0 1 3 ;s\r\nP 1 2 3 ;s\r\n"), std::string::npos);
}

TEST(Triangulation, ConcaveQuadIsCutAtItsReflexCorner) {
    // (1,1) is the reflex corner; the leftmost corner (0,4) has the far
    // corner (4,0) outside its reach, so the cut runs from (1,1) to (0,0).
    TestTable table;
    table.Add({{0, 0, 0}, {4, 0, 0}, {1, 1, 0}, {0, 4, 0}}, {{0, 1, 2, 3}});
    std::string msg;
    ASSERT_EQ(TriangulateAndSmooth(table.size(), table.data(), nullptr, msg), 1);
    EXPECT_EQ(PolygonCorners(table[0]), (Polygons{{0, 2, 3}, {0, 1, 2}}));
}

TEST(Triangulation, PentagonBecomesThreeTrianglesCoveringIt) {
    TestTable table;
    table.Add({{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 2, 0}, {-1, 1, 0}}, {{0, 1, 2, 3, 4}});
    std::string msg;
    ASSERT_EQ(TriangulateAndSmooth(table.size(), table.data(), nullptr, msg), 1);
    const Polygons pieces = PolygonCorners(table[0]);
    ASSERT_EQ(pieces.size(), 3u);
    // Convex: the triangle areas add up to the pentagon's (shoelace: 5).
    double area = 0;
    const std::vector<Point3f> points = Coordinates(table[0]);
    for (const auto& t : pieces) {
        ASSERT_EQ(t.size(), 3u);
        const Point3f a = points[t[0]], b = points[t[1]], c = points[t[2]];
        area += std::abs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
    }
    EXPECT_DOUBLE_EQ(area, 5.0);
}

TEST(Triangulation, FaceNormalAndProjection) {
    TestTable table;
    table.Add(kSquare, {{0, 1, 2, 3}});
    const Point3f n = FaceNormal(table[0], *table[0].polygons);
    EXPECT_FLOAT_EQ(n.x, 0);
    EXPECT_FLOAT_EQ(n.y, 0);
    EXPECT_FLOAT_EQ(n.z, 1);
    std::vector<float> projected;
    ASSERT_TRUE(ProjectPolygon(table[0], *table[0].polygons, n, projected));
    EXPECT_EQ(projected, (std::vector<float>{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));

    // A square standing in the plane x = 0 is turned so that its normal
    // (1, 0, 0) points along +z: x' = -z and y' = y.
    TestTable upright;
    upright.Add({{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}}, {{0, 1, 2, 3}});
    const Point3f m = FaceNormal(upright[0], *upright[0].polygons);
    EXPECT_FLOAT_EQ(m.x, 1);
    ASSERT_TRUE(ProjectPolygon(upright[0], *upright[0].polygons, m, projected));
    EXPECT_FLOAT_EQ(projected[3 * 2 + 0], -1);  // corner (0,1,1)
    EXPECT_FLOAT_EQ(projected[3 * 2 + 1], 1);
    EXPECT_FLOAT_EQ(projected[3 * 2 + 2], 0);
}

TEST(PovWriter, SmoothNormalsOfCoplanarTriangles) {
    TempDir dir;
    TestTable table;
    // Two triangles wound the same way, a degenerate one, and vertex 4 unused.
    table.Add({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {9, 9, 9}, {5, 5, 5}},
              {{0, 1, 2}, {0, 2, 3}, {5, 5, 5}});
    const Extents box = BoxOf({0, 0, 0}, {9, 9, 9});
    PovOption option;
    option.smooth = 1;
    option.state = "";
    std::string msg;
    ASSERT_EQ(WriteScene(dir / "s.pov", table, option, msg, box), 1);
    EXPECT_EQ(
        ReadBytes(dir / "s.inc"),
        "#declare poltexture0 = pigment {color rgb <1,1,1>}\r\n"
        "\r\n#declare dxfobj0 = mesh {\r\n"
        "\tsmooth_triangle {\r\n\t<0,0,0>,<0,0,1>, <2,0,0>,<0,0,1>, <2,2,0>,<0,0,1>\r\n\t}\r\n"
        "\tsmooth_triangle {\r\n\t<0,0,0>,<0,0,1>, <2,2,0>,<0,0,1>, <0,2,0>,<0,0,1>\r\n\t}\r\n"
        "\tsmooth_triangle {\r\n\t<5,5,5>,<0,0,0>, <5,5,5>,<0,0,0>, <5,5,5>,<0,0,0>\r\n\t}\r\n"
        "\r\n\ttexture { poltexture0 }\r\n}\r\n");
}

// A mesh large enough for its vertex texts to be made in two halves on two
// threads: every corner, on either side of the split, must read as the C
// library prints it. The grid lies flat, so every normal is <0,0,1>.
TEST(PovWriter, LargeMeshReadsTheSameOnBothHalves) {
    constexpr int kSide = 200;  // 40,000 vertices
    std::vector<Point3f> points;
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j)
            points.push_back({static_cast<float>(i) * 0.37f, static_cast<float>(j) / 3.0f, 0.0f});
    }
    Polygons triangles;
    for (int i = 0; i + 1 < kSide; ++i) {
        for (int j = 0; j + 1 < kSide; ++j) {
            const std::int32_t a = i * kSide + j;
            triangles.push_back({a, a + kSide, a + kSide + 1});
            triangles.push_back({a, a + kSide + 1, a + 1});
        }
    }
    for (const int smooth : {0, 1}) {
        TempDir dir;
        TestTable table;
        table.Add(points, triangles);
        const Extents box = BoxOf({0, 0, 0}, {80, 80, 0});
        PovOption option = Plain();
        option.smooth = smooth;
        std::string msg;
        ASSERT_EQ(WriteScene(dir / "big.pov", table, option, msg, box), 1);

        std::string expected =
            "#declare poltexture0 = pigment {color rgb <1,1,1>}\r\n\r\n#declare dxfobj0 = mesh "
            "{\r\n";
        char corner[128];
        for (const auto& t : triangles) {
            expected += smooth ? "\tsmooth_triangle {\r\n\t" : "\ttriangle {\r\n\t";
            for (int k = 0; k < 3; ++k) {
                const Point3f& p = points[static_cast<std::size_t>(t[k])];
                std::snprintf(corner, sizeof corner, "%s<%g,%g,%g>%s", k > 0 ? ", " : "",
                              static_cast<double>(p.x), static_cast<double>(p.y),
                              static_cast<double>(p.z), smooth ? ",<0,0,1>" : "");
                expected += corner;
            }
            expected += "\r\n\t}\r\n";
        }
        expected += "\r\n\ttexture { poltexture0 }\r\n}\r\n";
        ASSERT_EQ(ReadBytes(dir / "big.inc"), expected) << "smooth " << smooth;
    }
}

TEST(PovWriter, PolygonsWithoutThreeCornersAreLeftOut) {
    TempDir dir;
    TestTable table;
    table.Add({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0}, {0, 1}, {0, 1, 2}, {0, 1, 9}});
    const Extents box = BoxOf({0, 0, 0}, {1, 1, 0});
    PovOption option;
    std::string msg;
    ASSERT_EQ(WriteScene(dir / "few.pov", table, option, msg, box), 1);
    const std::string inc = ReadBytes(dir / "few.inc");
    EXPECT_EQ(
        inc,
        "#declare poltexture0 = pigment {color rgb <1,1,1>}\r\n"
        "\r\n#declare dxfobj0 = mesh {\r\n"
        "\tsmooth_triangle {\r\n\t<0,0,0>,<0,0,1>, <1,0,0>,<0,0,1>, <0,1,0>,<0,0,1>\r\n\t}\r\n"
        "\r\n\ttexture { poltexture0 }\r\n}\r\n");
}

TEST(PovWriter, SeveralObjectsOneSceneAndTextures) {
    TempDir dir;
    TestTable table;
    for (int i = 0; i < 3; ++i) table.Add({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    const Extents box = BoxOf({0, 0, 0}, {1, 1, 0});
    std::string msg;
    ASSERT_EQ(WriteScene(dir / "my.scene.pov", table, Plain("pigment {color rgb <1,0,0>}"), msg, box),
              1);
    const std::string scene = ReadBytes(dir / "my.scene.pov");
    EXPECT_EQ(scene.substr(0, 24), "#include \"my.scene.inc\"\r");
    EXPECT_NE(
        scene.find("\r\n\r\nobject { dxfobj0 }\r\nobject { dxfobj1 }\r\nobject { dxfobj2 }\r\n"),
        std::string::npos);
    const std::string inc = ReadBytes(dir / "my.scene.inc");
    EXPECT_EQ(inc.substr(0, inc.find("\r\n\r\n")),
              "#declare poltexture0 = pigment {color rgb <1,0,0>}\r\n"
              "#declare poltexture1 = pigment {color rgb <1,0,0>}\r\n"
              "#declare poltexture2 = pigment {color rgb <1,0,0>}");
    EXPECT_NE(inc.find("#declare dxfobj2 = mesh {"), std::string::npos);
    EXPECT_NE(inc.find("texture { poltexture2 }"), std::string::npos);
}

TEST(PovScene, CameraFromLargerExtentAndLightTruncatedTowardZero) {
    // x extent 2, y extent 4: s = 4. The light offset -1.58 × 5 = -7.9 gives -7.
    const Extents box = {{0, 0, 0}, {-3.58f, -2, -1}, {-1.58f, 2, 1}};
    TestTable table;
    table.Add({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    EXPECT_EQ(PovSceneText("a.inc", table.size(), table.data(), box),
              "#include \"a.inc\"\r\n\r\n"
              "camera {\r\n"
              "\tlocation <-1.5800,4.0000,8.2000>\r\n"
              "\tlook_at <0.0000,0.0000,0.0000>\r\n"
              "}\r\n"
              "\r\n"
              "light_source { <-7,10,5> color rgb <1,1,1> }\r\n"
              "\r\n"
              "object { dxfobj0 }\r\n");
}

// POV-Ray stops with a parse error at a mesh without triangles, so an object
// that has none (only vertices, or only one- and two-corner polygons) is left
// out of the include and the scene; the other objects keep their numbers.
TEST(PovWriter, ObjectWithoutTrianglesIsLeftOut) {
    TempDir dir;
    TestTable table;
    table.Add({{0, 0, 0}, {1, 0, 0}}, {{0, 1}});
    table.Add({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
    const Extents box = BoxOf({0, 0, 0}, {1, 1, 0});
    std::string msg;
    ASSERT_EQ(WriteScene(dir / "part.pov", table, Plain(), msg, box), 1);
    const std::string scene = ReadBytes(dir / "part.pov");
    EXPECT_EQ(scene.substr(scene.size() - 24), "\r\n\r\nobject { dxfobj1 }\r\n");
    EXPECT_EQ(ReadBytes(dir / "part.inc"),
              "#declare poltexture0 = pigment {color rgb <1,1,1>}\r\n"
              "#declare poltexture1 = pigment {color rgb <1,1,1>}\r\n"
              "\r\n#declare dxfobj1 = mesh {\r\n"
              "\ttriangle {\r\n\t<0,0,0>, <1,0,0>, <0,1,0>\r\n\t}\r\n"
              "\r\n\ttexture { poltexture1 }\r\n}\r\n");
}

TEST(PovWriter, OpenFailuresNameTheFile) {
    TempDir dir;
    TestTable table;
    table.Add(kSquare, {{0, 1, 2, 3}});
    std::string msg;
    EXPECT_EQ(WriteScene(dir / "missing/x.pov", table, Plain(), msg), 0);
    EXPECT_EQ(msg, "povファイルのオープンに失敗しました.\nフォルダーが見つかりません");

    // The scene written before the include failed is not kept: a scene
    // without its include would not render.
    std::filesystem::create_directory(dir / "x.inc");
    EXPECT_EQ(WriteScene(dir / "x.pov", table, Plain(), msg), 0);
    EXPECT_EQ(msg, "incファイルのオープンに失敗しました.\n同じ名前のフォルダーがあります");
    EXPECT_FALSE(std::filesystem::exists(dir / "x.pov"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(PovWriter, SceneWriteErrorIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TestTable table;
    table.Add(kSquare, {{0, 1, 2, 3}});
    std::string msg;
    EXPECT_EQ(WriteScene("/dev/full", table, Plain(), msg), 0);
    EXPECT_EQ(msg, "povファイルの書き込みに失敗しました.\nディスクの空き容量が足りません");
}

}  // namespace
}  // namespace vertoko
