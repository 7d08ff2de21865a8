// The Z-up option at the writers' boundary: every point and normal of the
// POV-Ray include (mesh and mesh2, normals per vertex and per corner) comes
// out as (x, z, y) and of OBJ files as (x, z, -y), each the same file as
// without the option otherwise; the scene's camera and lights follow the
// stood-up model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/obj_writer.h"
#include "export/polygon_writer.h"
#include "export/pov_writer.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::TestTable;

using Triple = std::array<double, 3>;

// A closed, bent surface with sharp and smooth edges: a box with one corner
// pulled out, so that normals differ per vertex and, with a smoothing angle,
// per corner.
void AddBentBox(TestTable& table) {
    table.Add({{0, 0, 0},
               {2, 0, 0},
               {0, 3, 0},
               {2, 3, 0},
               {0, 0, 1},
               {2, 0, 1},
               {0, 3, 1},
               {2.5f, 3.5f, 1.5f}},
              {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}});
}

// A flat grid large enough for its vertex texts to be made on two threads.
void AddLargeGrid(TestTable& table) {
    constexpr int kSide = 190;
    std::vector<Point3f> points;
    std::vector<std::vector<std::int32_t>> quads;
    for (int i = 0; i < kSide; ++i) {
        for (int j = 0; j < kSide; ++j) {
            points.push_back({static_cast<float>(i) * 0.25f, static_cast<float>(j) / 3.0f,
                              static_cast<float>((i * j) % 7) * 0.1f});
            if (i > 0 && j > 0) {
                const std::int32_t a = (i - 1) * kSide + (j - 1);
                quads.push_back({a, a + kSide, a + kSide + 1, a + 1});
            }
        }
    }
    table.Add(points, quads);
}

// Every "<a,b,c>" of text (mesh2 index triples too), and the text around
// them.
struct Vectors {
    std::vector<Triple> values;
    std::string rest;
};

Vectors SplitVectors(const std::string& text) {
    Vectors out;
    std::size_t last = 0;
    for (std::size_t open = text.find('<'); open != std::string::npos;
         open = text.find('<', open + 1)) {
        const char* p = text.c_str() + open + 1;
        char* end = nullptr;
        Triple t{};
        bool vector = true;
        for (int c = 0; c < 3 && vector; ++c) {
            t[static_cast<std::size_t>(c)] = std::strtod(p, &end);
            vector = end != p && *end == (c < 2 ? ',' : '>');
            p = end + 1;
        }
        if (!vector) continue;
        out.rest += text.substr(last, open - last) + "<>";
        out.values.push_back(t);
        last = static_cast<std::size_t>(p - text.c_str());
        open = last - 1;
    }
    out.rest += text.substr(last);
    return out;
}

// The include of a table written with option, with or without Z up.
std::string Include(void (*add)(TestTable&), const PovOption& option, bool zUp) {
    TempDir dir;
    TestTable table;
    add(table);
    std::string msg;
    EXPECT_EQ(WritePolOrPov(dir / "m.pov", 0, table.size(), table.data(), "s", option,
                            Extents{{1, 1, 1}, {0, 0, 0}, {2, 2, 2}}, msg, zUp),
              1)
        << msg;
    return ReadBytes(dir / "m.inc");
}

TEST(ZUpOutput, PovIncludeSwapsYAndZOfEveryPointAndNormal) {
    PovOption flat;
    flat.smooth = 0;
    PovOption smooth;  // one normal per vertex
    PovOption creased;
    creased.crease = 30.0f;  // normals per corner
    PovOption mesh2 = smooth;
    mesh2.mesh2 = 1;
    PovOption mesh2Creased = creased;
    mesh2Creased.mesh2 = 1;
    for (auto add : {&AddBentBox, &AddLargeGrid}) {
        for (const PovOption& option : {flat, smooth, creased, mesh2, mesh2Creased}) {
            const std::string drawn = Include(add, option, false);
            const std::string upright = Include(add, option, true);
            const Vectors a = SplitVectors(drawn);
            const Vectors b = SplitVectors(upright);
            ASSERT_EQ(a.rest, b.rest) << "only the vectors change";
            ASSERT_EQ(a.values.size(), b.values.size());
            ASSERT_GT(a.values.size(), 20u);
            // Only points and normals swap: mesh2's index lists stay as written.
            std::size_t swapped = a.values.size();
            if (option.mesh2 != 0) {
                const std::size_t faces = drawn.find("face_indices");
                ASSERT_NE(faces, std::string::npos);
                EXPECT_EQ(upright.substr(upright.find("face_indices")), drawn.substr(faces));
                swapped = SplitVectors(drawn.substr(0, faces)).values.size();
            }
            std::size_t wrong = 0;
            for (std::size_t i = 0; i < swapped; ++i) {
                const Triple& p = a.values[i];
                const Triple& q = b.values[i];
                wrong += q[0] != p[0] || q[1] != p[2] || q[2] != p[1];
            }
            EXPECT_EQ(wrong, 0u) << "of " << swapped;
        }
    }
    // By hand: the corner (1, 2, 3) and the normal (0, 0, 1) of a flat
    // triangle standing over the point.
    TempDir dir;
    TestTable table;
    table.Add({{1, 2, 3}, {2, 2, 3}, {1, 3, 3}}, {{0, 1, 2}});
    std::string msg;
    ASSERT_EQ(WritePolOrPov(dir / "t.pov", 0, 1, table.data(), "s", PovOption{},
                            Extents{{1.5f, 2.5f, 3}, {1, 2, 3}, {2, 3, 3}}, msg, true),
              1);
    EXPECT_NE(
        ReadBytes(dir / "t.inc").find("\t<1,3,2>,<0,1,0>, <2,3,2>,<0,1,0>, <1,3,3>,<0,1,0>\r\n"),
        std::string::npos)
        << ReadBytes(dir / "t.inc");
}

// The "v" and "vn" lines of an OBJ file as numbers, and the text of the rest.
struct ObjLines {
    std::vector<Triple> points, normals;
    std::vector<std::string> texts;  // third numbers as written
    std::string rest;
};

ObjLines ReadObj(const std::string& text) {
    ObjLines out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        const std::string line = text.substr(at, end - at);
        at = end + 2;
        const bool normal = line.rfind("vn ", 0) == 0;
        if (!normal && line.rfind("v ", 0) != 0) {
            out.rest += line + "\n";
            continue;
        }
        const char* p = line.c_str() + (normal ? 3 : 2);
        char* next = nullptr;
        Triple t{};
        for (double& c : t) {
            c = std::strtod(p, &next);
            p = next;
        }
        (normal ? out.normals : out.points).push_back(t);
        out.texts.push_back(line.substr(line.rfind(' ') + 1));
    }
    return out;
}

TEST(ZUpOutput, ObjTurnsEveryPointAndNormalToYUp) {
    for (auto add : {&AddBentBox, &AddLargeGrid}) {
        for (const float crease : {-1.0f, 180.0f, 30.0f}) {  // -1: without normals
            std::string files[2];
            for (const bool zUp : {false, true}) {
                TempDir dir;
                TestTable table;
                add(table);
                std::string msg;
                const std::int32_t done =
                    crease < 0
                        ? WriteObj(dir / "m.obj", 1, table.data(), msg, zUp)
                        : WriteObjWithNormals(dir / "m.obj", 1, table.data(), crease, msg, zUp);
                ASSERT_EQ(done, 1) << msg;
                files[zUp ? 1 : 0] = ReadBytes(dir / "m.obj");
            }
            const ObjLines a = ReadObj(files[0]);
            const ObjLines b = ReadObj(files[1]);
            EXPECT_EQ(a.rest, b.rest);
            ASSERT_EQ(a.points.size(), b.points.size());
            ASSERT_EQ(a.normals.size(), b.normals.size());
            EXPECT_EQ(a.normals.empty(), crease < 0);
            const std::pair<const std::vector<Triple>*, const std::vector<Triple>*> lists[] = {
                {&a.points, &b.points}, {&a.normals, &b.normals}};
            std::size_t wrong = 0;
            for (const auto& [drawn, upright] : lists) {
                for (std::size_t i = 0; i < drawn->size(); ++i) {
                    const Triple& p = (*drawn)[i];
                    const Triple& q = (*upright)[i];
                    wrong += q[0] != p[0] || q[1] != p[2] || q[2] != -p[1];
                }
            }
            EXPECT_EQ(wrong, 0u);
            // A point on the plane y = 0 is written 0, never -0.
            EXPECT_EQ(std::count(b.texts.begin(), b.texts.end(), "-0"), 0);
        }
    }
    TempDir dir;
    TestTable table;
    table.Add({{1, 2, 3}, {4, 0, 6}, {7, -8, 9}}, {{0, 1, 2}});
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "t.obj", 1, table.data(), msg, true), 1);
    EXPECT_EQ(ReadBytes(dir / "t.obj"),
              "v 1 3 -2\r\nv 4 6 0\r\nv 7 9 8\r\n# 3 vertices\r\n\r\nf 1 2 3\r\n# 1 elements\r\n");
}

// The vector after key in text.
Triple VectorAfter(const std::string& text, const std::string& key) {
    Triple v{NAN, NAN, NAN};
    const std::size_t at = text.find(key);
    if (at == std::string::npos) return v;
    const char* p = text.c_str() + text.find('<', at) + 1;
    char* end = nullptr;
    for (double& c : v) {
        c = std::strtod(p, &end);
        p = end + 1;
    }
    return v;
}

double Degrees(double radians) { return radians * 180.0 / M_PI; }

// The camera of a Z-up scene looks from the drawing's front right (its -Y
// and +X side: POV-Ray's -z and +x) and 30 degrees above; the light comes
// from higher up and the camera's left; both stand off the box whatever its
// size.
TEST(ZUpOutput, SceneSeesTheStoodUpModelFromTheFrontRightAndAbove) {
    TestTable table;
    table.Add({{0, 0, 0}, {4, 0, 0}, {0, 2, 6}}, {{0, 1, 2}});
    // The drawing's box: x 0..4, y 0..2, z 0..6; upright its centre is
    // (2, 3, 1) and its half diagonal sqrt(4 + 9 + 1).
    const Extents box{{2, 1, 3}, {0, 0, 0}, {4, 2, 6}};
    const std::string scene = PovSceneText("z.inc", 1, table.data(), box, {.zUp = true});
    const Triple eye = VectorAfter(scene, "\tlocation ");
    const Triple at = VectorAfter(scene, "\tlook_at ");
    EXPECT_NEAR(at[0], 2, 1e-6);
    EXPECT_NEAR(at[1], 3, 1e-6);
    EXPECT_NEAR(at[2], 1, 1e-6);
    const Triple d{eye[0] - at[0], eye[1] - at[1], eye[2] - at[2]};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    // The distance at which the sphere around the box fills a 4:3 view's
    // height: its radius times sqrt(5).
    EXPECT_NEAR(length, std::sqrt(14.0) * std::sqrt(5.0), 1e-4);
    EXPECT_NEAR(Degrees(std::asin(d[1] / length)), 30, 1e-3);  // above the floor
    EXPECT_NEAR(Degrees(std::atan2(d[0], -d[2])), 45, 1e-3);   // right of the front
    EXPECT_NE(scene.find("\tright x*image_width/image_height\r\n"), std::string::npos);

    const Triple light = VectorAfter(scene, "light_source {");
    const Triple l{light[0] - at[0], light[1] - at[1], light[2] - at[2]};
    const double far = std::sqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
    EXPECT_NEAR(far, 2 * length, 1e-3);
    EXPECT_GT(Degrees(std::asin(l[1] / far)), 40);  // higher than the camera
    // Left of the camera: between the front and the camera's heading.
    const double heading = Degrees(std::atan2(l[0], -l[2]));
    EXPECT_GT(heading, 0);
    EXPECT_LT(heading, 45);
}

// The studio is sized from the model: the same drawing in millimetres and
// in metres gives the same scene, every length scaled.
TEST(ZUpOutput, StudioScalesWithTheModelAndStandsItOnTheFloor) {
    for (const bool zUp : {false, true}) {
        std::string scenes[2];
        for (int k = 0; k < 2; ++k) {
            const float unit = k == 0 ? 1.0f : 1000.0f;
            TestTable table;
            table.Add({{1 * unit, 2 * unit, 3 * unit},
                       {5 * unit, 2 * unit, 3 * unit},
                       {1 * unit, 4 * unit, 9 * unit}},
                      {{0, 1, 2}});
            const Extents box{{3 * unit, 3 * unit, 6 * unit},
                              {1 * unit, 2 * unit, 3 * unit},
                              {5 * unit, 4 * unit, 9 * unit}};
            scenes[k] = PovSceneText("s.inc", 1, table.data(), box,
                                     {.fit = true, .zUp = zUp, .studio = true});
        }
        const std::string& small = scenes[0];
        const std::string& large = scenes[1];
        // The settings a user edits come first.
        EXPECT_EQ(small.rfind("global_settings { assumed_gamma 1.0", 0), 0u);
        for (const char* name : {"#declare Floor_Texture = texture {",
                                 "#declare Key_Light_Color = ", "#declare Fill_Light_Color = "}) {
            EXPECT_LT(small.find(name), small.find("#include")) << name;
        }
        EXPECT_NE(small.find("area_light"), std::string::npos);
        EXPECT_NE(small.find("sky_sphere"), std::string::npos);
        // The floor lies just under the lowest point in POV-Ray's y: the
        // drawing's lowest z with Z up, its lowest y otherwise.
        const double floor = std::strtod(small.c_str() + small.find("plane { y, ") + 11, nullptr);
        const double lowest = zUp ? 3 : 2;
        EXPECT_LT(floor, lowest);
        EXPECT_GT(floor, lowest - 0.01);
        // Every number of the floor and the lights scales with the model.
        for (const char* key : {"plane { y, ", "light_source {", "area_light <"}) {
            const Vectors a = SplitVectors(small.substr(small.find(key), 80));
            const Vectors b = SplitVectors(large.substr(large.find(key), 80));
            ASSERT_EQ(a.values.size(), b.values.size()) << key;
            for (std::size_t i = 0; i < a.values.size(); ++i) {
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(b.values[i][c], 1000 * a.values[i][c],
                                1e-3 * std::abs(b.values[i][c]) + 1e-9)
                        << key;
            }
        }
        EXPECT_NEAR(std::strtod(large.c_str() + large.find("plane { y, ") + 11, nullptr),
                    1000 * floor, 1e-3);
    }
}

}  // namespace
}  // namespace vertoko
