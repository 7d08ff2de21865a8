// Block expansion: every placed coordinate against the transform worked out
// by hand (base point, scale, rotation, grid, insertion point, extrusion),
// nesting, mirroring, layer "0" and BYBLOCK inheritance, the blocks that
// place nothing and the refusal of outputs too large to hold.
#include "dxf/drawing/block_expansion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dxf/drawing_builder.h"

namespace vertoko {
namespace {

using test::Block;
using test::Corner;
using test::Drawing;
using test::Face;
using test::Insert;
using test::Pair;
using test::Pairs;
using test::PolygonPoints;
using test::ReadWith;

const std::string kTriangle = Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});

TEST(BlockExpansion, ScaleRotationBasePointAndAttributesFollowTheInsert) {
    // Base (1,2,3); the face is (0,0,0), (1,0,0), (0,2,0), (0,0,1) from it.
    const std::string blocks =
        Block("Box", {1, 2, 3}, Face({{1, 2, 3}, {2, 2, 3}, {1, 4, 3}, {1, 2, 4}}));
    // Attributes follow the INSERT (66 = 1) up to SEQEND and add nothing.
    const std::string entities =
        Insert("BOX", {10, 20, 30}, {{41, "2"}, {42, "3"}, {43, "4"}, {50, "90"}, {66, "1"}}) +
        Pairs({{0, "ATTRIB"},
               {8, "0"},
               {10, "5"},
               {20, "5"},
               {30, "5"},
               {2, "TAG"},
               {1, "v"},
               {0, "SEQEND"}});
    auto r = ReadWith(Drawing(blocks, entities), true, false);
    ASSERT_EQ(r.count, 1) << r.message;
    // Scaled (2,3,4), then (x,y) -> (-y,x), then moved to (10,20,30); the
    // definition itself adds nothing where it stands.
    ASSERT_EQ(r.table[0].polygonCount, 1);
    EXPECT_EQ(r.table[0].vertexCount, 4);
    EXPECT_POINTS_NEAR(PolygonPoints(r, 0, 0),
                       {{10, 20, 30}, {10, 22, 30}, {4, 20, 30}, {10, 20, 34}});

    // Off: the definition where it stands and no insertion.
    auto off = ReadWith(Drawing(blocks, entities), false, false);
    ASSERT_EQ(off.count, 1);
    ASSERT_EQ(off.table[0].polygonCount, 1);
    EXPECT_POINTS_NEAR(PolygonPoints(off, 0, 0), {{1, 2, 3}, {2, 2, 3}, {1, 4, 3}, {1, 2, 4}});
}

TEST(BlockExpansion, MirroringReversesTheCornersSoFacesKeepTheirSide) {
    // Mirrored in x: the corners land at (0,0,0), (-1,0,0), (0,1,0); read in
    // reverse they still wind counter-clockwise seen from +z.
    auto r =
        ReadWith(Drawing(Block("T", {0, 0, 0}, kTriangle), Insert("T", {0, 0, 0}, {{41, "-1"}})),
                 true, false);
    ASSERT_EQ(r.count, 1) << r.message;
    EXPECT_POINTS_NEAR(PolygonPoints(r, 0, 0), {{0, 1, 0}, {-1, 0, 0}, {0, 0, 0}});
    // Two mirrors make a rotation by 180 degrees: order kept.
    auto twice = ReadWith(
        Drawing(Block("T", {0, 0, 0}, kTriangle), Insert("T", {0, 0, 0}, {{41, "-1"}, {42, "-1"}})),
        true, false);
    ASSERT_EQ(twice.count, 1) << twice.message;
    EXPECT_POINTS_NEAR(PolygonPoints(twice, 0, 0), {{0, 0, 0}, {-1, 0, 0}, {0, -1, 0}});
}

TEST(BlockExpansion, ExtrusionMapsTheObjectCoordinatesToWorld) {
    const std::string block = Block("T", {0, 0, 0}, Face({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}));
    // (0,0,-1): the arbitrary axis algorithm gives X = (-1,0,0), Y = (0,1,0),
    // so (x,y,z) -> (-x, y, -z), after adding the point (5,0,2).
    auto down = ReadWith(
        Drawing(block, Insert("T", {5, 0, 2}, {{210, "0"}, {220, "0"}, {230, "-1"}})), true, false);
    ASSERT_EQ(down.count, 1) << down.message;
    EXPECT_POINTS_NEAR(PolygonPoints(down, 0, 0), {{-6, 0, -2}, {-5, 1, -2}, {-5, 0, -3}});

    // (1,1,1): Z = (1,1,1)/sqrt3, X = world Z x Z = (-1,1,0)/sqrt2,
    // Y = Z x X = (-1,-1,2)/sqrt6. The point (1,2,3) is in those axes too.
    const double a = 1 / std::sqrt(3.0), b = 1 / std::sqrt(2.0), c = 1 / std::sqrt(6.0);
    const Corner x{float(-b), float(b), 0}, y{float(-c), float(-c), float(2 * c)},
        z{float(a), float(a), float(a)};
    auto at = [&](double u, double v, double w) {
        return Corner{float(u * x.x + v * y.x + w * z.x), float(u * x.y + v * y.y + w * z.y),
                      float(u * x.z + v * y.z + w * z.z)};
    };
    auto oblique = ReadWith(
        Drawing(block, Insert("T", {1, 2, 3}, {{210, "1"}, {220, "1"}, {230, "1"}})), true, false);
    ASSERT_EQ(oblique.count, 1) << oblique.message;
    EXPECT_POINTS_NEAR(PolygonPoints(oblique, 0, 0), {at(2, 2, 3), at(1, 3, 3), at(1, 2, 4)});
}

TEST(BlockExpansion, MultipleInsertPlacesAGridAlongTheRotatedAxes) {
    // 3 columns 10 apart and 2 rows 20 apart, rotated by 90 degrees: cell
    // (c, r) starts at (100 - 20r, 10c, 0) and the triangle turns to
    // (0,0), (0,1), (-1,0).
    auto r = ReadWith(Drawing(Block("T", {0, 0, 0}, kTriangle),
                              Insert("T", {100, 0, 0},
                                     {{50, "90"}, {70, "3"}, {71, "2"}, {44, "10"}, {45, "20"}})),
                      true, false);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 6);
    EXPECT_EQ(r.table[0].vertexCount, 18);
    std::vector<std::vector<Corner>> expected;
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 3; ++col) {
            const float x0 = 100.0f - 20.0f * row, y0 = 10.0f * col;
            expected.push_back({{x0, y0, 0}, {x0, y0 + 1, 0}, {x0 - 1, y0, 0}});
        }
    }
    for (int i = 0; i < 6; ++i) {
        const auto points = PolygonPoints(r, 0, i);
        const bool found = std::any_of(expected.begin(), expected.end(),
                                       [&](const auto& e) { return test::NearPoints(points, e); });
        EXPECT_TRUE(found) << test::Show(points);
    }
}

TEST(BlockExpansion, NestedInsertsComposeWithTheirBasePointsWhateverTheOrder) {
    // OUTER (base (0,0,5)) comes before INNER (base (1,0,0)) and holds an
    // INSERT of it at (10,0,5), scale 2, and a face of its own.
    const std::string blocks =
        Block("OUTER", {0, 0, 5},
              Insert("INNER", {10, 0, 5}, {{41, "2"}, {42, "2"}, {43, "2"}}) +
                  Face({{0, 0, 5}, {1, 0, 5}, {0, 1, 5}})) +
        Block("INNER", {1, 0, 0}, Face({{1, 0, 0}, {2, 0, 0}, {1, 1, 0}}));
    // OUTER at (0,100,0) turned by 90 degrees: q -> R90 (q - (0,0,5)) + (0,100,0).
    auto r = ReadWith(Drawing(blocks, Insert("OUTER", {0, 100, 0}, {{50, "90"}})), true, false);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 2);
    // OUTER's own face: (0,0,0), (1,0,0), (0,1,0) from its base.
    EXPECT_POINTS_NEAR(PolygonPoints(r, 0, 0), {{0, 100, 0}, {0, 101, 0}, {-1, 100, 0}});
    // INNER: 2 (p - (1,0,0)) + (10,0,5) gives (10,0,5), (12,0,5), (10,2,5).
    EXPECT_POINTS_NEAR(PolygonPoints(r, 0, 1), {{0, 110, 0}, {0, 112, 0}, {-2, 110, 0}});
}

TEST(BlockExpansion, LayoutBlocksAreTheDrawingItself) {
    // A face and an INSERT in *Model_Space count as the drawing's own.
    const std::string blocks =
        Block("*Model_Space", {0, 0, 0},
              Face({{5, 5, 5}, {6, 5, 5}, {5, 6, 5}}) + Insert("T", {0, 0, 7})) +
        Block("T", {0, 0, 0}, kTriangle);
    auto r = ReadWith(Drawing(blocks, ""), true, false);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 2);
    EXPECT_POINTS_NEAR(PolygonPoints(r, 0, 0), {{5, 5, 5}, {6, 5, 5}, {5, 6, 5}});
    EXPECT_POINTS_NEAR(PolygonPoints(r, 0, 1), {{0, 0, 7}, {1, 0, 7}, {0, 1, 7}});
}

// The object holding a polygon whose first corner is at point, -1 if none.
int ObjectAt(const test::ReadResult& r, Corner point) {
    for (int o = 0; o < r.count; ++o) {
        for (int i = 0; i < r.table[o].polygonCount; ++i) {
            const Corner first = PolygonPoints(r, o, i)[0];
            if (test::NearPoints({first}, {point})) return o;
        }
    }
    return -1;
}

TEST(BlockExpansion, LayerZeroAndByBlockTakeTheInsertsInMultiObjectMode) {
    // Faces told apart by their first corner's x.
    const std::string body = Face({{1, 0, 0}, {1, 1, 0}, {2, 0, 0}}, "0") +     // layer 0, BYLAYER
                             Face({{2, 0, 0}, {2, 1, 0}, {3, 0, 0}}, "0", 0) +  // layer 0, BYBLOCK
                             Face({{3, 0, 0}, {3, 1, 0}, {4, 0, 0}}, "FIXED", 3) +  // its own
                             Face({{4, 0, 0}, {4, 1, 0}, {5, 0, 0}}, "X", 0);       // BYBLOCK
    const std::string entities = Face({{9, 9, 9}, {9, 8, 9}, {8, 9, 9}}, "WALL", 5) +
                                 Insert("B", {0, 0, 0}, {{8, "wall"}, {62, "5"}});
    auto r = ReadWith(Drawing(Block("B", {0, 0, 0}, body), entities), true, false, true);
    // (WALL,5) holds the top-level face and the BYBLOCK face of layer 0;
    // (WALL,BYLAYER), (FIXED,3) and (X,5) one face each.
    ASSERT_EQ(r.count, 4) << r.message;
    const int wall5 = ObjectAt(r, {9, 9, 9});
    EXPECT_EQ(ObjectAt(r, {2, 0, 0}), wall5);
    EXPECT_EQ(r.table[wall5].polygonCount, 2);
    std::vector<int> others = {ObjectAt(r, {1, 0, 0}), ObjectAt(r, {3, 0, 0}),
                               ObjectAt(r, {4, 0, 0})};
    std::sort(others.begin(), others.end());
    EXPECT_TRUE(std::unique(others.begin(), others.end()) == others.end());
    EXPECT_EQ(std::find(others.begin(), others.end(), wall5), others.end());
    EXPECT_EQ(std::find(others.begin(), others.end(), -1), others.end());
}

TEST(BlockExpansion, MissingAndSelfInsertingBlocksPlaceNothingAndAreNamed) {
    // LOOP inserts itself, A and B insert each other; KEEP holds a face and
    // an INSERT of LOOP, so only its own face is placed.
    const std::string blocks =
        Block("LOOP", {0, 0, 0}, kTriangle + Insert("LOOP", {1, 0, 0})) +
        Block("A", {0, 0, 0}, kTriangle + Insert("B", {0, 0, 0})) +
        Block("B", {0, 0, 0}, kTriangle + Insert("A", {0, 0, 0})) +
        Block("KEEP", {0, 0, 0},
              Face({{7, 0, 0}, {8, 0, 0}, {7, 1, 0}}) + Insert("LOOP", {0, 0, 0}));
    const std::string entities = Insert("NOPE", {0, 0, 0}) + Insert("LOOP", {0, 0, 0}) +
                                 Insert("A", {0, 0, 0}) + Insert("KEEP", {0, 0, 0}) +
                                 Insert("NOPE", {1, 0, 0});
    auto r = ReadWith(Drawing(blocks, entities), true, false);
    ASSERT_EQ(r.count, 1) << r.message;
    ASSERT_EQ(r.table[0].polygonCount, 1);
    EXPECT_POINTS_NEAR(PolygonPoints(r, 0, 0), {{7, 0, 0}, {8, 0, 0}, {7, 1, 0}});
    // Named in the report of what was not converted; INSERTs that place
    // something are not counted there.
    EXPECT_EQ(r.unconverted,
              "変換しなかった図形：INSERT(自身を挿入 \"LOOP\") = 3, INSERT(自身を挿入 \"B\") = 1, "
              "INSERT(自身を挿入 \"A\") = 2, INSERT(未定義 \"NOPE\") = 2");
}

TEST(BlockExpansion, ReportNamesBlocksAsTheDrawingWritesThem) {
    // Names compare without case; the line shows the first spelling met,
    // and a name longer than 64 characters its first 63 and an ellipsis. A
    // name of 40 Japanese characters (120 bytes) is shown whole.
    const std::string longName(70, 'x');
    std::string japanese;
    for (int i = 0; i < 40; ++i) japanese += "壁";
    const std::string entities = Insert("a6016-Door", {0, 0, 0}) + Insert("A6016-DOOR", {1, 0, 0}) +
                                 Insert(longName, {0, 0, 0}) + Insert(japanese, {0, 0, 0});
    const std::string blocks = Block("Loop", {0, 0, 0}, kTriangle + Insert("LOOP", {1, 0, 0}));
    auto r = ReadWith(Drawing(blocks, entities + Insert("loop", {0, 0, 0})), true, false);
    ASSERT_EQ(r.count, 1) << r.message;
    // The insertion inside the block definition is met first.
    EXPECT_EQ(r.unconverted,
              "変換しなかった図形：INSERT(自身を挿入 \"Loop\") = 2, "
              "INSERT(未定義 \"a6016-Door\") = 2, INSERT(未定義 \"" +
                  std::string(63, 'x') + "…\") = 1, INSERT(未定義 \"" + japanese + "\") = 1");
}

TEST(BlockExpansion, OutputsPastTheCountsOrTheMemoryAreRefusedBeforeAnyCopy) {
    // 3 vertices x 1000 x 1000 per BIG, BIG 1000 x 1000 times: 3e12.
    const std::string blocks =
        Block("T", {0, 0, 0}, kTriangle) +
        Block("BIG", {0, 0, 0}, Insert("T", {0, 0, 0}, {{70, "1000"}, {71, "1000"}}));
    auto huge = ReadWith(Drawing(blocks, Insert("BIG", {0, 0, 0}, {{70, "1000"}, {71, "1000"}})),
                         true, false);
    EXPECT_EQ(huge.count, 0);
    EXPECT_EQ(huge.table, nullptr);
    EXPECT_NE(huge.message.find("上限を超えます"), std::string::npos) << huge.message;

    // Inside the counts but past the memory allowed.
    SetExpansionMemoryBudget(100000);
    auto big = ReadWith(Drawing(blocks, Insert("BIG", {0, 0, 0}, {{70, "2"}})), true, false);
    SetExpansionMemoryBudget(0);
    EXPECT_EQ(big.count, 0);
    EXPECT_NE(big.message.find("メモリーが足りません"), std::string::npos) << big.message;

    // An empty block's grid, however large, places nothing and takes no time.
    auto empty = ReadWith(
        Drawing(Block("E", {0, 0, 0}, ""),
                Insert("E", {0, 0, 0}, {{70, "2000000000"}, {71, "2000000000"}}) + kTriangle),
        true, false);
    ASSERT_EQ(empty.count, 1) << empty.message;
    EXPECT_EQ(empty.table[0].polygonCount, 1);

    // Nor do insertions of an empty block inside a block placed many times:
    // 20000 copies x 20000 empty insertions would be 4e8 steps.
    std::string many;
    for (int i = 0; i < 20000; ++i) many += Pairs({{0, "INSERT"}, {2, "E"}});
    auto nested =
        ReadWith(Drawing(Block("E", {0, 0, 0}, "") + Block("A", {0, 0, 0}, kTriangle + many),
                         Insert("A", {0, 0, 0}, {{70, "200"}, {71, "100"}})),
                 true, false);
    ASSERT_EQ(nested.count, 1) << nested.message;
    EXPECT_EQ(nested.table[0].polygonCount, 20000);
}

}  // namespace
}  // namespace vertoko
