// The lighter model drawn while dragging, without OpenGL: fanned polygons
// under the budget, a cut-down mesh over it that keeps the model's extent
// and colours, and the polygons the full model skips skipped here too.
#include "preview/drag_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "test_tables.h"

namespace vertoko {
namespace {

using testing::FreeTable;
using testing::MakeGrid;
using testing::MakeTable;

// The box around the corners the mesh's triangles use.
struct Box {
    float min[3] = {1e30f, 1e30f, 1e30f};
    float max[3] = {-1e30f, -1e30f, -1e30f};
};

Box UsedBox(const DragMesh& mesh) {
    Box box;
    for (const DragMesh::Group& group : mesh.groups) {
        for (const std::uint32_t index : group.indices) {
            for (int axis = 0; axis < 3; ++axis) {
                const float v = mesh.positions[3 * index + static_cast<std::size_t>(axis)];
                box.min[axis] = std::min(box.min[axis], v);
                box.max[axis] = std::max(box.max[axis], v);
            }
        }
    }
    return box;
}

TEST(DragModel, UnderTheBudgetPolygonsAreOnlyFanned) {
    // A square, a pentagon, a polygon with a corner past the table and a
    // two-corner edge: 2 + 3 triangles, the others skipped as the full
    // model skips them.
    MeshObject* table = MakeTable({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}, {1, 3, 0}},
                                  {{{0, 1, 2, 3}}, {{0, 1, 2, 4, 3}}, {{0, 1, 9}}, {{0, 1}}});
    EXPECT_EQ(FannedTriangleCount(1, table), 5u);
    const DragMesh mesh = MakeDragMesh(1, table, {1, 1, 0}, 100);
    ASSERT_EQ(mesh.groups.size(), 1u);
    EXPECT_EQ(mesh.groups[0].color, 0u);
    EXPECT_EQ(mesh.groups[0].indices,
              (std::vector<std::uint32_t>{0, 1, 2, 0, 2, 3, 0, 1, 2, 0, 2, 4, 0, 4, 3}));
    // Moved by -center as the full model is.
    EXPECT_EQ(mesh.positions[0], -1.0f);
    EXPECT_EQ(mesh.positions[1], -1.0f);
    EXPECT_EQ(mesh.positions[3 * 4 + 1], 2.0f);
    FreeTable(table);
}

TEST(DragModel, OverTheBudgetTheMeshIsCutDownAndKeepsItsExtent) {
    // 2 x 150 x 150 = 45,000 triangles; cleaned and uncleaned corners.
    for (const bool shared : {true, false}) {
        SCOPED_TRACE(shared ? "shared corners" : "corners of their own");
        MeshObject* table = MakeGrid(150, shared);
        ASSERT_EQ(FannedTriangleCount(1, table), 45000u);
        const DragMesh mesh = MakeDragMesh(1, table, {75, 75, 0}, 4000);
        const std::size_t kept = mesh.TriangleCount();
        EXPECT_GT(kept, 1000u);
        EXPECT_LE(kept, 4400u);
        const std::size_t vertices = mesh.positions.size() / 3;
        for (const std::uint32_t index : mesh.groups[0].indices) ASSERT_LT(index, vertices);
        // The stand-in covers what the model covers, to within a few cells
        // of the 150 it spans.
        const Box box = UsedBox(mesh);
        EXPECT_NEAR(box.min[0], -75.0f, 4.0f);
        EXPECT_NEAR(box.max[0], 75.0f, 4.0f);
        EXPECT_NEAR(box.min[1], -75.0f, 4.0f);
        EXPECT_NEAR(box.max[1], 75.0f, 4.0f);
        EXPECT_GE(box.min[2], -0.31f);
        EXPECT_LE(box.max[2], 0.31f);
        FreeTable(table);
    }
}

TEST(DragModel, EachColourKeepsItsColourAndItsShare) {
    MeshObject* table = MakeGrid(100);
    // The left quarter red, the rest blue, by rows of the grid.
    int k = 0;
    for (MeshPolygon* p = table->polygons; p != nullptr; p = p->next, ++k)
        p->color = k < 2500 ? 0x00FF0000u : 0x000000FFu;
    const DragMesh mesh = MakeDragMesh(1, table, {50, 50, 0}, 2000);
    ASSERT_EQ(mesh.groups.size(), 2u);
    EXPECT_EQ(mesh.groups[0].color, 0x00FF0000u);
    EXPECT_EQ(mesh.groups[1].color, 0x000000FFu);
    const double red = static_cast<double>(mesh.groups[0].indices.size());
    const double blue = static_cast<double>(mesh.groups[1].indices.size());
    ASSERT_GT(red, 0.0);
    // A quarter of the triangles were red: about a quarter stay red.
    EXPECT_NEAR(red / (red + blue), 0.25, 0.1);
    // The red part stays on the left, where it was (x below 25 - 50).
    DragMesh redOnly;
    redOnly.positions = mesh.positions;
    redOnly.groups = {mesh.groups[0]};
    EXPECT_LE(UsedBox(redOnly).max[0], -25.0f + 2.0f);
    FreeTable(table);
}

}  // namespace
}  // namespace vertoko
