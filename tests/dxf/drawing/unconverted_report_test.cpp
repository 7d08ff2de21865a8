// The report of what a read found but did not convert: its kinds and order,
// insertions of blocks with faces resolved over the whole file, and its
// reset from read to read.
#include "dxf/drawing/unconverted_report.h"

#include <gtest/gtest.h>

#include "dxf/dxf_test_support.h"

namespace vertoko {
namespace {

using test::Face;
using test::InEntities;
using test::Lines;
using test::ReadText;

std::string Entity(const std::string& name) { return Lines({"  0", name, "  8", "0"}); }

std::string Insert(const std::string& block) {
    return Lines({"  0", "INSERT", "  8", "0", "  2", block, " 10", "5", " 20", "0", " 30", "0"});
}

std::string Block(const std::string& name, const std::string& body) {
    return Lines({"  0", "BLOCK", "  8", "0", "  2", name, " 70", "0", "  3", name}) + body +
           Lines({"  0", "ENDBLK", "  8", "0"});
}

std::string Blocks(const std::string& blocks) {
    return Lines({"  0", "SECTION", "  2", "BLOCKS"}) + blocks + Lines({"  0", "ENDSEC"});
}

const std::string kTriangle = Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
const std::string kOutline = Lines({"  0", "POLYLINE", " 66", "1", " 70", "0", "  0", "VERTEX",
                                    " 10", "1", " 70", "0", "  0", "SEQEND"});

TEST(UnconvertedReport, KindsInTheirOrderWithCounts) {
    auto result = ReadText(InEntities(Entity("REGION") + Entity("3DSOLID") + kTriangle +
                                      Entity("planesurface") + Entity("3DSOLID") + Entity("BODY") +
                                      Entity("LINE") + Entity("SOLID")));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.unconverted,
              "変換しなかった図形：3DSOLID = 2, REGION = 1, BODY = 1, PLANESURFACE = 1");
    // The next read starts from nothing.
    auto plain = ReadText(InEntities(kTriangle));
    ASSERT_EQ(plain.count, 1);
    EXPECT_EQ(plain.unconverted, "");
    // A read that fails before its end reports nothing.
    auto failed = ReadText(Lines({"  0", "SECTION", "  2", "ENTITIES"}) + Entity("3DSOLID"));
    EXPECT_EQ(failed.count, 0);
    EXPECT_EQ(failed.unconverted, "");
}

TEST(UnconvertedReport, InsertionsOfBlocksThatHoldFaces) {
    // A holds a face; B inserts A; C holds a line; D inserts itself and C;
    // E holds only a polyline the lenient reading skips; G, defined after
    // its insertion, holds a MESH face.
    const std::string mesh = Lines(
        {"  0", "MESH", "100", "AcDbSubDMesh", " 92", "3",   " 10", "0",   " 10", "1",   " 10",
         "2",   " 93",  "4",   " 90",          "3",   " 90", "0",   " 90", "1",   " 90", "2"});
    const std::string text =
        Blocks(Block("A", kTriangle) + Block("B", Insert("a ")) + Block("C", Entity("LINE")) +
               Block("D", Insert("D") + Insert("C")) + Block("E", kOutline)) +
        InEntities(Insert("A") + Insert("B") + Insert("b") + Insert("C") + Insert("D") +
                   Insert("E") + Insert("F") + Insert("G")) +
        Blocks(Block("G", mesh));
    // InEntities ends with EOF; the late BLOCKS section goes before it.
    const std::string eof = Lines({"  0", "EOF"});
    std::string drawing = text;
    drawing.erase(drawing.find(eof), eof.size());
    drawing += eof;
    auto result = ReadText(drawing, test::Lenient());
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.unconverted, "変換しなかった図形：POLYLINE(読み飛ばし) = 1, INSERT = 4");
}

TEST(UnconvertedReport, DeepAndCircularNestingIsResolvedOnce) {
    // Block i inserts block i + 1 and block 0; only the last holds a face.
    UnconvertedReport report;
    report.Reset();
    constexpr int kDepth = 20000;
    for (int i = 0; i < kDepth; ++i) {
        report.BeginBlock(std::to_string(i));
        report.CountInsert(std::to_string(i + 1));
        report.CountInsert("0");
        report.EndBlock();
    }
    report.BeginBlock(std::to_string(kDepth));
    report.MarkFaces();
    report.EndBlock();
    report.CountInsert("0");
    report.CountInsert("x");
    EXPECT_EQ(report.Line(), "変換しなかった図形：INSERT = 1");
}

}  // namespace
}  // namespace vertoko
