// 3DFACE: corners by group code, triangles, colour and layer, messages.
#include "dxf/entities/face_entity.h"

#include <gtest/gtest.h>

#include "dxf/dxf_test_support.h"

namespace vertoko {
namespace {

using test::At;
using test::Face;
using test::InEntities;
using test::LineOf;
using test::Lines;
using test::ReadText;

// Corner groups given as code / value pairs in the order listed.
std::string RawFace(std::initializer_list<std::pair<int, std::string>> groups) {
    std::string text = Lines({"  0", "3DFACE", "  8", "0"});
    for (const auto& [code, value] : groups) text += std::to_string(code) + "\n" + value + "\n";
    return text;
}

void ExpectCorners(const test::ReadResult& result, int polygon,
                   std::initializer_list<test::Corner> corners) {
    const MeshPolygon& p = *result.table[0].ptbl[polygon];
    ASSERT_EQ(p.cornerCount, static_cast<int>(corners.size()));
    int k = 0;
    for (const test::Corner& c : corners) {
        const MeshVertex& v = result.Vertex(0, p.p[k]);
        EXPECT_EQ(v.x, c.x) << "corner " << k;
        EXPECT_EQ(v.y, c.y) << "corner " << k;
        EXPECT_EQ(v.z, c.z) << "corner " << k;
        ++k;
    }
}

TEST(Face3D, FourthCornerEqualToThirdMakesTriangle) {
    auto result = ReadText(InEntities(Face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}})));
    ASSERT_EQ(result.count, 1);
    EXPECT_EQ(result.table[0].vertexCount, 3);
    ExpectCorners(result, 0, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
}

TEST(Face3D, FourthCornerEqualToFirstStaysQuad) {
    auto result = ReadText(InEntities(Face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}})));
    ASSERT_EQ(result.count, 1);
    EXPECT_EQ(result.table[0].vertexCount, 4);
    EXPECT_EQ(result.table[0].ptbl[0]->cornerCount, 4);
}

TEST(Face3D, SharedCornersAreStoredTwice) {
    auto result = ReadText(InEntities(Face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}) +
                                      Face({{1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}})));
    ASSERT_EQ(result.count, 1);
    EXPECT_EQ(result.table[0].vertexCount, 8);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(result.Corner(0, 1, k), 4 + k);
}

TEST(Face3D, CornerGroupsInAnyOrderGiveTheSameFace) {
    const std::string x0 = "1", x1 = "2", x2 = "3", y0 = "4", y1 = "5", y2 = "6", z0 = "7",
                      z1 = "8", z2 = "9";
    const std::string byAxis = RawFace(
        {{10, x0}, {11, x1}, {12, x2}, {20, y0}, {21, y1}, {22, y2}, {30, z0}, {31, z1}, {32, z2}});
    const std::string interleaved = RawFace(
        {{10, x0}, {20, y0}, {30, z0}, {11, x1}, {21, y1}, {31, z1}, {12, x2}, {22, y2}, {32, z2}});
    // Descending, as LightWave 3D writes its faces.
    const std::string descending = RawFace(
        {{32, z2}, {22, y2}, {12, x2}, {31, z1}, {21, y1}, {11, x1}, {30, z0}, {20, y0}, {10, x0}});
    for (const std::string& face : {byAxis, interleaved, descending}) {
        auto result = ReadText(InEntities(face));
        ASSERT_EQ(result.count, 1) << result.message;
        ExpectCorners(result, 0, {{1, 4, 7}, {2, 5, 8}, {3, 6, 9}});
    }
}

TEST(Face3D, DescendingQuadWithRepeatedLastCornerIsTriangle) {
    const std::string face = RawFace({{13, "1"},
                                      {23, "1"},
                                      {33, "0"},
                                      {12, "1"},
                                      {22, "1"},
                                      {32, "0"},
                                      {11, "1"},
                                      {21, "0"},
                                      {31, "0"},
                                      {10, "0"},
                                      {20, "0"},
                                      {30, "0"}});
    auto result = ReadText(InEntities(face));
    ASSERT_EQ(result.count, 1) << result.message;
    ExpectCorners(result, 0, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
}

TEST(Face3D, IncompleteFaceFailsAtTheNextGroupZero) {
    const std::string twoCorners =
        RawFace({{10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "0"}, {31, "0"}});
    const std::string text = InEntities(twoCorners);
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.message, "3DFACE data is incorrect." + At(LineOf(text, "ENDSEC") - 1));

    // A fourth corner given in part is incomplete too.
    const std::string partial = InEntities(RawFace({{10, "0"},
                                                    {20, "0"},
                                                    {30, "0"},
                                                    {11, "1"},
                                                    {21, "0"},
                                                    {31, "0"},
                                                    {12, "1"},
                                                    {22, "1"},
                                                    {32, "0"},
                                                    {13, "5"},
                                                    {23, "5"}}));
    EXPECT_EQ(ReadText(partial).message,
              "3DFACE data is incorrect." + At(LineOf(partial, "ENDSEC") - 1));
}

TEST(Face3D, LenientReadingTakesZeroForAMissingZ) {
    // Corners of X and Y only, as the oldest releases write them: refused
    // by default, Z = 0 when lenient; a missing X or Y is refused by both.
    const std::string flat = InEntities(
        RawFace({{10, "0"}, {20, "0"}, {11, "1"}, {21, "0"}, {12, "1"}, {22, "1"}, {32, "4"}}));
    EXPECT_EQ(ReadText(flat).count, 0);
    auto lenient = ReadText(flat, test::Lenient());
    ASSERT_EQ(lenient.count, 1) << lenient.message;
    ASSERT_EQ(lenient.table[0].vertexCount, 3);
    EXPECT_EQ(lenient.Vertex(0, 0).z, 0.0f);
    EXPECT_EQ(lenient.Vertex(0, 2).z, 4.0f);
    const std::string noY =
        InEntities(RawFace({{10, "0"}, {20, "0"}, {11, "1"}, {12, "1"}, {22, "1"}}));
    EXPECT_EQ(ReadText(noY, test::Lenient()).message,
              "3DFACE data is incorrect." + At(LineOf(noY, "ENDSEC") - 1));
}

TEST(Face3D, FifthCornerGroupFails) {
    const std::string text = InEntities(RawFace({{10, "0"}, {20, "0"}, {30, "0"}, {14, "1"}}));
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.message, "3DFACE data is incorrect." + At(LineOf(text, "14") + 1));
}

TEST(Face3D, NumbersAreReadLikePercentG) {
    const std::string good = InEntities(RawFace({{10, "1.5e3xyz"},
                                                 {20, "  +2"},
                                                 {30, "-.5"},
                                                 {11, "0"},
                                                 {21, "0"},
                                                 {31, "0"},
                                                 {12, "1"},
                                                 {22, "1"},
                                                 {32, "1"}}));
    auto result = ReadText(good);
    ASSERT_EQ(result.count, 1) << result.message;
    ExpectCorners(result, 0, {{1500, 2, -0.5f}, {0, 0, 0}, {1, 1, 1}});

    const std::string bad = InEntities(RawFace({{10, "0"}, {20, "abc"}}));
    EXPECT_EQ(ReadText(bad).message, "not float value." + At(LineOf(bad, "abc")));
    const std::string colour = InEntities(RawFace({{62, "BYLAYER"}}));
    EXPECT_EQ(ReadText(colour).message, "not integer value." + At(LineOf(colour, "BYLAYER")));
}

TEST(Face3D, EndOfInputMessagesNameTheLine) {
    const std::string head = Lines({"  0", "SECTION", "  2", "ENTITIES", "  0", "3DFACE", " 10"});
    auto inValue = ReadText(head);
    EXPECT_EQ(inValue.message, "file seek error." + At(8));
    auto inCode = ReadText(head + "1\n");
    EXPECT_EQ(inCode.message, "読みこみに失敗しました。" + At(9));
}

TEST(Face3D, FollowedDirectlyByAnyPair) {
    const std::vector<test::Corner> t = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    // Another 3DFACE, ENDSEC, and EOF right after a face.
    const std::string text = Lines({"  0", "SECTION", "  2", "ENTITIES"}) + Face(t) + Face(t) +
                             Lines({"  0", "ENDSEC", "  0", "SECTION", "  2", "BLOCKS"}) + Face(t) +
                             Lines({"  0", "EOF"});
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].polygonCount, 3);
    EXPECT_EQ(result.message,
              "file read end.(" + std::to_string(LineOf(text, "EOF") - 1) + " lines, 1 objects)");
}

TEST(Face3D, LongExtendedDataInsideAFaceIsDiscarded) {
    const std::string text = InEntities(RawFace({{10, "0"},
                                                 {20, "0"},
                                                 {30, "0"},
                                                 {1001, "APP"},
                                                 {1000, std::string(200, '7')},
                                                 {11, "1"},
                                                 {21, "0"},
                                                 {31, "0"},
                                                 {12, "0"},
                                                 {22, "1"},
                                                 {32, "0"}}));
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1) << result.message;
    ExpectCorners(result, 0, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    // As in the driver, each extended-data pair counts three lines.
    EXPECT_EQ(result.message, "file read end.(" + std::to_string(LineOf(text, "EOF") - 1 + 2) +
                                  " lines, 1 objects)");
}

TEST(Face3D, MissingColourIsItsOwnKey) {
    const std::vector<test::Corner> t = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    auto result =
        ReadText(InEntities(Face(t, "WALL", 7) + Face(t, "WALL") + Face(t, "WALL", 7)), 1);
    ASSERT_EQ(result.count, 2);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    EXPECT_EQ(result.table[1].polygonCount, 1);
}

TEST(Face3D, FaceWithoutLayerJoinsLayerZero) {
    const std::string noLayer =
        Lines({"  0", "3DFACE", " 10", "0", " 20", "0", " 30", "0", " 11", "1",
               " 21", "0",      " 31", "0", " 12", "0", " 22", "1", " 32", "0"});
    auto result = ReadText(InEntities(noLayer + Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "0")), 1);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].polygonCount, 2);
}

}  // namespace
}  // namespace vertoko
