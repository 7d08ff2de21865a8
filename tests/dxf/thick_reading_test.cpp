// Whole drawings with entities that have thickness: what the driver reads
// with the option off (nothing new) and on, the report line's kinds, the
// blocks that hold such entities, and their colours.
#include <gtest/gtest.h>

#include "dxf/drawing_builder.h"

namespace vertoko {
namespace {

using test::Block;
using test::Drawing;
using test::Insert;
using test::Pairs;

const std::string kThickLine =
    Pairs({{0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {39, "2"}});
const std::string kSolid =
    Pairs({{0, "SOLID"}, {8, "0"}, {62, "1"}, {10, "0"}, {11, "1"}, {12, "0"}, {22, "1"}});
const std::string kThickCircle = Pairs({{0, "CIRCLE"}, {8, "0"}, {40, "1"}, {39, "1"}});
const std::string kFlatKinds = Pairs({{0, "TEXT"},
                                      {8, "0"},
                                      {0, "MTEXT"},
                                      {8, "0"},
                                      {0, "HATCH"},
                                      {8, "0"},
                                      {0, "MPOLYGON"},
                                      {8, "0"},
                                      {0, "TEXT"},
                                      {8, "0"},
                                      {0, "3DSOLID"},
                                      {8, "0"}});

test::ReadResult Read(const std::string& text, bool thick, bool expand = false,
                      bool colors = false) {
    ReaderOptions options;
    options.dxfClv = 0;
    options.dxfThick = thick ? 1 : 0;
    options.dxfInsert = expand ? 1 : 0;
    options.dxfColor = colors ? 1 : 0;
    return test::ReadText(text, options);
}

TEST(ThickReading, OptionOffReadsNothingNewAndCountsNothingNew) {
    const std::string text = Drawing("", kThickLine + kSolid + kThickCircle + kFlatKinds);
    const auto off = Read(text, false);
    ASSERT_EQ(off.count, 1);
    EXPECT_EQ(off.table[0].vertexCount, 0);
    EXPECT_EQ(off.unconverted, "変換しなかった図形：3DSOLID = 1");
    const auto on = Read(text, true);
    ASSERT_EQ(on.count, 1) << on.message;
    // The wall (4), the triangle (3) and 32 wall segments of the circle (64).
    EXPECT_EQ(on.table[0].vertexCount, 4 + 3 + 64);
    EXPECT_EQ(on.table[0].polygonCount, 1 + 1 + 32);
    EXPECT_EQ(on.unconverted,
              "変換しなかった図形：3DSOLID = 1, HATCH = 1, MPOLYGON = 1, TEXT = 2, MTEXT = 1");
}

TEST(ThickReading, BlocksHoldingThickEntitiesCountAndExpand) {
    const std::string text = Drawing(Block("WALL", {1, 0, 0}, kThickLine),
                                     Insert("WALL", {10, 0, 0}) + Insert("WALL", {20, 0, 0}));
    // Not expanded, the block's faces stand where it defines them and its
    // insertions are counted, once faces are read.
    EXPECT_EQ(Read(text, false).unconverted, "");
    const auto counted = Read(text, true);
    EXPECT_EQ(counted.unconverted, "変換しなかった図形：INSERT = 2");
    EXPECT_EQ(counted.table[0].polygonCount, 1);
    // Expanded, each insertion places the wall, base point to insertion
    // point.
    const auto placed = Read(text, true, true);
    ASSERT_EQ(placed.count, 1) << placed.message;
    ASSERT_EQ(placed.table[0].polygonCount, 2);
    EXPECT_POINTS_NEAR(test::PolygonPoints(placed, 0, 1),
                       {{19, 0, 0}, {20, 0, 0}, {20, 0, 2}, {19, 0, 2}});
}

TEST(ThickReading, DrawingColoursApplyAsToFaces) {
    // A SOLID and a 3DFACE with the same layer and colour end with the same
    // polygon colour; a thick circle on a BYLAYER layer takes the layer's.
    const std::string face = Pairs({{0, "3DFACE"},
                                    {8, "0"},
                                    {62, "1"},
                                    {10, "0"},
                                    {20, "0"},
                                    {30, "0"},
                                    {11, "1"},
                                    {21, "0"},
                                    {31, "0"},
                                    {12, "0"},
                                    {22, "1"},
                                    {32, "0"}});
    const std::string circle = Pairs({{0, "CIRCLE"}, {8, "GREEN"}, {40, "1"}, {39, "1"}});
    const std::string text = Drawing("", kSolid + face + circle, test::LayerTable({{3, "GREEN"}}));
    const auto result = Read(text, true, false, true);
    ASSERT_EQ(result.count, 1) << result.message;
    const MeshObject& object = result.table[0];
    ASSERT_EQ(object.polygonCount, 2 + 32);
    EXPECT_NE(object.ptbl[0]->color & kPolygonColorSet, 0u);
    EXPECT_EQ(object.ptbl[0]->color, object.ptbl[1]->color);
    EXPECT_EQ(object.ptbl[2]->color, kPolygonColorSet | 0x00FF00u);
}

}  // namespace
}  // namespace vertoko
