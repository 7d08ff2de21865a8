// The drawing's colours: the index palette, true colours, BYLAYER through
// the LAYER table and BYBLOCK through the inserting INSERT.
#include <gtest/gtest.h>

#include "dxf/drawing/aci_palette.h"
#include "dxf/drawing_builder.h"

namespace vertoko {
namespace {

using test::Block;
using test::Drawing;
using test::Face;
using test::Insert;
using test::LayerTable;
using test::Pair;
using test::Pairs;
using test::ReadWith;

constexpr std::uint32_t kWhite = 0xFFFFFF;

TEST(AciPalette, WellKnownEntries) {
    EXPECT_EQ(AciColor(1), 0xFF0000u);
    EXPECT_EQ(AciColor(5), 0x0000FFu);
    EXPECT_EQ(AciColor(8), 0x808080u);
    EXPECT_EQ(AciColor(30), 0xFF7F00u);
    EXPECT_EQ(AciColor(7), kWhite);
    EXPECT_EQ(AciColor(256), kWhite);
    EXPECT_EQ(AciColor(-3), kWhite);
}

// The colour of polygon i of object 0 without its marker.
std::uint32_t Rgb(const test::ReadResult& r, int i) {
    const std::uint32_t color = r.table[0].ptbl[i]->color;
    EXPECT_NE(color & kPolygonColorSet, 0u);
    return color & 0xFFFFFFu;
}

TEST(DrawingColors, IndexTrueColourLayerTableAndDefaults) {
    const std::string tables =
        LayerTable({{1, "ROOF"}, {-30, "HIDDEN"}});  // HIDDEN is off: still its colour
    const std::string trueColor =
        Pairs({{0, "3DFACE"}, {8, "ROOF"}, {62, "1"}, {420, "1193046"}}) +  // 0x123456
        Pairs({{10, "0"},
               {20, "0"},
               {30, "0"},
               {11, "1"},
               {21, "0"},
               {31, "0"},
               {12, "0"},
               {22, "1"},
               {32, "0"}});
    const std::string entities = Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "ROOF", 5) +  // blue
                                 Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "roof") +  // BYLAYER red
                                 Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "HIDDEN", 256) +
                                 Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "NOWHERE") +  // 7
                                 Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "ROOF", 0) +  // BYBLOCK: 7
                                 trueColor;
    auto r = ReadWith(Drawing("", entities, tables), false, true);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 6);
    EXPECT_EQ(Rgb(r, 0), 0x0000FFu);
    EXPECT_EQ(Rgb(r, 1), 0xFF0000u);
    EXPECT_EQ(Rgb(r, 2), 0xFF7F00u);
    EXPECT_EQ(Rgb(r, 3), kWhite);
    EXPECT_EQ(Rgb(r, 4), kWhite);
    EXPECT_EQ(Rgb(r, 5), 0x123456u);

    // Off: no polygon carries a colour.
    auto off = ReadWith(Drawing("", entities, tables), false, false);
    ASSERT_EQ(off.count, 1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(off.table[0].ptbl[i]->color, 0u);
}

TEST(DrawingColors, PolylineFacesTakeTheHeadersColourOrTheirOwn) {
    const std::string polyline =
        Pairs({{0, "POLYLINE"}, {8, "0"}, {62, "3"}, {66, "1"}, {70, "16"}, {71, "2"}, {72, "2"}});
    std::string vertices;
    for (int i = 0; i < 4; ++i) {
        vertices += Pairs({{0, "VERTEX"},
                           {8, "0"},
                           {10, std::to_string(i / 2)},
                           {20, std::to_string(i % 2)},
                           {30, "0"},
                           {70, "64"}});
    }
    auto r = ReadWith(Drawing("", polyline + vertices + Pairs({{0, "SEQEND"}})), false, true);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 1);
    EXPECT_EQ(Rgb(r, 0), 0x00FF00u);

    // A polyface's face records may carry a colour of their own.
    std::string polyface = Pairs({{0, "POLYLINE"}, {8, "0"}, {62, "3"}, {66, "1"}, {70, "64"}});
    for (int i = 0; i < 3; ++i) {
        polyface += Pairs({{0, "VERTEX"},
                           {8, "0"},
                           {10, std::to_string(i % 2)},
                           {20, std::to_string(i / 2)},
                           {30, "0"},
                           {70, "192"}});
    }
    for (const char* color : {"5", ""}) {
        polyface += Pairs({{0, "VERTEX"}, {8, "0"}, {70, "128"}, {71, "1"}, {72, "2"}, {73, "3"}});
        if (*color != '\0') polyface += Pairs({{62, color}});
    }
    auto faces = ReadWith(Drawing("", polyface + Pairs({{0, "SEQEND"}})), false, true);
    ASSERT_EQ(faces.count, 1) << faces.message;
    ASSERT_EQ(faces.table[0].polygonCount, 2);
    EXPECT_EQ(Rgb(faces, 0), 0x0000FFu);
    EXPECT_EQ(Rgb(faces, 1), 0x00FF00u);
}

TEST(DrawingColors, MeshInABlockIsPlacedWithItsColour) {
    // A triangle MESH in colour 1 inside a block placed at scale 2.
    const std::string mesh = Pairs({{0, "MESH"}, {8, "0"},  {62, "1"}, {100, "AcDbSubDMesh"},
                                    {71, "2"},   {92, "3"}, {10, "0"}, {20, "0"},
                                    {30, "0"},   {10, "1"}, {20, "0"}, {30, "0"},
                                    {10, "0"},   {20, "1"}, {30, "0"}, {93, "4"},
                                    {90, "3"},   {90, "0"}, {90, "1"}, {90, "2"}});
    auto r = ReadWith(Drawing(Block("M", {0, 0, 0}, mesh),
                              Insert("M", {0, 0, 0}, {{41, "2"}, {42, "2"}, {43, "2"}})),
                      true, true);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 1);
    EXPECT_POINTS_NEAR(test::PolygonPoints(r, 0, 0), {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}});
    EXPECT_EQ(Rgb(r, 0), 0xFF0000u);
}

TEST(DrawingColors, ByBlockAndLayerZeroFollowTheInsertsThroughNesting) {
    // INNER's faces: BYBLOCK, and BYLAYER on layer 0. MID inserts INNER
    // BYBLOCK on layer 0; the drawing inserts MID with colour 30 on layer
    // ROOF (red in the table), then with no colour on ROOF.
    const std::string blocks =
        Block("INNER", {0, 0, 0},
              Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "X", 0) +
                  Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "0")) +
        Block("MID", {0, 0, 0}, Insert("INNER", {0, 0, 0}, {{8, "0"}, {62, "0"}}));
    const std::string entities = Insert("MID", {0, 0, 0}, {{8, "ROOF"}, {62, "30"}}) +
                                 Insert("MID", {0, 0, 0}, {{8, "ROOF"}});
    auto r = ReadWith(Drawing(blocks, entities, LayerTable({{1, "ROOF"}})), true, true);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 4);
    EXPECT_EQ(Rgb(r, 0), 0xFF7F00u);  // BYBLOCK: 30 through both levels
    EXPECT_EQ(Rgb(r, 1), 0xFF0000u);  // layer 0: ROOF's colour
    EXPECT_EQ(Rgb(r, 2), 0xFF0000u);  // BYBLOCK of a BYLAYER insert: ROOF's colour
    EXPECT_EQ(Rgb(r, 3), 0xFF0000u);
}

}  // namespace
}  // namespace vertoko
