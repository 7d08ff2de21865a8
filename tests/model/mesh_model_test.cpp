// Pointer tables, scene extents and freeing of object tables.
#include "model/mesh_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "dxf/dxf_test_support.h"
#include "memory/huge_pages.h"

namespace vertoko {
namespace {

// An object with a vertex list of the given points and no polygons.
MeshObject MakeObject(std::initializer_list<Point3f> points) {
    MeshObject object = {};
    MeshVertex** link = &object.vertices;
    for (const Point3f& p : points) {
        auto* v = static_cast<MeshVertex*>(std::malloc(sizeof(MeshVertex)));
        *v = {p.x, p.y, p.z, nullptr};
        *link = v;
        link = &v->next;
        ++object.vertexCount;
    }
    return object;
}

MeshObject* MakeTable(std::initializer_list<MeshObject> objects) {
    auto* table = static_cast<MeshObject*>(std::calloc(objects.size(), sizeof(MeshObject)));
    std::size_t i = 0;
    for (const MeshObject& o : objects) table[i++] = o;
    return table;
}

void ExpectPoint(const Point3f& p, float x, float y, float z) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

// Joins the boxes of objects [0, split) and [split, count) as two runs,
// expects the box of one pass over them all and returns it.
Extents ExpectRunsJoinedAsOnePass(const MeshObject* table, std::int32_t count,
                                  std::int32_t split) {
    VertexBox runs[2];
    for (std::int32_t i = 0; i < count; ++i) AddToBox(runs[i < split ? 0 : 1], table[i]);
    const Extents joined = JoinBoxes(runs, 2);
    const Extents box = ComputeExtents(count, table);
    EXPECT_EQ(std::memcmp(&joined, &box, sizeof joined), 0)
        << "the runs joined differ from one pass";
    return box;
}

TEST(Extents, BoxAroundAllObjects) {
    MeshObject* table = MakeTable(
        {MakeObject({{0, 2, 1}, {2, 0, 0}, {1, 1, 2}}), MakeObject({{0.5f, 0.5f, 0.5f}})});
    const Extents box = ComputeExtents(2, table);
    ExpectPoint(box.min, 0, 0, 0);
    ExpectPoint(box.max, 2, 2, 2);
    ExpectPoint(box.center, 1, 1, 1);
    FreeObjectTable(2, table);
    EXPECT_EQ(table, nullptr);
}

TEST(Extents, EmptyFirstObjectIsSkipped) {
    MeshObject* table = MakeTable({MakeObject({}), MakeObject({{5, 6, 7}, {7, 6, 5}})});
    const Extents box = ComputeExtents(2, table);
    ExpectPoint(box.min, 5, 6, 5);
    ExpectPoint(box.max, 7, 6, 7);
    ExpectPoint(box.center, 6, 6, 6);
    FreeObjectTable(2, table);
}

TEST(Extents, NoVertexAtAllGivesZero) {
    MeshObject* table = MakeTable({MakeObject({})});
    const Extents box = ComputeExtents(1, table);
    ExpectPoint(box.min, 0, 0, 0);
    ExpectPoint(box.max, 0, 0, 0);
    ExpectPoint(box.center, 0, 0, 0);
    FreeObjectTable(1, table);
}

// Objects prepared on two threads give their boxes in two runs, joined in
// order; the result must be the one pass's: a NaN in the first vertex
// stays, any later NaN is passed over, and of +0 and -0 the first seen is
// kept. Each object here holds a slope of 1,000 vertices after its head.
TEST(Extents, TwoRunsGiveTheOnePassBox) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    auto slope = [](float base, Point3f head) {
        MeshObject object = MakeObject({head});
        MeshVertex* last = object.vertices;
        for (int i = 0; i < 1000; ++i) {
            auto* v = static_cast<MeshVertex*>(std::malloc(sizeof(MeshVertex)));
            *v = {base + static_cast<float>(i % 1000), 0.0f, -base, nullptr};
            last->next = v;
            last = v;
            ++object.vertexCount;
        }
        return object;
    };
    // NaN at the head of the second run's first object, and in the middle.
    MeshObject* table = MakeTable({slope(0, {-0.0f, 0, 0}), slope(1, {0, nan, 0}),
                                   slope(2, {nan, 0, -0.0f}), slope(3, {0.0f, 0, 0})});
    Extents box = ExpectRunsJoinedAsOnePass(table, 4, 2);
    EXPECT_EQ(box.min.x, -0.0f);
    EXPECT_TRUE(std::signbit(box.min.x));
    EXPECT_EQ(box.max.x, 1002.0f);
    EXPECT_EQ(box.min.y, 0.0f);
    EXPECT_FALSE(std::signbit(box.min.y));
    EXPECT_EQ(box.min.z, -3.0f);
    EXPECT_EQ(box.max.z, 0.0f);
    EXPECT_FALSE(std::signbit(box.max.z));
    FreeObjectTable(4, table);

    // A NaN in the very first vertex.
    table = MakeTable({slope(0, {nan, 1, 1}), slope(5, {0, 0, 0}), slope(6, {0, 0, 0})});
    box = ExpectRunsJoinedAsOnePass(table, 3, 1);
    EXPECT_TRUE(std::isnan(box.min.x));
    EXPECT_TRUE(std::isnan(box.max.x));
    EXPECT_EQ(box.max.y, 1.0f);
    EXPECT_EQ(box.min.z, -6.0f);
    FreeObjectTable(3, table);
}

TEST(VertexTable, FirstBuildUsesTheCountRebuildUsesTheList) {
    std::string message;
    MeshObject* table = MakeTable({MakeObject({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}})});
    MeshObject& object = table[0];
    ASSERT_EQ(BuildVertexTable(object, message), 3);
    EXPECT_EQ(object.vtbl[2]->x, 2.0f);
    // Shorten the list as vertex cleaning does; the rebuild follows it.
    std::free(object.vertices->next->next);
    object.vertices->next->next = nullptr;
    object.vertexCount = 2;
    ASSERT_EQ(BuildVertexTable(object, message), 2);
    EXPECT_EQ(object.vtbl[1]->x, 1.0f);
    FreeObjectTable(1, table);
}

TEST(VertexTable, ListShorterThanTheCountIsReported) {
    std::string message;
    MeshObject* table = MakeTable({MakeObject({{0, 0, 0}})});
    table[0].vertexCount = 2;
    EXPECT_EQ(BuildVertexTable(table[0], message), 1);
    EXPECT_EQ(BuildPolygonTable(table[0], message), 0);  // no polygons, none counted
    FreeObjectTable(1, table);
}

// Nodes keep their addresses when an arena is adopted, every allocation is
// aligned for a node, and a request larger than any chunk is served whole.
TEST(MeshArena, AdoptionKeepsNodesAndReleaseFreesAll) {
    MeshArena into = {};
    MeshArena from = {};
    std::vector<MeshVertex*> nodes;
    for (int i = 0; i < 1000; ++i) {
        nodes.push_back(ArenaVertex(i % 2 == 0 ? into : from, static_cast<float>(i), 0, 0));
        ASSERT_NE(nodes.back(), nullptr);
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(nodes.back()) % alignof(MeshVertex), 0u);
        ASSERT_NE(ArenaCorners(from, i % 5), nullptr);
    }
    auto* large = static_cast<char*>(ArenaAllocate(from, std::size_t{80} << 20));
    ASSERT_NE(large, nullptr);
    large[0] = large[(std::size_t{80} << 20) - 1] = 1;
    AdoptArena(into, from);
    EXPECT_EQ(from.chunks, nullptr);
    ASSERT_NE(ArenaPolygon(into), nullptr);  // into goes on filling its own chunk
    for (int i = 0; i < 1000; ++i)
        EXPECT_EQ(nodes[static_cast<std::size_t>(i)]->x, static_cast<float>(i));
    // An adoption into an arena of one chunk, a table apart in another, and
    // the whole list moved on once more, linked by its last chunk: every
    // node stays owned, and releasing frees every chunk once.
    MeshArena one = {};
    nodes.push_back(ArenaVertex(one, 1, 2, 3));
    MeshArena more = {};
    for (int i = 0; i < 300; ++i) nodes.push_back(ArenaVertex(more, 4, 5, 6));
    AdoptArena(one, more);
    AdoptArena(into, one);
    MeshArena two = {};
    nodes.push_back(ArenaVertex(two, 1, 2, 3));
    void* table = ArenaAllocateApart(two, std::size_t{1} << 16);
    ASSERT_NE(table, nullptr);
    AdoptArena(into, two);
    MeshArena outer = {};
    nodes.push_back(ArenaVertex(outer, 7, 8, 9));
    AdoptArena(outer, into);
    for (const MeshVertex* node : nodes) EXPECT_TRUE(ArenaOwns(outer, node));
    EXPECT_TRUE(ArenaOwns(outer, table));
    ReleaseArena(outer);
    EXPECT_EQ(outer.chunks, nullptr);
    EXPECT_EQ(outer.reserved, 0u);
}

// Small chunks come from blocks that each thread cuts on its own: a chunk
// outlives the thread that cut it, and a block is cut afresh only once none
// of its chunks is left (the sanitizer build sees any write to a freed one).
TEST(MeshArena, ChunksOutliveTheirThreadAndBlocksStartOverOnlyWhenEmpty) {
    std::vector<MeshArena> arenas(300, MeshArena{});
    std::vector<MeshVertex*> nodes;
    std::thread([&] {
        for (int round = 0; round < 40; ++round) {
            for (std::size_t i = 0; i < arenas.size(); ++i)
                nodes.push_back(ArenaVertex(arenas[i], static_cast<float>(i), 0, 0));
        }
    }).join();
    ASSERT_EQ(std::count(nodes.begin(), nodes.end(), nullptr), 0);
    MeshArena kept = {};
    MeshVertex* keptNode = ArenaVertex(kept, 42, 43, 44);
    ASSERT_NE(keptNode, nullptr);
    MeshArena gone = {};
    ASSERT_NE(ArenaVertex(gone, 1, 1, 1), nullptr);
    ReleaseArena(gone);
    // Released on this thread in two halves, the other half checked between.
    for (std::size_t i = 0; i < arenas.size(); i += 2) ReleaseArena(arenas[i]);
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        if ((n % arenas.size()) % 2 == 1) {
            ASSERT_EQ(nodes[n]->x, static_cast<float>(n % arenas.size()));
        }
    }
    for (std::size_t i = 1; i < arenas.size(); i += 2) ReleaseArena(arenas[i]);
    MeshArena later = {};
    for (int i = 0; i < 100; ++i) ASSERT_NE(ArenaVertex(later, -1, -1, -1), nullptr);
    EXPECT_EQ(keptNode->x, 42.0f);
    EXPECT_EQ(keptNode->z, 44.0f);
    ReleaseArena(kept);
    ReleaseArena(later);
    // With every chunk released the block is cut again from its start.
    MeshArena again = {};
    EXPECT_NE(ArenaVertex(again, 5, 5, 5), nullptr);
    ReleaseArena(again);
}

TEST(FreeObjectTable, NullTableFreesNothing) {
    MeshObject* table = nullptr;
    FreeObjectTable(0, table);
    EXPECT_EQ(table, nullptr);
}

// A released block is handed out again only for a request of its own rounded
// size: a larger request given it would write past its end.
TEST(LargeBlocks, ReleasedBlockServesOnlyItsOwnSize) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer build keeps no released blocks";
#else
    void* kept = AllocateLarge(kHugePageSize);
    ASSERT_NE(kept, nullptr);
    ReleaseLarge(kept, kHugePageSize);
    void* larger = AllocateLarge(kHugePageSize + 1);
    ASSERT_NE(larger, nullptr);
    EXPECT_NE(larger, kept);
    void* same = AllocateLarge(kHugePageSize - 100);
    EXPECT_EQ(same, kept);
    std::memset(larger, 1, kHugePageSize + 1);
    std::memset(same, 1, kHugePageSize - 100);
    ReleaseLarge(larger, kHugePageSize + 1);
    ReleaseLarge(same, kHugePageSize - 100);
#endif
}

}  // namespace
}  // namespace vertoko
