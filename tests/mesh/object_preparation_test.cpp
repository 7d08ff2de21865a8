// Objects prepared on two threads: every object is cleaned as if it were
// the only one, whichever thread takes it.
#include "mesh/object_preparation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dxf/dxf_test_support.h"
#include "parallel/no_threads.h"
#include "support/mesh_builder.h"

namespace vertoko::test {
namespace {

// side x side unit quads on layer name, lifted by z, as four-corner faces
// that repeat every shared corner.
std::string Grid(const std::string& name, int side, float z) {
    std::string text;
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            text += Face({{float(i), float(j), z},
                          {float(i + 1), float(j), z},
                          {float(i + 1), float(j + 1), z},
                          {float(i), float(j + 1), z}},
                         name);
        }
    }
    return text;
}

TEST(ObjectPreparation, ManyObjectsCleanedEachOnItsOwn) {
    for (const bool threads : {true, false}) {
        SCOPED_TRACE(threads ? "two threads" : "no thread");
        const NoThreads refused(!threads);
        // Enough vertices in all for two threads: three grids of different sizes
        // and a few small objects between them.
        const int sides[] = {180, 20, 150, 1, 90};
        std::string body;
        for (int k = 0; k < 5; ++k) body += Grid("L" + std::to_string(k), sides[k], float(k));
        // Last, on the second thread: a face at -0, which must not displace the
        // first object's +0 as the lowest Z.
        body += Grid("L5", 1, -0.0f);
        testing::internal::CaptureStderr();
        const ReadResult r = ReadText(InEntities(body), 1, 1, 0.0f);
        // Three progress dots per object cleaned, as one thread writes them.
        EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(18, '.'));
        ASSERT_EQ(r.count, 6) << r.message;
        // The read also sets the box around all objects.
        EXPECT_EQ(r.extents.min.x, 0.0f);
        EXPECT_EQ(r.extents.min.y, 0.0f);
        EXPECT_EQ(r.extents.min.z, 0.0f);
        EXPECT_FALSE(std::signbit(r.extents.min.z));
        EXPECT_EQ(r.extents.max.x, 180.0f);
        EXPECT_EQ(r.extents.max.y, 180.0f);
        EXPECT_EQ(r.extents.max.z, 4.0f);
        EXPECT_TRUE(std::signbit(r.Vertex(5, 0).z)) << "the drawing's -0 was read as +0";
        for (int k = 0; k < 5; ++k) {
            const int side = sides[k];
            const MeshObject& object = r.table[k];
            // A grid of side x side quads has (side + 1)^2 distinct corners.
            ASSERT_EQ(object.vertexCount, (side + 1) * (side + 1)) << "object " << k;
            ASSERT_EQ(object.polygonCount, side * side);
            // Face (i, j) still has its corners where the file put them.
            for (int f = 0; f < side * side; f += 7) {
                const int i = f / side;
                const int j = f % side;
                const float expected[4][2] = {{float(i), float(j)},
                                              {float(i + 1), float(j)},
                                              {float(i + 1), float(j + 1)},
                                              {float(i), float(j + 1)}};
                for (int c = 0; c < 4; ++c) {
                    const MeshVertex& v = r.Vertex(k, r.Corner(k, f, c));
                    EXPECT_EQ(v.x, expected[c][0]);
                    EXPECT_EQ(v.y, expected[c][1]);
                    EXPECT_EQ(v.z, float(k));
                }
            }
        }
    }
}

// count distinct points, each given twice (the copy right after it), and a
// triangle over every three consecutive vertices.
void AddDoubledPoints(TestTable& table, int count, float z) {
    std::vector<Point3f> points;
    for (int i = 0; i < count; ++i) {
        const Point3f p{float(i % 1000), float(i / 1000), z};
        points.push_back(p);
        points.push_back(p);
    }
    std::vector<std::vector<std::int32_t>> triangles;
    for (std::int32_t v = 0; v + 2 < 2 * count; v += 3) triangles.push_back({v, v + 1, v + 2});
    table.Add(points, triangles);
}

// Two large objects around two small ones: enough vertices for two threads,
// the second taking the last two objects.
void AddFourObjects(TestTable& table) {
    const int points[] = {60000, 5, 5, 60000};
    for (int k = 0; k < 4; ++k) AddDoubledPoints(table, points[k], float(k));
}

TEST(ObjectPreparation, SameObjectsWithOrWithoutASecondThread) {
    for (const bool threads : {true, false}) {
        SCOPED_TRACE(threads ? "two threads" : "no thread");
        const NoThreads refused(!threads);
        TestTable table;
        AddFourObjects(table);
        Extents box{};
        std::string message;
        testing::internal::CaptureStderr();
        const bool ok = PrepareObjects(table.size(), table.data(), 1, 0.0f, 1, box, message);
        // Three dots for each object cleaned, in one piece.
        EXPECT_EQ(testing::internal::GetCapturedStderr(), std::string(12, '.'));
        ASSERT_TRUE(ok) << message;
        const int points[] = {60000, 5, 5, 60000};
        for (int k = 0; k < 4; ++k) {
            // Each copy merged into the point before it.
            ASSERT_EQ(table[k].vertexCount, points[k]) << "object " << k;
            const MeshVertex& last = *table[k].vtbl[points[k] - 1];
            EXPECT_EQ(last.x, float((points[k] - 1) % 1000));
            EXPECT_EQ(last.z, float(k));
            // Triangle t had the vertices 3t to 3t + 2, of points 3t / 2 on.
            const std::vector<std::vector<std::int32_t>> corners = PolygonCorners(table[k]);
            for (std::size_t t = 0; t < corners.size(); t += 97) {
                const std::int32_t v = static_cast<std::int32_t>(3 * t);
                EXPECT_EQ(corners[t], (std::vector<std::int32_t>{v / 2, (v + 1) / 2, (v + 2) / 2}))
                    << "object " << k << " triangle " << t;
            }
        }
        EXPECT_EQ(box.min.z, 0.0f);
        EXPECT_EQ(box.max.z, 3.0f);
        EXPECT_EQ(box.max.x, 999.0f);
        EXPECT_EQ(box.max.y, 59.0f);
    }
}

// An object whose count says one vertex more than its list holds fails when
// its tables are built, before it is cleaned. The dots shown are those of
// the objects before it, as when one thread prepares them in order, whether
// it was the calling thread's share or the second's.
TEST(ObjectPreparation, AFailedObjectShowsTheDotsOfThoseBeforeIt) {
    for (const bool threads : {true, false}) {
        for (int failing = 0; failing < 4; ++failing) {
            SCOPED_TRACE(testing::Message() << (threads ? "two threads" : "no thread")
                                            << ", object " << failing << " fails");
            const NoThreads refused(!threads);
            TestTable table;
            AddFourObjects(table);
            ++table[static_cast<std::size_t>(failing)].vertexCount;
            Extents box{};
            std::string message;
            testing::internal::CaptureStderr();
            const bool ok = PrepareObjects(table.size(), table.data(), 1, 0.0f, 1, box, message);
            EXPECT_EQ(testing::internal::GetCapturedStderr(),
                      std::string(3 * static_cast<std::size_t>(failing), '.'));
            EXPECT_FALSE(ok);
        }
    }
}

}  // namespace
}  // namespace vertoko::test
