#include "mesh/vertex_clean.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <tuple>
#include <utility>

#include "dxf/dxf_reader.h"
#include "parallel/no_threads.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::Coordinates;
using test::PolygonCorners;
using test::TestTable;
using test::VertexTableMatchesList;

// The cleaning as first described, step by step: insertion into a growing
// sorted table with a coarse search of the given stride, then the greedy
// grouping and the renumbering. Slow, but an independent account of the
// result that the fast cleaning must reproduce.
struct Reference {
    std::vector<Point3f> vertices;
    std::vector<std::vector<std::int32_t>> polygons;
};

bool NotGreater(const Point3f& a, const Point3f& b) {
    return a.x < b.x || (a.x == b.x && (a.y < b.y || (a.y == b.y && a.z <= b.z)));
}

Reference CleanByInsertion(const std::vector<Point3f>& points,
                           const std::vector<std::vector<std::int32_t>>& polygons, float distance,
                           std::int32_t stride) {
    const std::int32_t n = static_cast<std::int32_t>(points.size());
    std::vector<std::int32_t> vertexOf{0};
    for (std::int32_t i = 1; i < n; ++i) {
        std::int32_t held = static_cast<std::int32_t>(vertexOf.size());
        std::int32_t h = 0;
        while (h < held && !(points[i].x < points[vertexOf[h]].x)) h += stride;
        if (h >= held) h = held - 1;
        while (h >= 0 && !NotGreater(points[vertexOf[h]], points[i])) --h;
        vertexOf.insert(vertexOf.begin() + (h + 1), i);
    }
    std::vector<std::int32_t> position(n), group(n, -1);
    for (std::int32_t j = 0; j < n; ++j) position[vertexOf[j]] = j;
    const float d2 = distance * distance;
    for (std::int32_t i = 0; i < n; ++i) {
        if (group[i] != -1) continue;
        group[i] = vertexOf[i];
        const Point3f& r = points[vertexOf[i]];
        for (std::int32_t j = i + 1; j < n; ++j) {
            if (group[j] != -1) continue;
            const Point3f& q = points[vertexOf[j]];
            const float dx2 = (r.x - q.x) * (r.x - q.x);
            if (dx2 > d2) break;
            float s = dx2 + (r.y - q.y) * (r.y - q.y);
            if (s > d2) continue;
            s = s + (r.z - q.z) * (r.z - q.z);
            if (s > d2) continue;
            group[j] = vertexOf[i];
        }
    }
    Reference result;
    std::vector<std::int32_t> newIndex(n, -1);
    for (std::int32_t v = 0; v < n; ++v) {
        if (group[position[v]] == v) {
            newIndex[v] = static_cast<std::int32_t>(result.vertices.size());
            result.vertices.push_back(points[v]);
        }
    }
    for (const auto& corners : polygons) {
        std::vector<std::int32_t> renumbered;
        for (std::int32_t v : corners) renumbered.push_back(newIndex[group[position[v]]]);
        result.polygons.push_back(renumbered);
    }
    return result;
}

std::int32_t Clean(MeshObject& object, float distance, std::string* message = nullptr) {
    std::string ignored;
    testing::internal::CaptureStderr();
    const std::int32_t result = VClearn(object, distance, message != nullptr ? *message : ignored);
    testing::internal::GetCapturedStderr();
    return result;
}

TEST(VertexClean, SharedEdgeOfTwoTrianglesBecomesShared) {
    TestTable table;
    MeshObject& object = table.Add(
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}}, {{0, 1, 2}, {3, 4, 5}});
    ASSERT_EQ(Clean(object, 0.0f), 0);
    EXPECT_EQ(object.vertexCount, 4);
    EXPECT_EQ(object.polygonCount, 2);
    const std::vector<Point3f> expected{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    EXPECT_EQ(Coordinates(object), expected);
    EXPECT_EQ(PolygonCorners(object),
              (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {2, 1, 3}}));
    // The table follows the shortened list.
    for (std::int32_t i = 0; i < 4; ++i) EXPECT_EQ(object.vtbl[i]->x, expected[i].x);
    EXPECT_EQ(object.vtbl[3]->next, nullptr);
}

TEST(VertexClean, DistanceBoundaryIsInclusiveOnEveryAxis) {
    // 0.5 and its square are exact in binary, so the squared distance equals d².
    for (int axis = 0; axis < 3; ++axis) {
        Point3f near{0, 0, 0};
        Point3f far{0, 0, 0};
        (&near.x)[axis] = 0.5f;
        (&far.x)[axis] = 0.50001f;
        TestTable table;
        MeshObject& object = table.Add({{0, 0, 0}, near, {0, 0, 0}, far}, {{0, 1, 2, 3}});
        ASSERT_EQ(Clean(object, 0.5f), 0);
        // Vertex 1 joins vertex 0 (as does the equal vertex 2); vertex 3 is too far.
        EXPECT_EQ(object.vertexCount, 2) << "axis " << axis;
        EXPECT_EQ(PolygonCorners(object), (std::vector<std::vector<std::int32_t>>{{0, 0, 0, 1}}));
    }
}

TEST(VertexClean, DistanceZeroMergesOnlyEqualPoints) {
    TestTable table;
    MeshObject& object =
        table.Add({{1, 2, 3}, {1, 2, 3.0000005f}, {1, 2, 3}, {-0.0f, 0, 0}, {0, 0, 0}},
                  {{0, 1, 2}, {3, 4, 0}});
    ASSERT_EQ(Clean(object, 0.0f), 0);
    // Negative zero equals zero, so vertices 3 and 4 merge as well.
    EXPECT_EQ(object.vertexCount, 3);
    EXPECT_EQ(PolygonCorners(object),
              (std::vector<std::vector<std::int32_t>>{{0, 1, 0}, {2, 2, 0}}));
}

TEST(VertexClean, MembershipIsNotTransitive) {
    TestTable table;
    MeshObject& object = table.Add({{1.2f, 0, 0}, {0.6f, 0, 0}, {0, 0, 0}}, {{0, 1, 2}});
    ASSERT_EQ(Clean(object, 1.0f), 0);
    // Groups {0, 0.6} and {1.2}: survivors keep their old order.
    EXPECT_EQ(Coordinates(object), (std::vector<Point3f>{{1.2f, 0, 0}, {0, 0, 0}}));
    EXPECT_EQ(PolygonCorners(object), (std::vector<std::vector<std::int32_t>>{{0, 1, 1}}));
}

TEST(VertexClean, SmallestMemberInKeyOrderSurvivesUnchanged) {
    TestTable table;
    // Equal x: the smaller y wins; equal points: the lower index wins.
    MeshObject& object =
        table.Add({{1, 0.1f, 0}, {1, 0.05f, 7}, {9, 9, 9}, {9, 9, 9}, {5, 0, 0}, {4.95f, 0, 0}},
                  {{0, 1, 2, 3, 4, 5}});
    ASSERT_EQ(Clean(object, 10.0f), 0);
    // (1, 0.05, 7) comes first in key order and takes every point within 10;
    // (9, 9, 9) lies at a squared distance of 64 + 80.1 + 4 > 100 and keeps a
    // group of its own.
    EXPECT_EQ(Coordinates(object), (std::vector<Point3f>{{1, 0.05f, 7}, {9, 9, 9}}));
    EXPECT_EQ(PolygonCorners(object), (std::vector<std::vector<std::int32_t>>{{0, 0, 1, 1, 0, 0}}));
}

TEST(VertexClean, SingleVertexAndEmptyObjectStayAsTheyAre) {
    TestTable table;
    MeshObject& one = table.Add({{3, 4, 5}}, {{0, 0, 0}});
    MeshVertex* node = one.vertices;
    ASSERT_EQ(Clean(one, 1.0f), 0);
    EXPECT_EQ(one.vertexCount, 1);
    EXPECT_EQ(one.vertices, node);

    MeshObject& empty = table.Add({}, {});
    std::string message;
    EXPECT_EQ(Clean(empty, 0.0f, &message), 0);
    EXPECT_EQ(message, "");
    EXPECT_EQ(empty.vertexCount, 0);
    EXPECT_EQ(empty.polygonCount, 0);
}

TEST(VertexClean, WritesThreeProgressDotsPerObject) {
    TestTable table;
    MeshObject& object = table.Add({{0, 0, 0}, {0, 0, 0}}, {});
    std::string message;
    testing::internal::CaptureStderr();
    ASSERT_EQ(VClearn(object, 0.0f, message), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "...");
}

// Points that are not finite have no distance to anything: they are kept
// apart, and the finite points around them are cleaned as usual.
TEST(VertexClean, NonFinitePointsNeverMerge) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    TestTable table;
    MeshObject& object = table.Add(
        {{nan, 0, 0}, {1, 0, 0}, {nan, 0, 0}, {inf, 0, 0}, {1, 0, 0}, {inf, 0, 0}, {1, nan, 0}},
        {{0, 1, 2, 3, 4, 5, 6}});
    ASSERT_EQ(Clean(object, 0.0f), 0);
    EXPECT_EQ(object.vertexCount, 6);
    EXPECT_EQ(PolygonCorners(object),
              (std::vector<std::vector<std::int32_t>>{{0, 1, 2, 3, 1, 4, 5}}));
}

TEST(VertexClean, CornerOutsideTheListIsLeftAlone) {
    TestTable table;
    MeshObject& object = table.Add({{0, 0, 0}, {0, 0, 0}}, {{0, 1, 7, -1}});
    ASSERT_EQ(Clean(object, 0.0f), 0);
    EXPECT_EQ(PolygonCorners(object), (std::vector<std::vector<std::int32_t>>{{0, 0, 7, -1}}));
}

// Random points with many repeated x values, near neighbours and exact
// duplicates, some of them at -0 or (with tiny) 1e-30 away from their
// copies, and triangles over them.
void RandomObject(std::mt19937& random, int n, int spread, bool tiny, std::vector<Point3f>& points,
                  std::vector<std::vector<std::int32_t>>& polygons) {
    std::uniform_int_distribution<int> grid(0, spread);
    std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
    for (int i = 0; i < n; ++i) {
        Point3f p{static_cast<float>(grid(random)), static_cast<float>(grid(random)) * 0.5f,
                  static_cast<float>(grid(random))};
        if (random() % 3 == 0) p.y += jitter(random);
        if (random() % 4 == 0) p.z += jitter(random);
        if (random() % 5 == 0) p.x += jitter(random);
        if (p.z == 0.0f && random() % 2 == 0) p.z = -0.0f;
        if (tiny && random() % 7 == 0) p.y = p.y == 0.0f ? 1e-30f : p.y;
        points.push_back(p);
    }
    for (int f = 0; f < n / 3; ++f)
        polygons.push_back({static_cast<std::int32_t>(random() % n),
                            static_cast<std::int32_t>(random() % n),
                            static_cast<std::int32_t>(random() % n)});
}

// Random objects against the step-by-step cleaning at several strides: the
// result may depend neither on the stride nor on the sorting method, for
// small and large objects, and at distance 0 also with coordinates whose
// differences vanish when squared.
TEST(VertexClean, MatchesInsertionCleaningForAnyStride) {
    std::mt19937 random(12345);
    for (int round = 0; round < 48; ++round) {
        const bool large = round >= 40;
        const int n =
            large ? 4000 + static_cast<int>(random() % 3000) : 1 + static_cast<int>(random() % 700);
        std::vector<Point3f> points;
        std::vector<std::vector<std::int32_t>> polygons;
        RandomObject(random, n, 6 + round % 10, round % 3 == 0, points, polygons);
        const float distances[] = {0.0f, 0.25f, 0.5f, 1.0f, 3.0f};
        const float distance = large && round % 2 == 0 ? 0.0f : distances[round % 5];

        const std::int32_t stride = n / 200 + (n % 200 != 0 ? 1 : 0);
        const Reference expected = CleanByInsertion(points, polygons, distance, stride);
        for (std::int32_t otherStride : {1, 7}) {
            if (large) break;
            const Reference again = CleanByInsertion(points, polygons, distance, otherStride);
            ASSERT_EQ(again.vertices, expected.vertices);
        }

        TestTable table;
        MeshObject& object = table.Add(points, polygons);
        ASSERT_EQ(Clean(object, distance), 0);
        ASSERT_EQ(object.vertexCount, static_cast<std::int32_t>(expected.vertices.size()))
            << "round " << round;
        ASSERT_EQ(Coordinates(object), expected.vertices) << "round " << round;
        ASSERT_EQ(PolygonCorners(object), expected.polygons) << "round " << round;
    }
}

// The bits of every coordinate, so that a NaN equals itself and -0 differs
// from 0: a survivor must keep the exact coordinates of its first copy.
std::vector<std::uint32_t> CoordinateBits(const std::vector<Point3f>& points) {
    std::vector<std::uint32_t> bits;
    for (const Point3f& p : points) {
        bits.push_back(std::bit_cast<std::uint32_t>(p.x));
        bits.push_back(std::bit_cast<std::uint32_t>(p.y));
        bits.push_back(std::bit_cast<std::uint32_t>(p.z));
    }
    return bits;
}

// Cleaning at distance 0 as its definition gives it where no difference of
// coordinates underflows when squared: a finite point joins the first
// earlier point equal to it (-0 equal to 0), and a point that is not finite
// has no distance to anything and stays on its own.
Reference MergeEqualPoints(const std::vector<Point3f>& points,
                           const std::vector<std::vector<std::int32_t>>& polygons) {
    std::map<std::tuple<float, float, float>, std::int32_t> firstNewIndex;
    std::vector<std::int32_t> newIndex;
    Reference result;
    for (const Point3f& p : points) {
        const auto next = static_cast<std::int32_t>(result.vertices.size());
        if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) {
            const auto [at, added] =
                firstNewIndex.try_emplace({p.x + 0.0f, p.y + 0.0f, p.z + 0.0f}, next);
            newIndex.push_back(at->second);
            if (!added) continue;
        } else {
            newIndex.push_back(next);
        }
        result.vertices.push_back(p);
    }
    for (const auto& corners : polygons) {
        std::vector<std::int32_t> renumbered;
        for (std::int32_t v : corners) renumbered.push_back(newIndex[v]);
        result.polygons.push_back(renumbered);
    }
    return result;
}

// Cleaning at distance 0 with its hash pass split over two threads, or not.
std::int32_t CleanEqual(MeshObject& object, std::int32_t splitFrom) {
    testing::internal::CaptureStderr();
    std::string message;
    const std::int32_t result = VClearn(object, 0.0f, message, splitFrom);
    testing::internal::GetCapturedStderr();
    return result;
}

// Objects of tens of thousands of vertices, cleaned at distance 0 as one
// run and as two halves hashed on two threads, the second half's points
// then looked up among the first half's. Copies must meet across the halves
// whatever their sign of zero, and in either half: the points never merged
// (NaN in two bit patterns, infinities), a second half made of copies of one
// first-half point, tables that grow, the last vertex, and tiny coordinates
// met late in one half, which must hand the whole object over to cleaning by
// sorting.
TEST(VertexClean, LargeObjectsAtDistanceZeroMatchTheDefinition) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float otherNan = std::bit_cast<float>(0xFFC00123u);
    enum Shape { kCopies, kMostlyDistinct, kOnePoint, kFiniteCopies, kTinyFirst, kTinySecond };
    std::mt19937 random(777);
    for (const Shape shape :
         {kCopies, kMostlyDistinct, kOnePoint, kFiniteCopies, kTinyFirst, kTinySecond}) {
        const bool finite = shape >= kFiniteCopies;
        const int n = shape == kOnePoint ? 33001 : 40037;
        const int grid = shape == kMostlyDistinct ? 400 : 12;
        std::uniform_int_distribution<int> cell(0, grid);
        std::vector<Point3f> points;
        for (int i = 0; i < n; ++i) {
            Point3f p{1.5f, 0.0f, -2.0f};
            if (shape != kOnePoint) {
                p = {static_cast<float>(cell(random)) - 3.0f,
                     static_cast<float>(cell(random)) * 0.25f, static_cast<float>(cell(random))};
            }
            if (shape == kMostlyDistinct && i > 0 && random() % 8 == 0)
                p = points[random() % points.size()];
            if (random() % 3 == 0) {
                if (p.x == 0.0f) p.x = -0.0f;
                if (p.y == 0.0f) p.y = -0.0f;
                if (p.z == 0.0f) p.z = -0.0f;
            }
            switch (finite ? 4 : random() % 400) {
                case 0:
                    p.x = nan;
                    break;
                case 1:
                    p.y = otherNan;
                    break;
                case 2:
                    p.z = inf;
                    break;
                case 3:
                    p.x = -inf;
                    break;
                default:
                    break;
            }
            points.push_back(p);
        }
        // Tiny coordinates late in one half only.
        for (int k = 1; shape >= kTinyFirst && k <= 4; ++k)
            (&points[(shape == kTinyFirst ? n / 2 : n) - 3 * k].x)[k % 3] =
                k % 2 == 0 ? 1e-30f : -3e-31f;
        // The last vertex is a copy of the first, which has no other copy.
        if (shape == kMostlyDistinct) points[n - 1] = points[0];
        std::vector<std::vector<std::int32_t>> polygons;
        for (int f = 0; f < n / 3; ++f)
            polygons.push_back({static_cast<std::int32_t>(random() % n),
                                static_cast<std::int32_t>(random() % n), n - 1 - f});

        // The step-by-step cleaning holds for finite points only; where it
        // applies without underflow, the definition must agree with it.
        const Reference expected = finite ? CleanByInsertion(points, polygons, 0.0f, n / 200 + 1)
                                          : MergeEqualPoints(points, polygons);
        if (shape == kFiniteCopies) {
            const Reference defined = MergeEqualPoints(points, polygons);
            ASSERT_EQ(CoordinateBits(defined.vertices), CoordinateBits(expected.vertices));
            ASSERT_EQ(defined.polygons, expected.polygons);
        }
        // One run; two halves on two threads; two halves one after the
        // other on this thread, as when no second thread can be had.
        for (const auto& [splitFrom, threads] :
             {std::pair{n + 1, true}, std::pair{2, true}, std::pair{2, false}}) {
            SCOPED_TRACE(testing::Message() << "shape " << shape << " split from " << splitFrom
                                            << (threads ? "" : " without a thread"));
            const test::NoThreads refused(!threads);
            TestTable table;
            MeshObject& object = table.Add(points, polygons);
            ASSERT_EQ(CleanEqual(object, splitFrom), 0);
            ASSERT_EQ(object.vertexCount, static_cast<std::int32_t>(expected.vertices.size()));
            EXPECT_EQ(CoordinateBits(Coordinates(object)), CoordinateBits(expected.vertices));
            EXPECT_EQ(PolygonCorners(object), expected.polygons);
            EXPECT_TRUE(VertexTableMatchesList(object));
        }
    }
}

// Split in two however few the vertices are: halves of one vertex, runs that
// end just before, at and after a multiple of the 64 vertices that are
// looked up together, copies of a handful of points (some at -0 or NaN) in
// both halves.
TEST(VertexClean, FewVerticesSplitInTwoMatchTheDefinition) {
    std::mt19937 random(99);
    for (const int n : {2, 3, 5, 63, 64, 65, 127, 128, 129, 130, 1000}) {
        std::vector<Point3f> points;
        for (int i = 0; i < n; ++i) {
            Point3f p{static_cast<float>(random() % 3), 0.0f, static_cast<float>(random() % 2)};
            if (random() % 2 == 0) p.y = -0.0f;
            if (random() % 50 == 0) p.z = std::numeric_limits<float>::quiet_NaN();
            points.push_back(p);
        }
        std::vector<std::vector<std::int32_t>> polygons{{}};
        for (int v = n; v-- > 0;) polygons[0].push_back(v);
        const Reference expected = MergeEqualPoints(points, polygons);
        TestTable table;
        MeshObject& object = table.Add(points, polygons);
        ASSERT_EQ(CleanEqual(object, 2), 0) << n << " vertices";
        EXPECT_EQ(CoordinateBits(Coordinates(object)), CoordinateBits(expected.vertices))
            << n << " vertices";
        EXPECT_EQ(PolygonCorners(object), expected.polygons) << n << " vertices";
    }
}

}  // namespace
}  // namespace vertoko
