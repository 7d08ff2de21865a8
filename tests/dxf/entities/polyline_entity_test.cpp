// POLYLINE: polyface meshes, polygon meshes, 3D polylines, the refused
// kinds, and the checks that keep corner indices inside their object.
#include "dxf/entities/polyline_entity.h"

#include <gtest/gtest.h>

#include "dxf/dxf_reader.h"
#include "dxf/dxf_test_support.h"
#include "dxf/pair_feed.h"

namespace vertoko {
namespace {

using test::At;
using test::Face;
using test::InEntities;
using test::LineOf;
using test::Lines;
using test::ReadText;

struct Group {
    int code;
    std::string value;
};

std::string Groups(std::initializer_list<Group> groups) {
    std::string text;
    for (const Group& g : groups) text += std::to_string(g.code) + "\n" + g.value + "\n";
    return text;
}

std::string Header(int flags, std::initializer_list<Group> more = {}) {
    std::string text =
        Groups({{0, "POLYLINE"}, {8, "MESH"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "0"}});
    text += Groups({{70, std::to_string(flags)}});
    for (const Group& g : more) text += Groups({g});
    return text;
}

std::string Vertex(float x, float y, float z, int flags) {
    return Groups({{0, "VERTEX"},
                   {8, "MESH"},
                   {10, std::to_string(x)},
                   {20, std::to_string(y)},
                   {30, std::to_string(z)},
                   {70, std::to_string(flags)}});
}

std::string FaceRecord(std::initializer_list<int> numbers) {
    std::string text =
        Groups({{0, "VERTEX"}, {8, "MESH"}, {10, "0"}, {20, "0"}, {30, "0"}, {70, "128"}});
    int code = 71;
    for (int n : numbers) text += Groups({{code++, std::to_string(n)}});
    return text;
}

const std::string kSeqend = Groups({{0, "SEQEND"}, {8, "OTHER"}, {62, "3"}});

// Four corners of a unit square as polyface vertices.
std::string SquareVertices() {
    return Vertex(0, 0, 0, 192) + Vertex(1, 0, 0, 192) + Vertex(1, 1, 0, 192) +
           Vertex(0, 1, 0, 192);
}

void ExpectPolygon(const test::ReadResult& result, int index, std::vector<int> corners) {
    const MeshPolygon& p = *result.table[0].ptbl[index];
    ASSERT_EQ(p.cornerCount, static_cast<int>(corners.size())) << "polygon " << index;
    for (std::size_t k = 0; k < corners.size(); ++k)
        EXPECT_EQ(p.p[k], corners[k]) << "polygon " << index;
}

TEST(Polyface, VerticesAndTrianglesShareTheMesh) {
    auto result = ReadText(InEntities(Header(64) + SquareVertices() + FaceRecord({1, 2, 3}) +
                                      FaceRecord({1, 3, 4}) + kSeqend));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 4);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    ExpectPolygon(result, 0, {0, 1, 2});
    ExpectPolygon(result, 1, {0, 2, 3});
    EXPECT_EQ(result.Vertex(0, 2).x, 1.0f);
    EXPECT_EQ(result.Vertex(0, 2).y, 1.0f);
}

TEST(Polyface, NegativeNumbersCountAndRepeatedFourthMakesTriangle) {
    auto result = ReadText(InEntities(Header(64) + SquareVertices() + FaceRecord({1, -2, 3, 4}) +
                                      FaceRecord({1, -2, 3, 3}) + kSeqend));
    ASSERT_EQ(result.count, 1) << result.message;
    ExpectPolygon(result, 0, {0, 1, 2, 3});
    ExpectPolygon(result, 1, {0, 1, 2});
}

TEST(Polyface, LaterMeshesAreShiftedByEverythingBefore) {
    const std::string mesh = Header(64) + SquareVertices() + FaceRecord({2, 3, 4}) + kSeqend;
    auto result = ReadText(InEntities(Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + mesh + mesh));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 3 + 4 + 4);
    ExpectPolygon(result, 1, {4, 5, 6});
    ExpectPolygon(result, 2, {8, 9, 10});
}

TEST(Polyface, ZeroNumbersAreAbsentCorners) {
    // The corners are the nonzero numbers in order; fewer than three make
    // an edge (as AutoCAD writes "72 0 / 73 0"), which adds no polygon.
    const std::string text = InEntities(
        Header(64) + SquareVertices() + FaceRecord({1, 0, 3, 4}) + FaceRecord({0, 2, 3, 4}) +
        FaceRecord({1, 2, 0, 0}) + FaceRecord({0, 0, 0, 0}) + FaceRecord({4, 0, 0, 0}) + kSeqend);
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].polygonCount, 2);
    ExpectPolygon(result, 0, {0, 2, 3});
    ExpectPolygon(result, 1, {1, 2, 3});
}

TEST(Polyface, FaceNumbersOutsideTheMeshAreRefused) {
    // 5 lies beyond the four vertices of the mesh.
    const std::string beyond =
        InEntities(Header(64) + SquareVertices() + FaceRecord({1, 2, 5}) + kSeqend);
    auto second = ReadText(beyond);
    EXPECT_EQ(second.count, 0);
    EXPECT_EQ(second.message, "POLYLINE:Invalid data." + At(LineOf(beyond, "SEQEND")));
}

TEST(Polyface, RecordsWithFewerThanThreeNumbersAddNoFace) {
    // The short records must not borrow the numbers of the record before.
    const std::string text =
        InEntities(Header(64) + SquareVertices() + FaceRecord({1, 2, 3}) + FaceRecord({4}) +
                   FaceRecord({3, 4}) + FaceRecord({2, 3, 4}) + kSeqend);
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].polygonCount, 2);
    ExpectPolygon(result, 0, {0, 1, 2});
    ExpectPolygon(result, 1, {1, 2, 3});
}

TEST(Polyface, ZeroFourthNumberMeansTriangle) {
    auto result =
        ReadText(InEntities(Header(64) + SquareVertices() + FaceRecord({1, 2, 3, 0}) + kSeqend));
    ASSERT_EQ(result.count, 1) << result.message;
    ExpectPolygon(result, 0, {0, 1, 2});
}

TEST(Polyface, MeshWithoutFacesAddsItsVertices) {
    auto result = ReadText(InEntities(Header(64) + SquareVertices() + kSeqend));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 4);
    EXPECT_EQ(result.table[0].polygonCount, 0);
}

// An M x N polygon mesh with vertex (i, j) at (i, j, 0).
std::string Grid(int flags, int m, int n, int vertices = -1) {
    std::string text = Header(flags, {{71, std::to_string(m)}, {72, std::to_string(n)}});
    if (vertices < 0) vertices = m * n;
    for (int v = 0; v < vertices; ++v)
        text += Vertex(static_cast<float>(v / n), static_cast<float>(v % n), 0, 64);
    return text + kSeqend;
}

TEST(PolygonMesh, QuadCountsFollowTheClosingFlags) {
    struct Case {
        int flags;
        int quads;
    };
    for (const Case c : {Case{16, 6}, Case{48, 8}, Case{17, 9}, Case{49, 12}}) {
        auto result = ReadText(InEntities(Grid(c.flags, 3, 4)));
        ASSERT_EQ(result.count, 1) << result.message;
        EXPECT_EQ(result.table[0].vertexCount, 12) << "flags " << c.flags;
        EXPECT_EQ(result.table[0].polygonCount, c.quads) << "flags " << c.flags;
    }
}

TEST(PolygonMesh, QuadsRunRowByRowWithClosingQuadsLast) {
    // v(i, j) = i * 4 + j for M = 3, N = 4.
    auto result = ReadText(InEntities(Grid(49, 3, 4)));
    ASSERT_EQ(result.count, 1) << result.message;
    ExpectPolygon(result, 0, {0, 1, 5, 4});
    ExpectPolygon(result, 3, {3, 0, 4, 7});     // row 0 closed in N
    ExpectPolygon(result, 8, {8, 9, 1, 0});     // row 2 joined to row 0
    ExpectPolygon(result, 10, {10, 11, 3, 2});  // last of them
    ExpectPolygon(result, 11, {11, 8, 0, 3});   // the corner quad
}

TEST(PolygonMesh, MeshSizeMustMatchItsVertices) {
    const std::string fewer = InEntities(Grid(16, 3, 4, 11));
    auto result = ReadText(fewer);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.message, "POLYLINE:Invalid data." + At(LineOf(fewer, "SEQEND")));
    EXPECT_EQ(ReadText(InEntities(Grid(17, 0, 4, 0))).count, 0);
    EXPECT_EQ(ReadText(InEntities(Grid(16, -2, -3, 6))).count, 0);
}

TEST(PolygonMesh, SizeGroupsBeforeTheFlagsCount) {
    std::string text =
        Groups({{0, "POLYLINE"}, {8, "MESH"}, {66, "1"}, {71, "2"}, {72, "2"}, {70, "16"}});
    for (int v = 0; v < 4; ++v)
        text += Vertex(static_cast<float>(v / 2), static_cast<float>(v % 2), 0, 64);
    auto result = ReadText(InEntities(text + kSeqend));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].polygonCount, 1);
}

TEST(PolygonMesh, VertexWithoutBit64Fails) {
    const std::string text =
        InEntities(Header(16, {{71, "2"}, {72, "2"}}) + Vertex(0, 0, 0, 64) + Vertex(0, 1, 0, 32) +
                   Vertex(1, 0, 0, 64) + Vertex(1, 1, 0, 64) + kSeqend);
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    // The record ends at the group 0 of the third vertex.
    const int second = LineOf(text, "VERTEX", LineOf(text, "VERTEX"));
    EXPECT_EQ(result.message, "POLYLINE:Invalid data flag." + At(LineOf(text, "VERTEX", second)));
}

TEST(Polyline3D, ClosedGivesOnePolygonOpenGivesNone) {
    std::string vertices;
    for (int v = 0; v < 5; ++v)
        vertices += Vertex(static_cast<float>(v), static_cast<float>(v * v), 0, 32);
    auto closed = ReadText(InEntities(Header(9) + vertices + kSeqend));
    ASSERT_EQ(closed.count, 1) << closed.message;
    EXPECT_EQ(closed.table[0].vertexCount, 5);
    ExpectPolygon(closed, 0, {0, 1, 2, 3, 4});
    auto open = ReadText(InEntities(Header(8) + vertices + kSeqend));
    ASSERT_EQ(open.count, 1) << open.message;
    EXPECT_EQ(open.table[0].vertexCount, 5);
    EXPECT_EQ(open.table[0].polygonCount, 0);
}

TEST(Polyline3D, ClosedWithFewerThanThreeVerticesAddsNoPolygon) {
    auto result =
        ReadText(InEntities(Header(9) + Vertex(0, 0, 0, 32) + Vertex(1, 0, 0, 32) + kSeqend));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 2);
    EXPECT_EQ(result.table[0].polygonCount, 0);
}

TEST(Polyline3D, HeaderElevationRaisesEveryVertex) {
    const std::string header =
        Groups({{0, "POLYLINE"}, {66, "1"}, {10, "0"}, {20, "0"}, {30, "2.5"}, {70, "8"}});
    auto result =
        ReadText(InEntities(header + Vertex(1, 2, 0, 32) + Vertex(3, 4, 1, 32) + kSeqend));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.Vertex(0, 0).z, 2.5f);
    EXPECT_EQ(result.Vertex(0, 1).z, 3.5f);
    EXPECT_EQ(result.Vertex(0, 1).x, 3.0f);
}

// Some writers leave group 70 out of the vertices of a 3D polyline, as DXF
// allows for a zero; the polyline's own flag tells what they are.
TEST(Polyline3D, VerticesWithoutFlagsFollowThePolylinesFlag) {
    auto vertex = [](const char* x, const char* y) {
        return test::PairList{{0, "VERTEX"}, {8, "P"}, {10, x}, {20, y}, {30, "0.5"}};
    };
    auto polyline = [&](int flags, std::initializer_list<test::PairList> vertices) {
        test::PairList pairs{{8, "P"}, {66, "1"}, {70, std::to_string(flags)}};
        for (const auto& v : vertices) pairs.insert(pairs.end(), v.begin(), v.end());
        pairs.push_back({0, "SEQEND"});
        return pairs;
    };
    const auto read = [](ReadContext& c, auto& pairs) { return ReadPolyline(c, pairs); };
    const auto closed = polyline(9, {vertex("0", "0"), vertex("1", "0"), vertex("1", "1")});
    const auto open = polyline(8, {vertex("0", "0"), vertex("1", "0")});
    for (const auto& fed :
         {test::FeedText("POLYLINE", closed, read), test::FeedBinary("POLYLINE", closed, read)}) {
        ASSERT_TRUE(fed->ok) << fed->context.message;
        EXPECT_EQ(fed->Slot(0).vertexCount, 3);
        ASSERT_EQ(fed->Slot(0).polygonCount, 1);
        EXPECT_EQ(fed->Corner(0, 0, 2), (std::vector<float>{1, 1, 0.5f}));
    }
    auto openRead = test::FeedText("POLYLINE", open, read);
    ASSERT_TRUE(openRead->ok) << openRead->context.message;
    EXPECT_EQ(openRead->Slot(0).vertexCount, 2);
    EXPECT_EQ(openRead->Slot(0).polygonCount, 0);

    // Everything else stays: a 2D polyline's vertices without flags, a 3D
    // polyline's vertex that says 0 or is fitted.
    auto flat = test::FeedText("POLYLINE", polyline(0, {vertex("0", "0")}), read);
    EXPECT_FALSE(flat->ok);
    EXPECT_TRUE(flat->context.failedOnSkippable);
    test::PairList zero = vertex("0", "0");
    zero.push_back({70, "0"});
    EXPECT_FALSE(test::FeedText("POLYLINE", polyline(8, {zero}), read)->ok);
    test::PairList fitted = vertex("0", "0");
    fitted.push_back({70, "33"});
    auto fit = test::FeedBinary("POLYLINE", polyline(8, {vertex("1", "1"), fitted}), read);
    EXPECT_FALSE(fit->ok);
    EXPECT_EQ(fit->context.message.rfind("POLYLINE:対応していない形式です.(P", 0), 0u);
    // A 3D polyline whose vertices say 32 after one without flags.
    test::PairList said = vertex("2", "2");
    said.push_back({70, "32"});
    auto mixed =
        test::FeedText("POLYLINE", polyline(9, {vertex("0", "0"), said, vertex("3", "0")}), read);
    ASSERT_TRUE(mixed->ok) << mixed->context.message;
    EXPECT_EQ(mixed->Slot(0).polygonCount, 1);
}

TEST(RefusedPolylines, TwoDimensionalFailsAtItsFirstRecordEnd) {
    const std::string text = InEntities(Header(0) + Vertex(0, 0, 0, 0) + Vertex(1, 0, 0, 0) +
                                        kSeqend + Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.table, nullptr);
    EXPECT_EQ(result.message, "POLYLINE:対応していない形式です." +
                                  At(LineOf(text, "VERTEX", LineOf(text, "VERTEX"))) +
                                  " 種類：2Dポリライン");
}

TEST(RefusedPolylines, CurveAndSplineFitFailAtGroup70) {
    // The kind named: the fit (spline before curve, as bit 4 says more than
    // bit 2) and what the other flags make of the polyline.
    const std::pair<int, const char*> kinds[] = {{2, "カーブフィット2Dポリライン"},
                                                 {4, "スプラインフィット2Dポリライン"},
                                                 {12, "スプラインフィット3Dポリライン"},
                                                 {6, "スプラインフィット2Dポリライン"},
                                                 {18, "カーブフィットポリゴンメッシュ"}};
    for (const auto& [flags, kind] : kinds) {
        const std::string text = InEntities(Header(flags) + SquareVertices() + kSeqend);
        auto result = ReadText(text);
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(result.message, "POLYLINE:対応していない形式です." +
                                      At(LineOf(text, std::to_string(flags))) + " 種類：" + kind);
    }
    // Vertex flags 1 (extra vertex of a fit) are refused likewise, as a
    // curve fit of the polyline they belong to.
    const std::string text = InEntities(Header(8) + Vertex(0, 0, 0, 33) + kSeqend);
    EXPECT_EQ(ReadText(text).message, "POLYLINE:対応していない形式です." + At(LineOf(text, "33")) +
                                          " 種類：カーブフィット3Dポリライン");
}

TEST(RefusedPolylines, FaceRecordOutsideAPolyfaceMesh) {
    const std::string text =
        InEntities(Header(8) + Vertex(0, 0, 0, 32) + FaceRecord({1, 1, 1}) + kSeqend);
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.message, "POLYLINE:対応していない形式です." + At(LineOf(text, "SEQEND")) +
                                  " 種類：3Dポリライン");
}

TEST(LenientPolylines, RefusedKindsAreSkippedWholeAndCounted) {
    // 2D, curve-fit, spline-fit, a fit vertex, a face record outside a
    // polyface: each adds nothing, and the polyface after them keeps its
    // indices from 0 as the 3DFACE before them is counted.
    const std::string skipped = Header(0) + Vertex(0, 0, 0, 0) + Vertex(1, 0, 0, 0) + kSeqend +
                                Header(2) + SquareVertices() + kSeqend + Header(4) +
                                SquareVertices() + kSeqend + Header(8) + Vertex(0, 0, 0, 33) +
                                Vertex(5, 5, 5, 32) + kSeqend + Header(8) + Vertex(0, 0, 0, 32) +
                                FaceRecord({1, 1, 1}) + kSeqend;
    const std::string text =
        InEntities(Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + skipped + Header(64) +
                   SquareVertices() + FaceRecord({1, 2, 3}) + kSeqend);
    auto result = ReadText(text, test::Lenient());
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 3 + 4);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    EXPECT_EQ(result.Corner(0, 1, 0), 3);
    EXPECT_EQ(result.Corner(0, 1, 2), 5);
    EXPECT_EQ(result.unconverted, "変換しなかった図形：POLYLINE(読み飛ばし) = 5");

    // The strict reading refuses the first of them and says what would help.
    auto strict = ReadText(text);
    EXPECT_EQ(strict.count, 0);
    EXPECT_EQ(strict.message.rfind("POLYLINE:対応していない形式です.", 0), 0u);
    EXPECT_TRUE(strict.refusedSkippable);
    EXPECT_EQ(strict.unconverted, "");
}

TEST(LenientPolylines, StructuralFaultsStillFail) {
    // A bad number inside a skipped polyline, an unknown record name, and
    // the end of the data all fail as in the strict reading; none of them
    // is the hint's business.
    const std::string number = InEntities(Header(0) + Vertex(0, 0, 0, 0) +
                                          Groups({{0, "VERTEX"}, {10, "east"}}) + kSeqend);
    auto bad = ReadText(number, test::Lenient());
    EXPECT_EQ(bad.count, 0);
    EXPECT_EQ(bad.message, "POLYLINE:Invalid data." + At(LineOf(number, "east")));
    EXPECT_FALSE(bad.refusedSkippable);
    const std::string name = InEntities(Header(2) + Groups({{0, "LINE"}}) + kSeqend);
    EXPECT_EQ(ReadText(name, test::Lenient()).message,
              "POLYLINE:Invalid data." + At(LineOf(name, "LINE")));
    const std::string cut =
        Lines({"  0", "SECTION", "  2", "ENTITIES"}) + Header(0) + Vertex(0, 0, 0, 0);
    EXPECT_EQ(ReadText(cut, test::Lenient()).count, 0);
    EXPECT_EQ(ReadText(InEntities(Header(64) + SquareVertices() + FaceRecord({1, 2, 9}) + kSeqend),
                       test::Lenient())
                  .count,
              0);
}

TEST(BadPolylineData, EachFailsWithItsLine) {
    const std::string name = InEntities(Header(64) + Groups({{0, "LINE"}}) + kSeqend);
    EXPECT_EQ(ReadText(name).message, "POLYLINE:Invalid data." + At(LineOf(name, "LINE")));
    const std::string coordinate =
        InEntities(Header(64) + Groups({{0, "VERTEX"}, {20, "north"}}) + kSeqend);
    EXPECT_EQ(ReadText(coordinate).message,
              "POLYLINE:Invalid data." + At(LineOf(coordinate, "north")));
    const std::string number =
        InEntities(Header(64) + Groups({{0, "VERTEX"}, {70, "128"}, {72, "two"}}) + kSeqend);
    EXPECT_EQ(ReadText(number).message, "POLYLINE:Invalid data." + At(LineOf(number, "two")));
    const std::string follows = InEntities(Groups({{0, "POLYLINE"}, {66, "0"}}) + kSeqend);
    EXPECT_EQ(ReadText(follows).message, "POLYLINE:Invalid data." + At(LineOf(follows, "66") + 1));
}

TEST(BadPolylineData, EndOfInputInsideThePolyline) {
    const std::string text =
        Lines({"  0", "SECTION", "  2", "ENTITIES", "  0", "POLYLINE", " 70", "64", "  0"});
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.message, "読み込みに失敗しました." + At(10) + "\n");
}

TEST(MultiObjectPolylines, KeyedByTheHeaderLayerAndColour) {
    const std::string a = Groups({{0, "POLYLINE"}, {8, "a"}, {62, "5"}, {66, "1"}, {70, "64"}}) +
                          SquareVertices() + FaceRecord({1, 2, 3}) + kSeqend;
    const std::string b = Groups({{0, "POLYLINE"}, {8, "b"}, {66, "1"}, {70, "64"}}) +
                          SquareVertices() + FaceRecord({1, 2, 3}) + kSeqend;
    // The face on layer A with colour 5 joins the first polyline.
    auto result = ReadText(InEntities(a + b + Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "A", 5)), 1);
    ASSERT_EQ(result.count, 2) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 7);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    EXPECT_EQ(result.table[1].vertexCount, 4);
    EXPECT_EQ(result.table[0].ptbl[1]->p[0], 4);
}

}  // namespace
}  // namespace vertoko
