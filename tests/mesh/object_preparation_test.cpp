// Objects prepared on two threads: every object is cleaned as if it were
// the only one, whichever thread takes it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "dxf/dxf_test_support.h"

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

}  // namespace
}  // namespace vertoko::test
