// Layers left out of a table built by hand: which polygons and vertices stay,
// how they are renumbered, what happens to emptied objects and their labels,
// and a shortage of memory part way.
#include "mesh/layer_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/mesh_builder.h"

namespace vertoko::test {
namespace {

void SetLayers(MeshObject& object, const std::vector<std::int32_t>& layers) {
    std::size_t i = 0;
    for (MeshPolygon* p = object.polygons; p != nullptr; p = p->next) p->layer = layers.at(i++);
}

std::vector<std::int32_t> Layers(const MeshObject& object) {
    std::vector<std::int32_t> layers;
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next)
        layers.push_back(p->layer);
    return layers;
}

bool PolygonTableMatchesList(const MeshObject& object) {
    std::int32_t i = 0;
    for (const MeshPolygon* p = object.polygons; p != nullptr; p = p->next, ++i)
        if (i >= object.polygonCount || object.ptbl[i] != p) return false;
    return i == object.polygonCount;
}

// Two objects of a drawing with three layers. Object 0: a triangle on layer
// 0, a quad on layer 1 sharing its edge 1-2, a triangle on layer 0 again,
// and vertex 6 that no polygon uses. Object 1: a single triangle on layer 1.
class LayerFilterTest : public testing::Test {
  protected:
    void SetUp() override {
        MeshObject& first =
            table.Add({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 0}, {2, 1, 0}, {3, 3, 3}, {9, 9, 9}},
                      {{0, 1, 2}, {1, 3, 4, 2}, {2, 4, 5}});
        SetLayers(first, {0, 1, 0});
        first.polygons->next->color = kPolygonColorSet | 0x102030;
        first.polygons->next->next->color = kPolygonColorSet | 0xA0B0C0;
        MeshObject& second = table.Add({{5, 5, 5}, {6, 5, 5}, {6, 6, 5}}, {{0, 1, 2}});
        SetLayers(second, {1});
    }
    void TearDown() override { FreeFilteredTable(out); }

    bool Filter(const std::vector<bool>& keep, const std::vector<ObjectLabel>& labels = {}) {
        FreeFilteredTable(out);
        return FilterLayers(table.size(), table.data(), keep, labels, out, message);
    }

    TestTable table;
    FilteredTable out;
    std::string message;
};

TEST_F(LayerFilterTest, LeftOutLayerTakesItsPolygonsAndTheVerticesOnlyTheyUsed) {
    ASSERT_TRUE(Filter({true, false, true}, {{0, -1}, {1, -1}})) << message;
    // Object 1 lay wholly on layer 1: it is gone, and its label with it.
    ASSERT_EQ(out.count, 1);
    ASSERT_EQ(out.labels.size(), 1u);
    EXPECT_EQ(out.labels[0].layer, 0);
    const MeshObject& object = out.objects[0];
    // Vertex 3 served only the quad and vertex 6 nothing; the rest keep
    // their order: old 0 1 2 4 5 become 0 1 2 3 4.
    EXPECT_EQ(Coordinates(object),
              (std::vector<Point3f>{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 3, 3}}));
    EXPECT_EQ(object.vertexCount, 5);
    EXPECT_EQ(PolygonCorners(object),
              (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {2, 3, 4}}));
    EXPECT_EQ(object.polygonCount, 2);
    EXPECT_EQ(Layers(object), (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(object.polygons->color, 0u);
    EXPECT_EQ(object.polygons->next->color, kPolygonColorSet | 0xA0B0C0);
    EXPECT_TRUE(VertexTableMatchesList(object));
    EXPECT_TRUE(PolygonTableMatchesList(object));

    // The loaded table stays as it was.
    EXPECT_EQ(table[0].vertexCount, 7);
    EXPECT_EQ(PolygonCorners(table[0]),
              (std::vector<std::vector<std::int32_t>>{{0, 1, 2}, {1, 3, 4, 2}, {2, 4, 5}}));
    EXPECT_EQ(table[1].polygonCount, 1);
}

TEST_F(LayerFilterTest, OtherChoicesKeepTheRightObjectsAndLabels) {
    // Only layer 1: the quad alone in the first object, the second whole.
    ASSERT_TRUE(Filter({false, true}, {{-1, 1}, {1, 3}})) << message;
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(Coordinates(out.objects[0]),
              (std::vector<Point3f>{{1, 0, 0}, {1, 1, 0}, {2, 0, 0}, {2, 1, 0}}));
    EXPECT_EQ(PolygonCorners(out.objects[0]),
              (std::vector<std::vector<std::int32_t>>{{0, 2, 3, 1}}));
    EXPECT_EQ(out.objects[0].polygons->color, kPolygonColorSet | 0x102030);
    EXPECT_EQ(Coordinates(out.objects[1]), Coordinates(table[1]));
    ASSERT_EQ(out.labels.size(), 2u);
    EXPECT_EQ(out.labels[1].aci, 3);

    // Every layer kept: a copy of the whole, the unused vertex 6 aside.
    ASSERT_TRUE(Filter({true, true, true}));
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(out.objects[0].vertexCount, 6);
    EXPECT_EQ(PolygonCorners(out.objects[0]), PolygonCorners(table[0]));
    // Labels that do not match the objects one to one are not guessed at.
    EXPECT_TRUE(out.labels.empty());

    // Nothing kept: no table at all.
    ASSERT_TRUE(Filter({false, false, false}, {{0, -1}, {1, -1}}));
    EXPECT_EQ(out.count, 0);
    EXPECT_EQ(out.objects, nullptr);
    EXPECT_TRUE(out.labels.empty());
}

TEST_F(LayerFilterTest, LayerWithoutAFlagIsKept) {
    // Flags for layer 0 only: layer 1 has none and stays, as a polygon of a
    // layer the choice never saw would.
    ASSERT_TRUE(Filter({false}));
    ASSERT_EQ(out.count, 2);
    EXPECT_EQ(out.objects[0].polygonCount, 1);
    EXPECT_EQ(out.objects[1].polygonCount, 1);

    EXPECT_TRUE(KeepsEveryLayer({}));
    EXPECT_TRUE(KeepsEveryLayer({true, true}));
    EXPECT_FALSE(KeepsEveryLayer({true, false, true}));
}

TEST_F(LayerFilterTest, ShortageOfMemoryLeavesNothingBehind) {
    // No chunk at all, and then one: the first object is built and freed
    // again when the second fails.
    for (const int chunks : {0, 1}) {
        SCOPED_TRACE(chunks);
        SetArenaChunkLimitForTesting(chunks);
        const bool done = Filter({true, true}, {{0, -1}, {1, -1}});
        SetArenaChunkLimitForTesting(-1);
        EXPECT_FALSE(done);
        EXPECT_EQ(message, "メモリーが足りません.(layer)\n");
        EXPECT_EQ(out.count, 0);
        EXPECT_EQ(out.objects, nullptr);
        EXPECT_TRUE(out.labels.empty());
    }
    // The loaded table is untouched and filters as usual afterwards.
    ASSERT_TRUE(Filter({true, false}));
    EXPECT_EQ(out.count, 1);
}

}  // namespace
}  // namespace vertoko::test
