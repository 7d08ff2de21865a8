// LINE, CIRCLE, ARC, SOLID, TRACE, LWPOLYLINE and 2D POLYLINE fed as pairs
// through both sources: corners computed by hand, the groups that do and do
// not count, the messages of bad values, and the 2D polyline's place in
// the strict and lenient readings.
#include <gtest/gtest.h>

#include <cmath>

#include "dxf/dxf_test_support.h"
#include "dxf/entities/circle_entity.h"
#include "dxf/entities/curve_points.h"
#include "dxf/entities/line_entity.h"
#include "dxf/entities/lwpolyline_entity.h"
#include "dxf/entities/polyline_entity.h"
#include "dxf/entities/solid_entity.h"
#include "dxf/pair_feed.h"

namespace vertoko {
namespace {

using test::PairList;
using Point = std::vector<float>;

ReaderOptions Thick(std::int32_t segments = 32) {
    ReaderOptions options;
    options.dxfThick = 1;
    options.dxfSegments = segments;
    return options;
}

// Feeds the entity through the text and the binary source; check sees each.
template <typename Parse, typename Check>
void FeedBoth(const std::string& entity, const PairList& pairs, Parse parse, Check check,
              const ReaderOptions& options = Thick()) {
    PairList all = pairs;
    all.push_back({0, "EOF"});
    check(*test::FeedText(entity, all, parse, options));
    check(*test::FeedBinary(entity, all, parse, options));
}

const auto kLine = [](ReadContext& c, auto& p) { return ReadLine(c, p); };
const auto kCircle = [](ReadContext& c, auto& p) { return ReadCircle(c, p, false); };
const auto kArc = [](ReadContext& c, auto& p) { return ReadCircle(c, p, true); };
const auto kSolid = [](ReadContext& c, auto& p) { return ReadSolid(c, p); };
const auto kLwPolyline = [](ReadContext& c, auto& p) { return ReadLwPolyline(c, p); };

void ExpectNear(const Point& got, const Point& want) {
    ASSERT_EQ(got.size(), 3u);
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(got[axis], want[axis], 1e-6) << axis;
}

// The polygon's normal by Newell's method, unnormalised.
Point Normal(const test::Fed& fed, int polygon, int corners) {
    Point n = {0, 0, 0};
    for (int k = 0; k < corners; ++k) {
        const Point a = fed.Corner(0, polygon, k);
        const Point b = fed.Corner(0, polygon, (k + 1) % corners);
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return n;
}

TEST(ThickLine, WallFromBothEndsUpByTheThickness) {
    FeedBoth("LINE",
             {{8, "Walls"},
              {10, "1"},
              {20, "2"},
              {30, "3"},
              {11, "4"},
              {21, "6"},
              {31, "3"},
              {39, "2.5"}},
             kLine, [](const test::Fed& fed) {
                 ASSERT_TRUE(fed.ok) << fed.context.message;
                 EXPECT_EQ(fed.Slot(0).vertexCount, 4);
                 ASSERT_EQ(fed.Slot(0).polygonCount, 1);
                 EXPECT_EQ(fed.Corner(0, 0, 0), (Point{1, 2, 3}));
                 EXPECT_EQ(fed.Corner(0, 0, 1), (Point{4, 6, 3}));
                 EXPECT_EQ(fed.Corner(0, 0, 2), (Point{4, 6, 5.5f}));
                 EXPECT_EQ(fed.Corner(0, 0, 3), (Point{1, 2, 5.5f}));
             });
}

TEST(ThickLine, ThicknessFollowsTheExtrusionDirectionAndItsSign) {
    // Extrusion (0, 0, -1) turns a positive thickness down; a negative one
    // along an oblique direction goes the other way along it. The ends
    // themselves are world coordinates either way.
    FeedBoth("LINE", {{10, "0"}, {11, "1"}, {39, "2"}, {230, "-1"}}, kLine,
             [](const test::Fed& fed) {
                 ASSERT_TRUE(fed.ok);
                 EXPECT_EQ(fed.Corner(0, 0, 0), (Point{0, 0, 0}));
                 EXPECT_EQ(fed.Corner(0, 0, 2), (Point{1, 0, -2}));
             });
    FeedBoth("LINE", {{10, "0"}, {11, "1"}, {39, "-5"}, {210, "0"}, {220, "3"}, {230, "4"}}, kLine,
             [](const test::Fed& fed) {
                 ASSERT_TRUE(fed.ok);
                 ExpectNear(fed.Corner(0, 0, 3), {0, -3, -4});
             });
}

TEST(ThickLine, NoThicknessOrNoLengthAddsNothing) {
    FeedBoth("LINE", {{10, "0"}, {11, "1"}, {21, "1"}}, kLine, [](const test::Fed& fed) {
        ASSERT_TRUE(fed.ok);
        EXPECT_EQ(fed.Slot(0).vertexCount, 0);
    });
    FeedBoth("LINE", {{10, "1"}, {11, "1"}, {39, "1"}}, kLine, [](const test::Fed& fed) {
        ASSERT_TRUE(fed.ok);
        EXPECT_EQ(fed.Slot(0).polygonCount, 0);
    });
}

TEST(ThickCircle, QuarterTurnsOfASquareCylinder) {
    // Four segments: points at 0, 90, 180 and 270 degrees, the closing wall
    // back to the first point's vertices; a negative radius counts as its
    // size.
    FeedBoth(
        "CIRCLE", {{10, "1"}, {20, "2"}, {30, "3"}, {40, "-2"}, {39, "1"}}, kCircle,
        [](const test::Fed& fed) {
            ASSERT_TRUE(fed.ok) << fed.context.message;
            EXPECT_EQ(fed.Slot(0).vertexCount, 8);
            ASSERT_EQ(fed.Slot(0).polygonCount, 4);
            ExpectNear(fed.Corner(0, 0, 0), {3, 2, 3});
            ExpectNear(fed.Corner(0, 0, 1), {1, 4, 3});
            ExpectNear(fed.Corner(0, 1, 1), {-1, 2, 3});
            ExpectNear(fed.Corner(0, 2, 2), {1, 0, 4});
            ExpectNear(fed.Corner(0, 3, 1), {3, 2, 3});
            EXPECT_EQ(fed.Slot(0).polygonTail->p[1], 0);
            // Counter-clockwise from the thick side: the walls face out.
            const Point n = Normal(fed, 0, 4);
            EXPECT_GT(n[0], 0);
            EXPECT_GT(n[1], 0);
        },
        Thick(4));
}

TEST(ThickCircle, CentreInTheEntitysCoordinateSystem) {
    // Extrusion (0, 0, -1): the arbitrary axis algorithm gives the X axis
    // (-1, 0, 0), so the centre (1, 2, 3) stands at (-1, 2, -3) and the
    // first point, at angle 0, one radius further along -X.
    FeedBoth(
        "CIRCLE", {{10, "1"}, {20, "2"}, {30, "3"}, {40, "1"}, {39, "2"}, {230, "-1"}}, kCircle,
        [](const test::Fed& fed) {
            ASSERT_TRUE(fed.ok);
            EXPECT_EQ(fed.Slot(0).vertexCount, 16);
            ExpectNear(fed.Corner(0, 0, 0), {-2, 2, -3});
            ExpectNear(fed.Corner(0, 0, 3), {-2, 2, -5});
        },
        Thick(8));
}

TEST(ThickCircle, ResolutionIsHeldToItsRange) {
    const PairList circle = {{40, "1"}, {39, "1"}};
    FeedBoth(
        "CIRCLE", circle, kCircle,
        [](const test::Fed& fed) { EXPECT_EQ(fed.Slot(0).polygonCount, 3); }, Thick(0));
    FeedBoth(
        "CIRCLE", circle, kCircle,
        [](const test::Fed& fed) { EXPECT_EQ(fed.Slot(0).polygonCount, 1024); }, Thick(100000));
}

TEST(ThickArc, ShareOfTheCircleRoundedUpEndsIncluded) {
    // 32 per circle: a half circle takes 16 segments, 17 points.
    FeedBoth("ARC", {{40, "2"}, {50, "0"}, {51, "180"}, {39, "1"}}, kArc, [](const test::Fed& fed) {
        ASSERT_TRUE(fed.ok);
        EXPECT_EQ(fed.Slot(0).vertexCount, 34);
        ASSERT_EQ(fed.Slot(0).polygonCount, 16);
        ExpectNear(fed.Corner(0, 0, 0), {2, 0, 0});
        ExpectNear(fed.Corner(0, 15, 1), {-2, 0, 0});
    });
    // From 350 to 10 degrees over zero: 20 degrees, 2 of 32 segments.
    FeedBoth("ARC", {{40, "1"}, {50, "350"}, {51, "10"}, {39, "1"}}, kArc,
             [](const test::Fed& fed) {
                 EXPECT_EQ(fed.Slot(0).polygonCount, 2);
                 const float c = std::cos(10.0 * M_PI / 180.0);
                 const float s = std::sin(10.0 * M_PI / 180.0);
                 ExpectNear(fed.Corner(0, 0, 0), {c, -s, 0});
                 ExpectNear(fed.Corner(0, 0, 1), {1, 0, 0});
                 ExpectNear(fed.Corner(0, 1, 1), {c, s, 0});
             });
    // Equal angles draw nothing; angles a whole turn apart a full circle.
    FeedBoth("ARC", {{40, "1"}, {50, "30"}, {51, "30"}, {39, "1"}}, kArc,
             [](const test::Fed& fed) { EXPECT_EQ(fed.Slot(0).vertexCount, 0); });
    FeedBoth("ARC", {{40, "1"}, {50, "0"}, {51, "360"}, {39, "1"}}, kArc,
             [](const test::Fed& fed) { EXPECT_EQ(fed.Slot(0).polygonCount, 32); });
}

TEST(ArcSegments, ShareRoundedUpAndKeptInRange) {
    EXPECT_EQ(ArcSegments(M_PI, 32), 16);
    EXPECT_EQ(ArcSegments(M_PI * (1 + 1e-12), 32), 16);  // a hair above counts as met
    EXPECT_EQ(ArcSegments(M_PI * (1 + 1e-6), 32), 17);
    EXPECT_EQ(ArcSegments(-M_PI / 2, 32), 8);  // clockwise counts its size
    EXPECT_EQ(ArcSegments(1e-9, 32), 1);
    EXPECT_EQ(ArcSegments(4 * M_PI, 32), 32);
    EXPECT_EQ(ArcSegments(std::nan(""), 32), 1);
    EXPECT_EQ(ArcSegments(M_PI, 1), 2);  // held to 3 per circle
    EXPECT_EQ(ArcSpanDegrees(-90, 90), 180);
    EXPECT_EQ(ArcSpanDegrees(90, -90), 180);
    EXPECT_EQ(ArcSpanDegrees(180, -180), 360);
    EXPECT_EQ(ArcSpanDegrees(10, 370), 360);
    EXPECT_EQ(ArcSpanDegrees(720, 720), 0);
}

TEST(Solid, CornersGoRoundOneTwoFourThree) {
    for (const char* name : {"SOLID", "TRACE"}) {
        FeedBoth(name,
                 {{10, "0"},
                  {20, "0"},
                  {30, "1"},
                  {11, "2"},
                  {21, "0"},
                  {31, "1"},
                  {12, "0"},
                  {22, "3"},
                  {32, "1"},
                  {13, "2"},
                  {23, "3"},
                  {33, "1"}},
                 kSolid, [](const test::Fed& fed) {
                     ASSERT_TRUE(fed.ok) << fed.context.message;
                     ASSERT_EQ(fed.Slot(0).polygonCount, 1);
                     EXPECT_EQ(fed.Slot(0).polygonHead->cornerCount, 4);
                     EXPECT_EQ(fed.Corner(0, 0, 1), (Point{2, 0, 1}));
                     EXPECT_EQ(fed.Corner(0, 0, 2), (Point{2, 3, 1}));
                     EXPECT_EQ(fed.Corner(0, 0, 3), (Point{0, 3, 1}));
                 });
    }
}

TEST(Solid, FourthCornerAsTheThirdOrLeftOutMakesATriangle) {
    const PairList three = {{10, "0"}, {20, "0"}, {11, "2"}, {21, "0"}, {12, "0"}, {22, "3"}};
    PairList repeated = three;
    repeated.insert(repeated.end(), {{13, "0"}, {23, "3"}});
    for (const PairList& pairs : {three, repeated}) {
        FeedBoth("SOLID", pairs, kSolid, [](const test::Fed& fed) {
            ASSERT_TRUE(fed.ok);
            EXPECT_EQ(fed.Slot(0).vertexCount, 3);
            EXPECT_EQ(fed.Corner(0, 0, 2), (Point{0, 3, 0}));
        });
    }
}

TEST(Solid, ThickIsAClosedPrismFacingOut) {
    // Corners given clockwise seen from above, thickness up, then the same
    // counter-clockwise with thickness down: both prisms face out, bottom
    // and top first, then one side per edge.
    const PairList clockwise = {{10, "0"}, {20, "0"}, {11, "0"}, {21, "3"},
                                {12, "2"}, {22, "0"}, {13, "2"}, {23, "3"}};
    const PairList counter = {{10, "0"}, {20, "0"}, {11, "2"}, {21, "0"},
                              {12, "0"}, {22, "3"}, {13, "2"}, {23, "3"}};
    for (const auto& [pairs, thickness] : {std::pair{clockwise, "2"}, std::pair{counter, "-2"}}) {
        PairList all = pairs;
        all.push_back({39, thickness});
        const bool up = std::string(thickness) == "2";
        FeedBoth("SOLID", all, kSolid, [up](const test::Fed& fed) {
            ASSERT_TRUE(fed.ok);
            EXPECT_EQ(fed.Slot(0).vertexCount, 8);
            ASSERT_EQ(fed.Slot(0).polygonCount, 6);
            for (int k = 0; k < 4; ++k) EXPECT_EQ(fed.Corner(0, 0, k)[2], 0.0f);
            for (int k = 0; k < 4; ++k) EXPECT_EQ(fed.Corner(0, 1, k)[2], up ? 2.0f : -2.0f);
            EXPECT_LT(Normal(fed, 0, 4)[2] * (up ? 1 : -1), 0);  // away from the top
            EXPECT_GT(Normal(fed, 1, 4)[2] * (up ? 1 : -1), 0);
            // Each side's normal points away from the centre (1, 1.5).
            for (int side = 2; side < 6; ++side) {
                const Point n = Normal(fed, side, 4);
                Point middle = {0, 0, 0};
                for (int k = 0; k < 4; ++k) {
                    for (int axis = 0; axis < 3; ++axis)
                        middle[axis] += fed.Corner(0, side, k)[axis] / 4;
                }
                EXPECT_GT(n[0] * (middle[0] - 1) + n[1] * (middle[1] - 1.5f), 0) << side;
            }
        });
    }
}

TEST(LwPolyline, BulgesAsArcsBothWays) {
    // (0, 0) to (2, 0) with bulge 1, a half circle counter-clockwise: below
    // the chord; with -1 above it. Four segments per circle: two here.
    for (const auto& [bulge, y] : {std::pair{"1", -1.0f}, std::pair{"-1", 1.0f}}) {
        FeedBoth(
            "LWPOLYLINE",
            {{90, "2"},
             {70, "0"},
             {39, "1"},
             {10, "0"},
             {20, "0"},
             {42, bulge},
             {10, "2"},
             {20, "0"}},
            kLwPolyline,
            [y = y](const test::Fed& fed) {
                ASSERT_TRUE(fed.ok) << fed.context.message;
                EXPECT_EQ(fed.Slot(0).vertexCount, 6);
                ASSERT_EQ(fed.Slot(0).polygonCount, 2);
                ExpectNear(fed.Corner(0, 0, 1), {1, y, 0});
                EXPECT_EQ(fed.Corner(0, 1, 1), (Point{2, 0, 0}));
            },
            Thick(4));
    }
}

TEST(LwPolyline, ClosedElevatedAndWidthsIgnored) {
    // A closed square at elevation 2: four walls, the last back to the
    // first vertices; widths change nothing; a 20 or 42 before any 10
    // belongs to no vertex.
    FeedBoth("LWPOLYLINE",
             {{20, "7"},
              {42, "3"},
              {70, "1"},
              {38, "2"},
              {43, "0.5"},
              {10, "0"},
              {20, "0"},
              {40, "1"},
              {41, "2"},
              {10, "1"},
              {20, "0"},
              {10, "1"},
              {20, "1"},
              {10, "0"},
              {20, "1"},
              {39, "3"}},
             kLwPolyline, [](const test::Fed& fed) {
                 ASSERT_TRUE(fed.ok) << fed.context.message;
                 EXPECT_EQ(fed.Slot(0).vertexCount, 8);
                 ASSERT_EQ(fed.Slot(0).polygonCount, 4);
                 EXPECT_EQ(fed.Corner(0, 0, 0), (Point{0, 0, 2}));
                 EXPECT_EQ(fed.Corner(0, 0, 2), (Point{1, 0, 5}));
                 EXPECT_EQ(fed.Slot(0).polygonTail->p[0], 6);
                 EXPECT_EQ(fed.Slot(0).polygonTail->p[1], 0);
             });
    // A repeated point adds no vertices and no wall; the closing point
    // equal to the first adds no closing wall.
    FeedBoth("LWPOLYLINE",
             {{70, "1"},
              {39, "1"},
              {10, "0"},
              {20, "0"},
              {10, "1"},
              {20, "0"},
              {10, "1"},
              {20, "0"},
              {10, "0"},
              {20, "0"}},
             kLwPolyline, [](const test::Fed& fed) {
                 EXPECT_EQ(fed.Slot(0).vertexCount, 6);
                 EXPECT_EQ(fed.Slot(0).polygonCount, 2);
             });
}

TEST(ExtrudedEntities, BadValuesAreRefusedWithTheirLine) {
    // Pairs "0 / LINE", then 10 at lines 3 and 4, 39 at 5 and 6.
    auto fed = test::FeedText("LINE", {{10, "1"}, {39, "thick"}, {0, "EOF"}}, kLine, Thick());
    EXPECT_FALSE(fed->ok);
    EXPECT_EQ(fed->context.message, "not float value.(L6)");
    fed = test::FeedText("CIRCLE", {{62, "red"}, {0, "EOF"}}, kCircle, Thick());
    EXPECT_EQ(fed->context.message, "not integer value.(L4)");
    fed = test::FeedText("SOLID", {{10, "1"}}, kSolid, Thick());
    EXPECT_FALSE(fed->ok);
    EXPECT_EQ(fed->context.message, "読みこみに失敗しました。(L5)");
}

TEST(ExtrudedEntities, KeyedByLayerAndColour) {
    ReaderOptions options = Thick();
    options.dxfMulti = 1;
    FeedBoth(
        "SOLID", {{8, "slab"}, {62, "5"}, {11, "1"}, {12, "0"}, {22, "1"}}, kSolid,
        [](const test::Fed& fed) {
            ASSERT_EQ(fed.Objects(), 1);
            EXPECT_EQ(fed.context.layers.Value(fed.Slot(0).layer), "slab");
            EXPECT_EQ(fed.Slot(0).color, 5);
        },
        options);
}

// A 2D polyline: header, vertices (x, y, bulge, flags), SEQEND.
std::string Polyline2D(int flags, const std::string& more,
                       std::initializer_list<std::tuple<float, float, float, int>> vertices) {
    std::string text = test::Lines({"0", "POLYLINE", "8", "0", "66", "1", "10", "0", "20", "0",
                                    "30", "1.5", "70", std::to_string(flags)}) +
                       more;
    for (const auto& [x, y, bulge, vflags] : vertices) {
        text +=
            test::Lines({"0", "VERTEX", "8", "0", "10", std::to_string(x), "20", std::to_string(y),
                         "42", std::to_string(bulge), "70", std::to_string(vflags)});
    }
    return text + test::Lines({"0", "SEQEND"});
}

TEST(Polyline2D, WallsAtItsElevationWhenThicknessIsRead) {
    const std::string drawing = test::InEntities(
        Polyline2D(1, test::Lines({"39", "2"}), {{0, 0, 0, 0}, {2, 0, 0, 0}, {2, 2, 0, 0}}));
    ReaderOptions options = Thick();
    options.dxfClv = 0;
    const auto result = test::ReadText(drawing, options);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 6);
    EXPECT_EQ(result.table[0].polygonCount, 3);  // closed: back to the first point
    EXPECT_EQ(result.Vertex(0, 0).z, 1.5f);
    EXPECT_EQ(result.Vertex(0, 1).z, 3.5f);
    EXPECT_EQ(result.unconverted, "");
    // Without the option the drawing is refused as before.
    const auto refused = test::ReadText(drawing, 0);
    EXPECT_EQ(refused.count, 0);
    EXPECT_TRUE(refused.refusedSkippable);
}

TEST(Polyline2D, WithoutThicknessAddsNothingAndIsCountedInEitherReading) {
    const std::string drawing = test::InEntities(Polyline2D(0, "", {{0, 0, 0, 0}, {2, 0, 0, 0}}) +
                                                 Polyline2D(0, "", {{0, 0, 0, 0}, {2, 0, 0, 0}}));
    for (int skip = 0; skip < 2; ++skip) {
        ReaderOptions options = Thick();
        options.dxfSkip = skip;
        const auto result = test::ReadText(drawing, options);
        ASSERT_EQ(result.count, 1) << result.message;
        EXPECT_EQ(result.table[0].vertexCount, 0);
        EXPECT_EQ(result.unconverted, "変換しなかった図形：POLYLINE(厚みなし) = 2");
    }
}

TEST(Polyline2D, FittedVerticesOnTheLineFrameControlPointsNot) {
    // A spline-fit polyline (4): the frame control points (16) steer the
    // curve and stay out; the fitted vertices (8) and a curve-fit vertex
    // (1) are on it.
    const std::string drawing = test::InEntities(
        Polyline2D(4, test::Lines({"39", "1"}),
                   {{0, 0, 0, 16}, {5, 5, 0, 16}, {0, 0, 0, 8}, {1, 0, 0, 8}, {1, 1, 0, 1}}));
    ReaderOptions options = Thick();
    options.dxfClv = 0;
    const auto result = test::ReadText(drawing, options);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 6);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    EXPECT_EQ(result.Vertex(0, 4).x, 1.0f);
    EXPECT_EQ(result.Vertex(0, 4).y, 1.0f);
}

TEST(Polyline2D, OtherKindsUnchangedWhenThicknessIsRead) {
    // A closed 3D polyline is still its polygon; a spline-fit 3D polyline
    // is still refused, or skipped and counted as such.
    const std::string closed3D = test::Lines({"0", "POLYLINE", "66", "1", "70", "9"}) +
                                 test::Lines({"0", "VERTEX", "10", "0", "20", "0", "70", "32"}) +
                                 test::Lines({"0", "VERTEX", "10", "1", "20", "0", "70", "32"}) +
                                 test::Lines({"0", "VERTEX", "10", "1", "20", "1", "70", "32"}) +
                                 test::Lines({"0", "SEQEND"});
    const std::string fitted3D = test::Lines({"0", "POLYLINE", "66", "1", "70", "12"}) +
                                 test::Lines({"0", "VERTEX", "10", "0", "70", "32"}) +
                                 test::Lines({"0", "SEQEND"});
    ReaderOptions options = Thick();
    auto result = test::ReadText(test::InEntities(closed3D), options);
    ASSERT_EQ(result.count, 1);
    EXPECT_EQ(result.table[0].polygonCount, 1);
    result = test::ReadText(test::InEntities(fitted3D), options);
    EXPECT_EQ(result.count, 0);
    EXPECT_TRUE(result.refusedSkippable);
    options.dxfSkip = 1;
    result = test::ReadText(test::InEntities(fitted3D), options);
    EXPECT_EQ(result.unconverted, "変換しなかった図形：POLYLINE(読み飛ばし) = 1");
}

TEST(Polyline2D, GroupsOfThePathAreNotReadWithoutTheOption) {
    // With the option off a bad thickness or bulge is not looked at: the
    // polyline is refused for its kind, not for the number.
    const std::string drawing =
        test::InEntities(Polyline2D(0, test::Lines({"39", "high"}), {{0, 0, 0, 0}}));
    const auto result = test::ReadText(drawing, 0);
    EXPECT_NE(result.message.find("POLYLINE:対応していない形式です."), std::string::npos)
        << result.message;
    ReaderOptions options = Thick();
    EXPECT_NE(test::ReadText(drawing, options).message.find("POLYLINE:Invalid data."),
              std::string::npos);
}

}  // namespace
}  // namespace vertoko
