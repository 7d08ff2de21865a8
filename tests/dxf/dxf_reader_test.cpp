// The section driver: the end report and its line count, the nesting
// messages with their line numbers, and multi-object assembly.
#include "dxf/dxf_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "dxf/dxf_test_support.h"
#include "memory/mesh_arena.h"

namespace vertoko {
namespace {

using test::At;
using test::Face;
using test::InEntities;
using test::LineOf;
using test::Lines;
using test::ReadText;

const std::string kEmptyFile =
    Lines({"  0", "SECTION", "  2", "ENTITIES", "  0", "ENDSEC", "  0", "EOF"});

TEST(EndReport, CountsOneLineLessThanTheCounter) {
    auto result = ReadText(kEmptyFile);
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(result.message, "file read end.(7 lines, 1 objects)");
    // Ten non-blank lines ending in EOF report nine.
    auto ten = ReadText(Lines(
        {"999", "comment", "  0", "SECTION", "  2", "HEADER", "  0", "ENDSEC", "  0", "EOF"}));
    EXPECT_EQ(ten.message, "file read end.(9 lines, 1 objects)");
}

TEST(EndReport, CountsEveryValueLineButNoBlankLineBeforeACode) {
    // Two empty values and a blank line where a code is expected.
    const std::string text = Lines({"  0", "SECTION", "  2", "HEADER", "  1", "", "  4", "   ", "",
                                    "  0", "ENDSEC", "  0", "EOF"});
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(result.message, "file read end.(11 lines, 1 objects)");
}

TEST(EndReport, SameForEveryLineEndConvention) {
    const std::string text = InEntities(Face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}));
    auto lf = ReadText(text);
    for (const char* end : {"\r\n", "\r"}) {
        std::string converted;
        for (char c : text) converted += c == '\n' ? std::string(end) : std::string(1, c);
        auto other = ReadText(converted);
        EXPECT_EQ(other.message, lf.message);
        ASSERT_EQ(other.count, 1);
        EXPECT_EQ(other.table[0].vertexCount, 3);
        EXPECT_EQ(other.table[0].polygonCount, 1);
    }
}

TEST(SectionNesting, EachMisplacedNameFailsWithItsLine) {
    struct Case {
        std::string text;
        std::string message;
        int line;
    };
    const std::string twice =
        Lines({"  0", "SECTION", "  2", "HEADER", "  0", "SECTION", "  0", "EOF"});
    const std::string endFirst = Lines({"  0", "ENDSEC", "  0", "EOF"});
    const std::string entities = Lines({"  2", "ENTITIES", "  0", "EOF"});
    const std::string blocks =
        Lines({"  0", "SECTION", "  0", "ENDSEC", "  2", "BLOCKS", "  0", "EOF"});
    const Case cases[] = {
        {twice, "\"SECTION\"がSECTIONブロック中に現れた.",
         LineOf(twice, "SECTION", LineOf(twice, "SECTION"))},
        {endFirst, "SECTIONブロック外に\"ENDSEC\"があった.", LineOf(endFirst, "ENDSEC")},
        {entities, "\"ENTITIES\"がSECTIONブロック外にあった.", LineOf(entities, "ENTITIES")},
        {blocks, "\"BLOCKS\"がSECTIONブロック外にあった.", LineOf(blocks, "BLOCKS")},
    };
    for (const Case& c : cases) {
        auto result = ReadText(c.text);
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(result.table, nullptr);
        EXPECT_EQ(result.message, c.message + At(c.line));
    }
}

TEST(SectionNesting, EntitiesOutsideSectionsAndInBlocksAreRead) {
    const std::string text =
        Lines({"  0", "SECTION", "  2", "BLOCKS", "  0", "BLOCK", "  2", "PART"}) +
        Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + Lines({"  0", "ENDBLK", "  0", "ENDSEC"}) +
        Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + Lines({"  0", "EOF"});
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1);
    EXPECT_EQ(result.table[0].polygonCount, 2);
}

TEST(EndOfInput, FileWithoutEofFailsWithTheLastLine) {
    const std::string text = Lines({"  0", "SECTION", "  2", "ENTITIES", "  0", "ENDSEC"});
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.message, "データの途中でファイルが終わっています." + At(7));
    // A last "EOF" without its line end ends the file as one with it does.
    auto cut = ReadText(kEmptyFile.substr(0, kEmptyFile.size() - 1));
    EXPECT_EQ(cut.count, 1) << cut.message;
    EXPECT_EQ(cut.message, "file read end.(7 lines, 1 objects)");
}

TEST(EndOfInput, PairsAfterEofAreNeverRead) {
    auto result =
        ReadText(kEmptyFile + Lines({"  0", "ENDSEC", "garbage"}) + std::string("\0\0", 2));
    EXPECT_EQ(result.count, 1);
    EXPECT_EQ(result.message, "file read end.(7 lines, 1 objects)");
}

TEST(BinaryInput, NulBytesOutsideBinaryDxfAreRefused) {
    const std::string text = Lines({"  0", "SECTION"}) + std::string("  2\nENT\0ITIES\n", 14);
    auto result = ReadText(text);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.table, nullptr);
    EXPECT_NE(result.message.find("NUL"), std::string::npos) << result.message;
    EXPECT_NE(result.message.find(At(4)), std::string::npos) << result.message;
}

TEST(ExtendedData, AdvancesTheCounterByThreeAndKeepsPairing) {
    // Each pair of code 1000 or more counts one line more than it has.
    const std::string text =
        Lines({"1001", "APP", "1000", std::string(200, 'x'), "  0", "ENDSEC", "  0", "EOF"});
    auto result = ReadText(text);
    EXPECT_EQ(result.message, "SECTIONブロック外に\"ENDSEC\"があった." + At(8));
}

TEST(LongValues, RestOfALongValueIsNoCodeLine) {
    // Binary chunks (310) and texts longer than 127 characters are common
    // in current files; their rest must not be read as the next code.
    const std::string hex(300, 'F');
    const std::string digits =
        "1" + std::string(127, ' ') + "0";  // its rest "0" would read as code 0
    const std::string text =
        Lines({"  0", "SECTION", "  2", "OBJECTS", "310", hex, "  1", digits, "  0", "ENDSEC"}) +
        InEntities(Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].polygonCount, 1);
}

TEST(EmptyValues, EmptyHeaderTextsKeepPairing) {
    const std::string text = Lines({"  0", "SECTION", "  2", "HEADER", "  9", "$PROJECTNAME", "  1",
                                    "", "  9", "$TITLE", "  1", "   ", "  0", "ENDSEC"}) +
                             InEntities(Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].polygonCount, 1);
}

TEST(SingleObject, FileWithoutFacesGivesOneEmptyObject) {
    auto result = ReadText(kEmptyFile);
    ASSERT_EQ(result.count, 1);
    EXPECT_EQ(result.table[0].vertexCount, 0);
    EXPECT_EQ(result.table[0].polygonCount, 0);
    EXPECT_NE(result.table[0].vtbl, nullptr);
    EXPECT_EQ(result.table[0].vertices, nullptr);
}

TEST(SingleObject, CleaningAnObjectWithoutVerticesChangesNothing) {
    // The result does not depend on the cleaning switch.
    for (int clean = 0; clean < 2; ++clean) {
        auto result = ReadText(kEmptyFile, 0, clean, 0.0f);
        ASSERT_EQ(result.count, 1) << result.message;
        EXPECT_EQ(result.table[0].vertexCount, 0);
        EXPECT_EQ(result.table[0].polygonCount, 0);
        EXPECT_EQ(result.message, "file read end.(7 lines, 1 objects)");
    }
}

TEST(SingleObject, CleaningMergesSharedCorners) {
    // Two triangles sharing an edge: 6 vertices, 4 distinct points.
    auto result = ReadText(InEntities(Face({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}) +
                                      Face({{0, 0, 0}, {1, 1, 0}, {0, 1, 0}})),
                           0, 1, 0.0f);
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 4);
    EXPECT_EQ(result.table[0].polygonCount, 2);
}

TEST(MultiObject, ObjectsFollowTheFirstAppearanceOfLayerAndColour) {
    const std::vector<test::Corner> t = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    auto result =
        ReadText(InEntities(Face(t, "a", 1) + Face(t, "B") + Face(t, "A", 2) + Face(t, "A", 1)), 1);
    ASSERT_EQ(result.count, 3);
    // 8 section lines, 22 lines per face and 2 more for each colour group.
    EXPECT_EQ(result.message, "file read end.(101 lines, 3 objects)");
    EXPECT_EQ(result.table[0].polygonCount, 2);  // A/1 twice, "a" upper-cased
    EXPECT_EQ(result.table[1].polygonCount, 1);  // B/-1
    EXPECT_EQ(result.table[2].polygonCount, 1);  // A/2
}

TEST(MultiObject, FileWithoutFacesFailsWithTheEndReport) {
    auto result = ReadText(kEmptyFile, 1);
    EXPECT_EQ(result.count, 0);
    EXPECT_EQ(result.table, nullptr);
    EXPECT_EQ(result.message, "file read end.(7 lines, 0 objects)");
}

TEST(MultiObject, SlotArrayGrowsPastItsFirst24) {
    std::string body;
    for (int i = 0; i < 60; ++i)
        body +=
            Face({{0, 0, 0}, {1, 0, 0}, {0, 1, static_cast<float>(i)}}, "L" + std::to_string(i));
    auto result = ReadText(InEntities(body), 1);
    ASSERT_EQ(result.count, 60);
    for (int i = 0; i < 60; ++i) {
        ASSERT_EQ(result.table[i].polygonCount, 1);
        EXPECT_EQ(result.Vertex(i, 2).z, static_cast<float>(i));
    }
}

// Thousands of keys, the same names with two colours, met first in one
// order and then again in another: each face must land in the object of its
// own key, and the objects keep the order in which their keys first came.
TEST(MultiObject, ManyKeysKeepFirstAppearanceOrder) {
    constexpr int kKeys = 3000;
    auto key = [](int k) { return std::pair("K" + std::to_string(k % 1500), 1 + k / 1500); };
    std::string body;
    auto face = [&](int k, float z) {
        const auto [layer, color] = key(k);
        body += Face({{0, 0, 0}, {1, 0, 0}, {0, 1, z}}, layer, color);
    };
    for (int k = 0; k < kKeys; ++k) face((k * 7) % kKeys, static_cast<float>((k * 7) % kKeys));
    for (int k = kKeys - 1; k >= 0; --k) face(k, static_cast<float>(k));
    auto result = ReadText(InEntities(body), 1);
    ASSERT_EQ(result.count, kKeys);
    for (int i = 0; i < kKeys; ++i) {
        // Object i holds the two faces of key (7 i) mod kKeys, the first key to appear i-th.
        const float z = static_cast<float>((i * 7) % kKeys);
        ASSERT_EQ(result.table[i].polygonCount, 2) << i;
        EXPECT_EQ(result.Vertex(i, 2).z, z);
        EXPECT_EQ(result.Vertex(i, 5).z, z);
    }
}

// The block allocator running out: the read fails with the message of the
// node it could not take, and nothing read so far is kept (the sanitizer
// build sees any leak).
TEST(OutOfMemory, NodeThatCannotBeTakenIsNamed) {
    struct Limit {
        explicit Limit(std::int64_t chunks) { SetArenaChunkLimitForTesting(chunks); }
        ~Limit() { SetArenaChunkLimitForTesting(-1); }
    };
    const std::vector<test::Corner> t = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    {
        Limit none(0);
        auto result = ReadText(InEntities(Face(t)));
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(result.table, nullptr);
        EXPECT_EQ(result.message, "メモリーが足りません.(pol)\n");
    }
    {
        Limit none(0);
        const std::string polyface = Lines({"  0", "POLYLINE", " 66", "1", " 70", "64", "  0",
                                            "VERTEX", " 70", "192", "  0", "SEQEND"});
        EXPECT_EQ(ReadText(InEntities(polyface)).message, "メモリーが足りません.(ver)\n");
    }
    {
        // One chunk, then none: the faces fill it and one of them fails.
        Limit one(1);
        std::string body;
        for (int i = 0; i < 200; ++i) body += Face(t);
        auto result = ReadText(InEntities(body));
        EXPECT_EQ(result.count, 0);
        EXPECT_TRUE(result.message == "メモリーが足りません.(pol)\n" ||
                    result.message == "メモリーが足りません.(pol->p)\n" ||
                    result.message == "メモリーが足りません.(ver)\n")
            << result.message;
    }
    EXPECT_EQ(ReadText(InEntities(Face(t))).count, 1);
}

TEST(MultiObject, LongLayerNamesStayApart) {
    const std::string common(40, 'N');
    const std::vector<test::Corner> t = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    auto result = ReadText(
        InEntities(Face(t, common + "1") + Face(t, common + "2") + Face(t, common + "1")), 1);
    ASSERT_EQ(result.count, 2);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    EXPECT_EQ(result.table[1].polygonCount, 1);
}

TEST(Reading, StateIsResetBetweenReads) {
    auto failed = ReadText(Lines({"  0", "ENDSEC", "  0", "EOF"}));
    ASSERT_EQ(failed.count, 0);
    auto good = ReadText(kEmptyFile);
    EXPECT_EQ(good.count, 1);
    EXPECT_EQ(good.message, "file read end.(7 lines, 1 objects)");
}

TEST(Reading, OrientationAfterCleaningTurnsACubeOfFacesOutward) {
    // Six quads wound outward, as separate 3DFACEs: only cleaning joins them.
    const std::vector<std::vector<test::Corner>> outward = {
        {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}},
        {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}},
        {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}};
    for (const unsigned reversed : {0x3fu, 0x16u}) {
        std::string body;
        for (std::size_t f = 0; f < outward.size(); ++f) {
            auto corners = outward[f];
            if (reversed >> f & 1) std::reverse(corners.begin(), corners.end());
            body += Face(corners);
        }
        for (const int orient : {0, 1}) {
            const std::string text = InEntities(body);
            std::FILE* file = std::tmpfile();
            std::fwrite(text.data(), 1, text.size(), file);
            std::rewind(file);
            ReaderOptions options;
            options.dxfOrient = orient;
            test::ReadResult result = test::ReadFile(file, options);
            std::fclose(file);
            ASSERT_EQ(result.count, 1);
            ASSERT_EQ(result.table[0].vertexCount, 8);
            for (int i = 0; i < 6; ++i) {
                const MeshVertex& a = result.Vertex(0, result.Corner(0, i, 0));
                const MeshVertex& b = result.Vertex(0, result.Corner(0, i, 1));
                const MeshVertex& c = result.Vertex(0, result.Corner(0, i, 3));
                const float u[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
                const float w[3] = {c.x - a.x, c.y - a.y, c.z - a.z};
                const float n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                    u[0] * w[1] - u[1] * w[0]};
                // The face's centre lies on the side its normal points to.
                float out = 0;
                for (int k = 0; k < 4; ++k) {
                    const MeshVertex& v = result.Vertex(0, result.Corner(0, i, k));
                    out += n[0] * (v.x - 0.5f) + n[1] * (v.y - 0.5f) + n[2] * (v.z - 0.5f);
                }
                const bool wasReversed = (reversed >> i & 1) != 0;
                EXPECT_EQ(out > 0, orient == 1 || !wasReversed) << "face " << i;
            }
        }
    }
}

}  // namespace
}  // namespace vertoko
