// The entity builder: the object a key chooses, polygons and vertices in
// the order the messages name them, pending meshes renumbered and styled
// as they are handed over, and hints fetched ahead that change nothing.
#include "dxf/entities/entity_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "dxf/entities/face_entity.h"
#include "dxf/pair_feed.h"
#include "memory/mesh_arena.h"

namespace vertoko {
namespace {

EntityKey Key(ReadContext& context, const char* layer, std::int32_t color = -1) {
    EntityKey key;
    key.SetLayer(context.layers, layer);
    key.color = color;
    return key;
}

struct Context {
    explicit Context(int multi, int colors = 0) : context(Options(multi, colors)) {
        CreateSlots(context.slots, multi != 0);
        context.colors.enabled = colors != 0;
    }
    static ReaderOptions Options(int multi, int colors) {
        ReaderOptions options;
        options.dxfMulti = multi;
        options.dxfColor = colors;
        return options;
    }
    ReadContext context;
};

const float kTriangle[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

TEST(EntityBuilder, KeysChooseObjectsInTheOrderTheyFirstAppear) {
    Context c(1);
    EntityBuilder builder(c.context);
    EXPECT_TRUE(builder.AddFace(Key(c.context, "walls", 1), kTriangle, 3));
    EXPECT_TRUE(builder.AddFace(Key(c.context, "ROOF"), kTriangle, 3));
    EXPECT_TRUE(
        builder.AddFace(Key(c.context, "Walls", 1), kTriangle, 3));  // names compare without case
    EXPECT_TRUE(builder.AddFace(Key(c.context, "WALLS", 2), kTriangle, 3));
    ASSERT_EQ(c.context.slots.count, 3);
    EXPECT_EQ(
        c.context.layers.Layers()[static_cast<std::size_t>(c.context.slots.slots[0].layer)].name,
        "walls");
    EXPECT_EQ(c.context.slots.slots[0].polygonCount, 2);
    EXPECT_EQ(c.context.slots.slots[0].vertexCount, 6);
    // The second face's corners follow the first's.
    EXPECT_EQ(c.context.slots.slots[0].polygonTail->p[0], 3);
    EXPECT_EQ(c.context.slots.slots[2].color, 2);

    // One object for everything in single-object mode.
    Context single(0);
    EntityBuilder one(single.context);
    EXPECT_TRUE(one.AddFace(Key(single.context, "A"), kTriangle, 3));
    EXPECT_TRUE(one.AddFace(Key(single.context, "B", 4), kTriangle, 3));
    EXPECT_EQ(single.context.slots.count, 1);
    EXPECT_EQ(single.context.slots.slots[0].polygonCount, 2);
}

TEST(EntityBuilder, HintsFetchedAheadChooseTheSameObject) {
    Context c(1);
    EntityBuilder builder(c.context);
    ASSERT_TRUE(builder.AddFace(Key(c.context, "A"), kTriangle, 3));
    ASSERT_TRUE(builder.AddFace(Key(c.context, "B"), kTriangle, 3));
    // A cursor that fetched for a key, then for another after the key
    // changed, and one that stopped half way.
    SlotCursor cursor(c.context.slots, true);
    for (int i = 0; i < 12; ++i) cursor.Step(Key(c.context, "A"));
    cursor.KeyChanged();
    for (int i = 0; i < 5; ++i) cursor.Step(Key(c.context, "B"));
    EXPECT_EQ(cursor.Slot(), 1);
    ASSERT_TRUE(builder.AddFace(Key(c.context, "B"), kTriangle, 3, &cursor));
    SlotCursor early(c.context.slots, true);
    early.Step(Key(c.context, "C"));
    ASSERT_TRUE(builder.AddFace(Key(c.context, "C"), kTriangle, 3, &early));
    EXPECT_EQ(c.context.slots.count, 3);
    EXPECT_EQ(c.context.slots.slots[1].polygonCount, 2);
    EXPECT_EQ(c.context.slots.slots[2].polygonCount, 1);
}

TEST(EntityBuilder, PendingMeshIsRenumberedAndStyledWhenHandedOver) {
    Context c(0, 1);
    EntityBuilder builder(c.context);
    ASSERT_TRUE(builder.AddFace(Key(c.context, "0", 1), kTriangle, 3));
    PendingMesh mesh;
    std::string& message = c.context.message;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(mesh.AddVertex(float(i), 0, 0, message));
    MeshPolygon* plain = mesh.AddPolygon(3, message);
    MeshPolygon* own = mesh.AddPolygon(3, message);
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(own, nullptr);
    plain->p[0] = 0, plain->p[1] = 1, plain->p[2] = 2;
    own->p[0] = 1, own->p[1] = 2, own->p[2] = 3;
    own->color = builder.StyleOf(LayerTable::kZero, 5, -1);  // a face record's own colour
    ASSERT_TRUE(mesh.Commit(builder, Key(c.context, "0", 3)));
    const ObjectSlot& slot = c.context.slots.slots[0];
    EXPECT_EQ(slot.vertexCount, 3 + 4);
    EXPECT_EQ(slot.polygonCount, 3);
    EXPECT_EQ(plain->p[0], 3);
    EXPECT_EQ(own->p[2], 6);
    EXPECT_EQ(plain->color, builder.StyleOf(LayerTable::kZero, 3, -1));
    EXPECT_EQ(own->color, builder.StyleOf(LayerTable::kZero, 5, -1));
    EXPECT_NE(plain->color, own->color);
    EXPECT_EQ(mesh.VertexCount(), 0);  // handed over whole
}

TEST(EntityBuilder, OutOfMemoryNamesWhatCouldNotBeHad) {
    Context c(0);
    EntityBuilder builder(c.context);
    // Room for nothing: the polygon is the first to fail.
    SetArenaChunkLimitForTesting(0);
    EXPECT_FALSE(builder.AddFace(Key(c.context, "0"), kTriangle, 3));
    SetArenaChunkLimitForTesting(-1);
    EXPECT_EQ(c.context.message, "メモリーが足りません.(pol)\n");
    std::string message;
    MeshArena arena = {};
    SetArenaChunkLimitForTesting(0);
    EXPECT_EQ(NewVertex(arena, 0, 0, 0, message), nullptr);
    SetArenaChunkLimitForTesting(-1);
    EXPECT_EQ(message, "メモリーが足りません.(ver)\n");
    ReleaseArena(arena);
}

// A parser's tests are its pairs: no file, no section around them.
TEST(EntityBuilder, ParsersFedWithPairsFromEitherSource) {
    const test::PairList face = {{8, "Roof"}, {62, "2"}, {10, "0"}, {20, "0"},   {30, "1"},
                                 {11, "2"},   {21, "0"}, {31, "1"}, {12, "2"},   {22, "3"},
                                 {32, "1.5"}, {13, "2"}, {23, "3"}, {33, "1.5"}, {0, "EOF"}};
    const auto read = [](ReadContext& c, auto& pairs) { return Read3DFace(c, pairs); };
    ReaderOptions multi;
    multi.dxfMulti = 1;
    for (const auto& fed : {test::FeedText("3DFACE", face, read, multi),
                            test::FeedBinary("3DFACE", face, read, multi)}) {
        ASSERT_TRUE(fed->ok) << fed->context.message;
        ASSERT_EQ(fed->Objects(), 1);
        EXPECT_EQ(fed->context.layers.Value(fed->Slot(0).layer), "Roof");
        EXPECT_EQ(fed->Slot(0).color, 2);
        EXPECT_EQ(fed->Slot(0).polygonHead->cornerCount, 3);  // the fourth corner repeats the third
        EXPECT_EQ(fed->Corner(0, 0, 2), (std::vector<float>{2, 3, 1.5f}));
    }
}

}  // namespace
}  // namespace vertoko
