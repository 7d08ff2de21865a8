// Normals with a smoothing angle: hard edges stay hard, smaller bends are
// smoothed with the weighting of plain smoothing, and the OBJ writer carries
// the same normals.
#include "mesh/crease_normals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <tuple>

#include "support/mesh_builder.h"
#include "export/obj_writer.h"
#include "mesh/triangulate.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::TestTable;

using Polygons = std::vector<std::vector<std::int32_t>>;

const std::vector<Point3f> kCube{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
// Six outward quads, and the same faces as twelve triangles.
const Polygons kCubeQuads{{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                          {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 0, 4, 7}};
const Polygons kCubeTriangles{{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                              {1, 2, 6}, {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};

// The outward axis of the cube face a triangle lies in.
Point3f OutwardAxis(const std::vector<std::int32_t>& t) {
    Point3f centre{0, 0, 0};
    for (int k = 0; k < 3; ++k) {
        centre.x += kCube[t[k]].x / 3;
        centre.y += kCube[t[k]].y / 3;
        centre.z += kCube[t[k]].z / 3;
    }
    // The coordinate that all three corners share says which face it is.
    for (int axis = 0; axis < 3; ++axis) {
        auto c = [&](int k) {
            return axis == 0 ? kCube[t[k]].x : axis == 1 ? kCube[t[k]].y : kCube[t[k]].z;
        };
        if (c(0) == c(1) && c(1) == c(2)) {
            const float sign = c(0) == 0 ? -1.0f : 1.0f;
            return {axis == 0 ? sign : 0, axis == 1 ? sign : 0, axis == 2 ? sign : 0};
        }
    }
    return {0, 0, 0};
}

TEST(CreaseNormals, CubeAtSixtyDegreesGivesEachFaceOneNormal) {
    TestTable table;
    table.Add(kCube, kCubeTriangles);
    std::vector<ObjectNormals> normals(1);
    std::string msg;
    ASSERT_EQ(TriangulateAndSmooth(1, table.data(), normals.data(), msg, 60.0f), 1);
    const ObjectNormals& n = normals[0];
    ASSERT_EQ(n.corners.size(), 36u);
    // Three faces meet at each of the eight corners.
    EXPECT_EQ(n.vectors.size(), 24u);
    std::size_t base = 0;
    for (const MeshPolygon* p = table[0].polygons; p != nullptr; p = p->next, base += 3) {
        const Point3f axis = OutwardAxis({p->p[0], p->p[1], p->p[2]});
        for (int k = 0; k < 3; ++k) {
            const Point3f& v = n.vectors[n.Index(*p, base, k)];
            EXPECT_NEAR(v.x, axis.x, 1e-6);
            EXPECT_NEAR(v.y, axis.y, 1e-6);
            EXPECT_NEAR(v.z, axis.z, 1e-6);
        }
    }
}

TEST(CreaseNormals, WideAngleWeighsFacesAsPlainSmoothing) {
    // Quads count as a whole and as their two triangles in plain smoothing;
    // an angle that keeps every face must give exactly those sums.
    TestTable plain;
    plain.Add(kCube, kCubeQuads);
    TestTable creased;
    creased.Add(kCube, kCubeQuads);
    std::vector<ObjectNormals> a(1), b(1);
    std::string msg;
    ASSERT_EQ(TriangulateAndSmooth(1, plain.data(), a.data(), msg), 1);
    ASSERT_EQ(TriangulateAndSmooth(1, creased.data(), b.data(), msg, 179.0f), 1);
    EXPECT_TRUE(a[0].corners.empty());
    ASSERT_EQ(a[0].vectors.size(), 8u);
    ASSERT_EQ(b[0].corners.size(), 36u);
    // Every vertex has one normal, the plain one, pointing away from the centre.
    EXPECT_EQ(b[0].vectors.size(), 8u);
    std::size_t base = 0;
    for (const MeshPolygon* p = creased[0].polygons; p != nullptr; p = p->next, base += 3) {
        for (int k = 0; k < 3; ++k) {
            const Point3f& got = b[0].vectors[b[0].Index(*p, base, k)];
            const Point3f& want = a[0].vectors[p->p[k]];
            EXPECT_FLOAT_EQ(got.x, want.x);
            EXPECT_FLOAT_EQ(got.y, want.y);
            EXPECT_FLOAT_EQ(got.z, want.z);
            const Point3f& v = kCube[p->p[k]];
            EXPECT_GT(got.x * (v.x - 0.5f) + got.y * (v.y - 0.5f) + got.z * (v.z - 0.5f), 0.0f);
        }
    }
}

TEST(CreaseNormals, RidgeIsSmoothedOnlyBelowTheAngle) {
    // Two faces meeting at the ridge x = 1, their normals 30 degrees apart.
    const float rise = std::tan(30.0f * 3.14159265f / 180.0f);
    const std::vector<Point3f> points{{0, 0, 0}, {1, 0, 0},    {1, 1, 0},
                                      {0, 1, 0}, {2, 0, rise}, {2, 1, rise}};
    for (const float crease : {45.0f, 20.0f}) {
        TestTable table;
        table.Add(points, {{0, 1, 2, 3}, {1, 4, 5, 2}});
        std::vector<ObjectNormals> normals(1);
        std::string msg;
        ASSERT_EQ(TriangulateAndSmooth(1, table.data(), normals.data(), msg, crease), 1);
        // Ridge vertices: one shared normal bent 15 degrees, or one per face.
        std::set<std::tuple<float, float, float>> atRidge;
        std::size_t base = 0;
        for (const MeshPolygon* p = table[0].polygons; p != nullptr; p = p->next, base += 3) {
            for (int k = 0; k < 3; ++k) {
                if (p->p[k] != 1) continue;
                const Point3f& n = normals[0].vectors[normals[0].Index(*p, base, k)];
                atRidge.insert({n.x, n.y, n.z});
                if (crease > 30) {
                    EXPECT_NEAR(std::atan2(-n.x, n.z) * 180 / 3.14159265, 15.0, 1.0);
                }
            }
        }
        EXPECT_EQ(atRidge.size(), crease > 30 ? 1u : 2u) << crease;
    }
}

TEST(ObjNormals, FacesNameTheirCornersNormals) {
    TempDir dir;
    TestTable table;
    table.Add(kCube, kCubeQuads);
    table.Add({{0, 0, 0}, {1, 0, 0}}, {{0, 1}});  // nothing to triangulate
    std::string msg;
    ASSERT_EQ(WriteObjWithNormals(dir / "cube", table.size(), table.data(), 60.0f, msg), 1);
    const std::string text = ReadBytes(dir / "cube001.obj");
    std::istringstream in(text);
    std::vector<Point3f> v, vn;
    int faces = 0;
    std::string line;
    while (std::getline(in, line)) {
        ASSERT_FALSE(line.empty() || line.back() != '\r') << "CR LF ends";
        line.pop_back();
        std::istringstream words(line);
        std::string key;
        words >> key;
        Point3f p{};
        if (key == "v") words >> p.x >> p.y >> p.z, v.push_back(p);
        if (key == "vn") words >> p.x >> p.y >> p.z, vn.push_back(p);
        if (key != "f") continue;
        ++faces;
        std::vector<std::int32_t> corners;
        std::vector<Point3f> cornerNormals;
        std::string corner;
        while (words >> corner) {
            const auto slashes = corner.find("//");
            ASSERT_NE(slashes, std::string::npos) << line;
            corners.push_back(std::stoi(corner.substr(0, slashes)) - 1);
            cornerNormals.push_back(vn.at(std::stoul(corner.substr(slashes + 2)) - 1));
        }
        ASSERT_EQ(corners.size(), 3u) << line;
        const Point3f axis = OutwardAxis(corners);
        for (const Point3f& n : cornerNormals) {
            EXPECT_NEAR(n.x, axis.x, 1e-6);
            EXPECT_NEAR(n.y, axis.y, 1e-6);
            EXPECT_NEAR(n.z, axis.z, 1e-6);
        }
    }
    EXPECT_EQ(v.size(), 8u);
    EXPECT_EQ(vn.size(), 24u);
    EXPECT_EQ(faces, 12);
    EXPECT_NE(text.find("# 24 vertex normals\r\n\r\n"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "cube002.obj"),
              "v 0 0 0\r\nv 1 0 0\r\n# 2 vertices\r\n\r\n"
              "# 0 vertex normals\r\n\r\nf 1 2\r\n# 1 elements\r\n");
}

}  // namespace
}  // namespace vertoko
