// Face orientation: consistent winding across shared edges, outward closed
// parts, the majority kept on open parts, and no links through edges of
// three or more faces.
#include "mesh/face_orientation.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>

#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::PolygonCorners;
using test::TestTable;

using Polygons = std::vector<std::vector<std::int32_t>>;

Polygons Reversed(Polygons polygons, const std::vector<bool>& which) {
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        if (which[i]) std::reverse(polygons[i].begin(), polygons[i].end());
    }
    return polygons;
}

// How often each directed edge is run; a consistent manifold runs each once.
std::map<std::pair<int, int>, int> DirectedEdges(const Polygons& polygons) {
    std::map<std::pair<int, int>, int> edges;
    for (const auto& p : polygons) {
        for (std::size_t k = 0; k < p.size(); ++k) ++edges[{p[k], p[(k + 1) % p.size()]}];
    }
    return edges;
}

bool EveryEdgeRunOnce(const Polygons& polygons) {
    for (const auto& [edge, count] : DirectedEdges(polygons)) {
        if (count != 1) return false;
    }
    return true;
}

// z of the (unnormalised) normal of a face in the plane z = 0.
float NormalZ(const std::vector<Point3f>& points, const std::vector<std::int32_t>& p) {
    const Point3f a = points[p[0]], b = points[p[1]], c = points[p[2]];
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

const std::vector<Point3f> kCube{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                 {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
// Twelve triangles, each wound counter-clockwise seen from outside.
const Polygons kCubeOutward{{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                            {1, 2, 6}, {1, 6, 5}, {2, 3, 7}, {2, 7, 6}, {3, 0, 4}, {3, 4, 7}};

bool FacesOutward(const Polygons& polygons) {
    for (const auto& p : polygons) {
        const Point3f a = kCube[p[0]], b = kCube[p[1]], c = kCube[p[2]];
        const Point3f u{b.x - a.x, b.y - a.y, b.z - a.z}, w{c.x - a.x, c.y - a.y, c.z - a.z};
        const Point3f n{u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x};
        const Point3f centre{(a.x + b.x + c.x) / 3 - 0.5f, (a.y + b.y + c.y) / 3 - 0.5f,
                             (a.z + b.z + c.z) / 3 - 0.5f};
        if (n.x * centre.x + n.y * centre.y + n.z * centre.z <= 0) return false;
    }
    return true;
}

TEST(FaceOrientation, ClosedBoxWithRandomFlipsFacesOutward) {
    std::string message;
    std::mt19937 random(7);
    for (int trial = 0; trial < 20; ++trial) {
        std::vector<bool> flips(kCubeOutward.size());
        for (std::size_t i = 0; i < flips.size(); ++i) flips[i] = (random() & 1) != 0;
        // The all-inward box must be turned as a whole, too.
        if (trial == 0) flips.assign(flips.size(), true);
        TestTable table;
        MeshObject& object = table.Add(kCube, Reversed(kCubeOutward, flips));
        ASSERT_EQ(OrientFaces(object, message), 0);
        const Polygons result = PolygonCorners(object);
        EXPECT_TRUE(EveryEdgeRunOnce(result)) << "trial " << trial;
        EXPECT_TRUE(FacesOutward(result)) << "trial " << trial;
    }
}

TEST(FaceOrientation, OpenStripTakesTheDirectionOfMostFaces) {
    std::string message;
    // Six quads in a row in z = 0, vertices 0..6 along y = 0 and 7..13 along y = 1.
    std::vector<Point3f> points;
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < 7; ++i) points.push_back({float(i), float(row), 0});
    }
    Polygons up;
    for (int i = 0; i < 6; ++i) up.push_back({i, i + 1, i + 8, i + 7});
    struct Case {
        std::vector<bool> flips;
        float sign;
    };
    const Case cases[] = {{{false, true, false, false, true, false}, 1.0f},
                          {{true, true, false, true, true, false}, -1.0f}};
    for (const Case& c : cases) {
        TestTable table;
        MeshObject& object = table.Add(points, Reversed(up, c.flips));
        ASSERT_EQ(OrientFaces(object, message), 0);
        const Polygons result = PolygonCorners(object);
        for (const auto& p : result) EXPECT_GT(NormalZ(points, p) * c.sign, 0.0f);
        // Each face keeps its first corner.
        const Polygons before = Reversed(up, c.flips);
        for (std::size_t i = 0; i < result.size(); ++i) EXPECT_EQ(result[i][0], before[i][0]);
    }
}

TEST(FaceOrientation, EdgesOfThreeFacesLinkNothing) {
    std::string message;
    const std::vector<Point3f> points{{0, 0, 0},    {1, 0, 0},    {0.5f, 1, 0}, {0.5f, -1, 0},
                                      {0.5f, 0, 1}, {1.5f, 1, 0}, {0, 0, 0}};
    // Three fins on edge 0-1, all run 0 -> 1; a fourth face shares 1-2 with
    // the first fin and runs it the same way. A two-corner polygon and one
    // with a corner outside the list are passed over.
    const Polygons polygons{{0, 1, 2}, {0, 1, 3}, {0, 1, 4}, {2, 1, 5}, {5, 6}, {0, 1, 9}};
    TestTable table;
    MeshObject& object = table.Add(points, polygons);
    ASSERT_EQ(OrientFaces(object, message), 0);
    const Polygons result = PolygonCorners(object);
    EXPECT_EQ(result[1], polygons[1]);
    EXPECT_EQ(result[2], polygons[2]);
    EXPECT_EQ(result[4], polygons[4]);
    EXPECT_EQ(result[5], polygons[5]);
    const auto edges = DirectedEdges({result[0], result[3]});
    EXPECT_EQ(edges.count({1, 2}) + edges.count({2, 1}), 2u);
    for (const auto& [edge, count] : edges) EXPECT_EQ(count, 1);
}

TEST(FaceOrientation, OneSidedStripEndsWithoutFailure) {
    std::string message;
    // A Moebius band of four quads: no winding agrees everywhere.
    const std::vector<Point3f> points{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},
                                      {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    const Polygons polygons{{0, 1, 5, 4}, {1, 2, 6, 5}, {2, 3, 7, 6}, {3, 4, 0, 7}};
    TestTable table;
    MeshObject& object = table.Add(points, polygons);
    EXPECT_EQ(OrientFaces(object, message), 0);
    // Three of the four shared edges can agree, whichever face turns.
    const auto edges = DirectedEdges(PolygonCorners(object));
    int agreeing = 0;
    for (const auto& [edge, count] : edges) agreeing += edges.count({edge.second, edge.first});
    EXPECT_EQ(agreeing, 6);
}

}  // namespace
}  // namespace vertoko
