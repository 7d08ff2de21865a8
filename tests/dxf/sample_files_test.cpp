// Whole-file reads of the public samples. Expected counts come from the
// sample descriptions and from counting the files' entities independently.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "dxf/dxf_test_support.h"

namespace vertoko {
namespace {

using test::ReadSample;

struct Counts {
    int vertices;
    int polygons;
    bool operator<(const Counts& o) const {
        return vertices != o.vertices ? vertices < o.vertices : polygons < o.polygons;
    }
    bool operator==(const Counts& o) const {
        return vertices == o.vertices && polygons == o.polygons;
    }
};

std::vector<Counts> Objects(const test::ReadResult& result) {
    std::vector<Counts> counts;
    for (int i = 0; i < result.count; ++i)
        counts.push_back({result.table[i].vertexCount, result.table[i].polygonCount});
    return counts;
}

// Every corner index lies inside its object.
void ExpectIndicesInside(const test::ReadResult& result) {
    for (int o = 0; o < result.count; ++o) {
        const MeshObject& object = result.table[o];
        for (int i = 0; i < object.polygonCount; ++i) {
            const MeshPolygon& p = *object.ptbl[i];
            for (int k = 0; k < p.cornerCount; ++k) {
                ASSERT_GE(p.p[k], 0);
                ASSERT_LT(p.p[k], object.vertexCount);
            }
        }
    }
}

TEST(SampleFiles, SingleObjectCounts) {
    struct Case {
        const char* file;
        Counts counts;
    };
    // 3DFACE: 4 vertices per face, 3 for faces whose fourth corner repeats
    // the third. Polyface and polygon meshes: their vertex and face counts.
    const Case cases[] = {
        {"assimp/PinkEggFromLW.dxf",
         {288 * 4, 288}},                     // corners 13..10; none repeats corner 2 as corner 3
        {"assimp/lineTest.dxf", {3 + 4, 2}},  // one triangle, one quad
        {"assimp/wuson.dxf", {3205, 3732}},   // one polyface in a block
        {"assimp/issue_2229.dxf", {8 + 8 + 680 + 72, 6 + 6 + 1174 + 104}},
        {"ezdxf/3dface.dxf", {46 * 4 - 8, 46}},  // 8 faces repeat corner 2
        // One polyface without faces, one of 3 quads, a MESH of 56 vertices
        // whose face list holds 54 quads.
        {"ezdxf/uncommon.dxf", {8 + 8 + 56, 3 + 54}},
        {"libdxf/blender-monkey_head_example_R12.dxf", {507, 500}},
        {"libdxf/zcad-teapot_R2000.dxf", {1152 * 4, 1152}},
        {"libredwg/2000_TS1.dxf", {12 + 4, 6 + 1}},          // open 3 x 4 mesh and one quad
        {"libredwg/2013_gh109_1.dxf", {132 * 4 - 16, 132}},  // all in blocks, after empty values
        {"libredwg/2000_PolyLine3D.dxf", {6, 0}},            // open 3D polyline
        // Two faces of four stored corners (neither repeats corner 2 as
        // corner 3), a closed 4-vertex polyline, a 6-vertex polyface whose
        // only record with three numbers is a face.
        {"libredwg/example_2000.dxf", {4 + 4 + 4 + 6, 2 + 1 + 1}},
        {"libredwg/example_2018.dxf", {4 + 4 + 4 + 6, 2 + 1 + 1}},
    };
    for (const Case& c : cases) {
        auto result = ReadSample(c.file);
        ASSERT_EQ(result.count, 1) << c.file << ": " << result.message;
        EXPECT_EQ(Objects(result)[0].vertices, c.counts.vertices) << c.file;
        EXPECT_EQ(Objects(result)[0].polygons, c.counts.polygons) << c.file;
        EXPECT_EQ(result.message.rfind("file read end.(", 0), 0u) << c.file;
        ExpectIndicesInside(result);
    }
}

TEST(SampleFiles, MultiObjectCounts) {
    // Two colours on layer 0: 7 (three meshes) and 250 (one).
    auto mesh = ReadSample("assimp/issue_2229.dxf", 1);
    ASSERT_EQ(mesh.count, 2) << mesh.message;
    EXPECT_EQ(Objects(mesh), (std::vector<Counts>{{8 + 8 + 680, 6 + 6 + 1174}, {72, 104}}));

    // Layers ASHADE (960 quads) and 0 (192 faces), in some order.
    auto teapot = ReadSample("libdxf/zcad-teapot_R2000.dxf", 1);
    ASSERT_EQ(teapot.count, 2) << teapot.message;
    std::vector<Counts> sorted = Objects(teapot);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<Counts>{{192 * 4, 192}, {960 * 4, 960}}));

    // Three layers, no colour groups: 110, 21 and 1 faces.
    auto blocks = ReadSample("libredwg/2013_gh109_1.dxf", 1);
    ASSERT_EQ(blocks.count, 3) << blocks.message;
    std::multiset<int> polygons;
    for (const Counts& c : Objects(blocks)) polygons.insert(c.polygons);
    EXPECT_EQ(polygons, (std::multiset<int>{110, 21, 1}));
}

TEST(SampleFiles, BinaryFiles) {
    // Three LINEs and nothing else: one empty object after 499 pairs.
    auto lines = ReadSample("ezdxf/bin_dxf_r12.dxf");
    ASSERT_EQ(lines.count, 1) << lines.message;
    EXPECT_EQ(Objects(lines)[0], (Counts{0, 0}));
    EXPECT_EQ(lines.message, "file read end.(499 pairs, 1 objects)");

    // Written by tests/dxf/data/make_binary_drawings.py, which counts the
    // entities with ezdxf. R12: a quad 3DFACE and a polyface of five
    // vertices, a triangle and a quad.
    auto r12 = test::ReadDataFile("faces_r12_bin.dxf");
    ASSERT_EQ(r12.count, 1) << r12.message;
    EXPECT_EQ(Objects(r12)[0], (Counts{4 + 5, 1 + 2}));
    EXPECT_EQ(r12.message, "file read end.(592 pairs, 1 objects)");
    // R2018: MESH cube (8 vertices, 6 quads, a triangle and an edge),
    // 3DFACE triangle and quad, polyface (5 vertices, 2 faces), a 3DFACE
    // triangle in a block; the 2D polyline is skipped.
    ReaderOptions lenient;
    lenient.dxfSkip = 1;
    auto r2018 = test::ReadDataFile("faces_r2018_bin.dxf", lenient);
    ASSERT_EQ(r2018.count, 1) << r2018.message;
    EXPECT_EQ(Objects(r2018)[0], (Counts{8 + 3 + 4 + 5 + 3, 7 + 2 + 2 + 1}));
    EXPECT_EQ(r2018.unconverted,
              "変換しなかった図形：POLYLINE(読み飛ばし) = 1, 3DSOLID = 1, INSERT = 2");
    ExpectIndicesInside(r2018);
    // Layers 0 (the block, which comes first), MESHES/3, FACES and PFACE in
    // multi-object mode.
    lenient.dxfMulti = 1;
    auto layers = test::ReadDataFile("faces_r2018_bin.dxf", lenient);
    ASSERT_EQ(layers.count, 4) << layers.message;
    EXPECT_EQ(Objects(layers), (std::vector<Counts>{{3, 1}, {8, 7}, {7, 2}, {5, 2}}));
    // The strict reading refuses the 2D polyline, naming its pair.
    auto strict = test::ReadDataFile("faces_r2018_bin.dxf");
    EXPECT_EQ(strict.count, 0);
    EXPECT_EQ(strict.message.rfind("POLYLINE:対応していない形式です.(P", 0), 0u) << strict.message;
}

TEST(SampleFiles, LenientReadingReadsEveryFile) {
    struct Case {
        const char* file;
        Counts counts;
        const char* report;  // after "変換しなかった図形：", or nullptr
    };
    // Counted with a separate pair parser that applies the reading rules;
    // every POLYLINE with a 2D vertex or fit flags is skipped whole.
    const Case cases[] = {
        {"ezdxf/POLI-ALL210_12.DXF", {4, 1}, "POLYLINE(読み飛ばし) = 30"},
        {"ezdxf/small_r13.dxf", {0, 0}, "POLYLINE(読み飛ばし) = 16"},
        // Its one polyline is an open 3D polyline of five vertices whose
        // VERTEX records carry no flags.
        {"ezdxf/cc_dxflib.dxf", {5, 0}, nullptr},
        {"libdxf/all_R10_entities.dxf", {4, 1}, "POLYLINE(読み飛ばし) = 1"},
        // Open 3D polylines add 610 vertices; the only INSERT of a block
        // with a polyline inserts a skipped one.
        {"libredwg/example_r12.dxf", {627, 4}, "POLYLINE(読み飛ばし) = 12"},
        {"libredwg/r11_entities-3d.dxf", {4, 1}, "POLYLINE(読み飛ばし) = 1"},
        {"libredwg/r2.6_entities.dxf", {4, 1}, "POLYLINE(読み飛ばし) = 1"},
        {"ezdxf/uncommon.dxf", {72, 57}, "3DSOLID = 2"},
        {"assimp/wuson.dxf", {3205, 3732}, "INSERT = 1"},
        {"libredwg/2000_TS1.dxf", {16, 7}, "3DSOLID = 1, REGION = 1"},
        {"libredwg/example_2000.dxf", {18, 4}, "3DSOLID = 1, REGION = 2"},
        {"libredwg/2013_gh109_1.dxf", {512, 132}, nullptr},
    };
    ReaderOptions lenient;
    lenient.dxfSkip = 1;
    for (const Case& c : cases) {
        auto result = test::ReadSample(c.file, lenient);
        ASSERT_EQ(result.count, 1) << c.file << ": " << result.message;
        EXPECT_EQ(Objects(result)[0], c.counts) << c.file;
        EXPECT_EQ(result.unconverted,
                  c.report != nullptr ? std::string("変換しなかった図形：") + c.report : "")
            << c.file;
        EXPECT_FALSE(result.refusedSkippable) << c.file;
        ExpectIndicesInside(result);
    }
}

TEST(SampleFiles, ThreeDPolylineWithoutVertexFlagsIsReadStrictly) {
    // One open 3D polyline of five vertices (counted with ezdxf): no polygon.
    auto result = ReadSample("ezdxf/cc_dxflib.dxf");
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(Objects(result)[0], (Counts{5, 0}));
    EXPECT_FALSE(result.refusedSkippable);
    EXPECT_EQ(result.unconverted, "");
}

TEST(SampleFiles, RefusedFiles) {
    // 2D polylines fail the whole strict read.
    for (const char* file : {"ezdxf/POLI-ALL210_12.DXF", "ezdxf/small_r13.dxf",
                             "libdxf/all_R10_entities.dxf", "libredwg/example_r12.dxf",
                             "libredwg/r11_entities-3d.dxf", "libredwg/r2.6_entities.dxf"}) {
        auto result = ReadSample(file);
        EXPECT_EQ(result.count, 0) << file;
        EXPECT_EQ(result.table, nullptr) << file;
        EXPECT_EQ(result.message.rfind("POLYLINE:対応していない形式です.(L", 0), 0u)
            << file << ": " << result.message;
        EXPECT_TRUE(result.refusedSkippable) << file;
    }
}

// Shared edges (exactly two uses by two faces) that both faces run the same
// way, over every object of a read.
int SameWayEdges(const test::ReadResult& result) {
    int same = 0;
    for (int o = 0; o < result.count; ++o) {
        const MeshObject& object = result.table[o];
        std::map<std::pair<int, int>, std::vector<std::pair<const MeshPolygon*, bool>>> edges;
        for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next) {
            if (p->cornerCount < 3) continue;
            for (int k = 0; k < p->cornerCount; ++k) {
                const int a = p->p[k], b = p->p[(k + 1) % p->cornerCount];
                if (a != b) edges[{std::min(a, b), std::max(a, b)}].push_back({p, a < b});
            }
        }
        for (const auto& [edge, uses] : edges) {
            if (uses.size() == 2 && uses[0].first != uses[1].first &&
                uses[0].second == uses[1].second)
                ++same;
        }
    }
    return same;
}

// These drawings are wound consistently already; orientation must keep them so.
TEST(SampleFiles, OrientationLeavesNoSharedEdgeRunTheSameWay) {
    for (const char* name :
         {"assimp/wuson.dxf", "assimp/PinkEggFromLW.dxf", "assimp/issue_2229.dxf",
          "libdxf/zcad-teapot_R2000.dxf", "libdxf/blender-monkey_head_example_R12.dxf"}) {
        for (int multi = 0; multi < 2; ++multi) {
            const std::string path = std::string(VERTOKO_SAMPLES_DIR) + "/" + name;
            ReaderOptions options;
            options.dxfMulti = multi;
            options.dxfOrient = 1;
            {
                std::FILE* file = std::fopen(path.c_str(), "rb");
                ASSERT_NE(file, nullptr) << path;
                test::ReadResult result = test::ReadFile(file, options);
                std::fclose(file);
                ASSERT_GT(result.count, 0) << name << ": " << result.message;
                EXPECT_EQ(SameWayEdges(result), 0) << name << " multi " << multi;
            }
        }
    }
}

TEST(SampleFiles, EveryFileReadsInEveryModeWithoutFault) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VERTOKO_SAMPLES_DIR)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().string();
        for (int mode = 0; mode < 8; ++mode) {
            std::FILE* file = std::fopen(name.c_str(), "rb");
            ASSERT_NE(file, nullptr) << name;
            ReaderOptions options;
            options.dxfMulti = mode & 1;
            options.dxfClv = (mode >> 1) & 1;
            options.dxfVdist = 0.001f;
            options.dxfSkip = mode >> 2;
            auto result = test::ReadFile(file, options);
            std::fclose(file);
            EXPECT_FALSE(result.message.empty()) << name;
            EXPECT_EQ(result.count == 0, result.table == nullptr) << name;
            ExpectIndicesInside(result);
        }
        ++files;
    }
    EXPECT_GE(files, 20);
}

}  // namespace
}  // namespace vertoko
