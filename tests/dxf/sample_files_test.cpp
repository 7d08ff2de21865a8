// Whole-file reads of the public samples. Expected counts come from the
// sample descriptions and from counting the files' entities independently.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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
        {"ezdxf/uncommon.dxf", {8 + 8, 3}},      // one polyface without faces
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

TEST(SampleFiles, RefusedFiles) {
    auto binary = ReadSample("ezdxf/bin_dxf_r12.dxf");
    EXPECT_EQ(binary.count, 0);
    EXPECT_NE(binary.message.find("NUL"), std::string::npos) << binary.message;
    // 2D polylines fail the whole read.
    for (const char* file :
         {"ezdxf/POLI-ALL210_12.DXF", "ezdxf/small_r13.dxf", "ezdxf/cc_dxflib.dxf",
          "libdxf/all_R10_entities.dxf", "libredwg/example_r12.dxf", "libredwg/r11_entities-3d.dxf",
          "libredwg/r2.6_entities.dxf"}) {
        auto result = ReadSample(file);
        EXPECT_EQ(result.count, 0) << file;
        EXPECT_EQ(result.table, nullptr) << file;
        EXPECT_EQ(result.message.rfind("POLYLINE:対応していない形式です.(L", 0), 0u)
            << file << ": " << result.message;
    }
}

TEST(SampleFiles, EveryFileReadsInEveryModeWithoutFault) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(VERTOKO_SAMPLES_DIR)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = entry.path().string();
        for (int mode = 0; mode < 4; ++mode) {
            std::FILE* file = std::fopen(name.c_str(), "rb");
            ASSERT_NE(file, nullptr) << name;
            auto result = test::ReadFile(file, mode & 1, mode >> 1, 0.001f);
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
