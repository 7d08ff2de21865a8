// Extended data (group codes 1000 and above) counts one line more in a text
// file wherever it stands: in the driver and inside every entity, so that
// a message after it names the same line whichever reads it. A binary file
// counts pairs, one each.
#include <gtest/gtest.h>

#include <functional>

#include "dxf/drawing/layer_table.h"
#include "dxf/dxf_test_support.h"
#include "dxf/entities/block_entities.h"
#include "dxf/entities/face_entity.h"
#include "dxf/entities/mesh_entity.h"
#include "dxf/entities/polyline_entity.h"
#include "dxf/pair_feed.h"

namespace vertoko {
namespace {

using test::FeedBinary;
using test::FeedText;
using test::PairList;

// Application data as CAD programs attach it: a name, a string, a number.
const PairList kAppData = {{1001, "APP"}, {1000, "note"}, {1070, "3"}};

PairList With(PairList before, const PairList& after) {
    before.insert(before.end(), kAppData.begin(), kAppData.end());
    before.insert(before.end(), after.begin(), after.end());
    return before;
}

// The line a text message names when it is about the last pair of the
// list fed after the entity's own pair: two lines a pair, one more for
// each pair of extended data.
std::string TextAt(const PairList& pairs) {
    int line = 2;
    for (const test::Pair& p : pairs) line += p.code >= 1000 ? 3 : 2;
    return "(L" + std::to_string(line - (pairs.back().code >= 1000 ? 1 : 0)) + ")";
}
std::string BinaryAt(const PairList& pairs) {
    return "(P" + std::to_string(1 + pairs.size()) + ")";
}

const auto kFace = [](ReadContext& c, auto& pairs) { return Read3DFace(c, pairs); };
const auto kPolyline = [](ReadContext& c, auto& pairs) { return ReadPolyline(c, pairs); };
const auto kMesh = [](ReadContext& c, auto& pairs) { return ReadMesh(c, pairs); };
const auto kInsert = [](ReadContext& c, auto& pairs) { return ReadInsert(c, pairs); };
const auto kBlock = [](ReadContext& c, auto& pairs) { return ReadBlockHeader(c, pairs); };
const auto kLayer = [](ReadContext& c, auto& pairs) {
    return ReadLayerEntry(pairs, c.layers, c.message);
};

TEST(ExtendedData, EveryEntityCountsItTheSameWay) {
    struct Case {
        const char* entity;
        PairList pairs;  // ends with the pair the message is about
        std::string message;
        std::function<bool(ReadContext&, TextPairs&)> text;
        std::function<bool(ReadContext&, BinaryPairs&)> binary;
        std::string tail;  // after the line number
    };
    const Case cases[] = {
        {"3DFACE", With({{8, "0"}, {10, "0"}}, {{20, "0"}, {30, "0"}, {14, "1"}}),
         "3DFACE data is incorrect.", kFace, kFace, ""},
        {"POLYLINE", With({{66, "1"}, {70, "64"}}, {{0, "LINE"}}), "POLYLINE:Invalid data.",
         kPolyline, kPolyline, ""},
        {"POLYLINE",
         With({{66, "1"}, {70, "0"}}, {{0, "VERTEX"}, {10, "1"}, {70, "0"}, {0, "SEQEND"}}),
         "POLYLINE:対応していない形式です.", kPolyline, kPolyline, " 種類：2Dポリライン"},
        {"MESH", With({{100, "AcDbSubDMesh"}}, {{92, "-1"}}), "MESH:Invalid data.", kMesh, kMesh,
         ""},
    };
    for (const Case& c : cases) {
        auto text = FeedText(c.entity, c.pairs, c.text);
        EXPECT_FALSE(text->ok) << c.entity;
        EXPECT_EQ(text->context.message, c.message + TextAt(c.pairs) + c.tail) << c.entity;
        auto binary = FeedBinary(c.entity, c.pairs, c.binary);
        EXPECT_FALSE(binary->ok) << c.entity;
        EXPECT_EQ(binary->context.message, c.message + BinaryAt(c.pairs) + c.tail) << c.entity;
    }
}

TEST(ExtendedData, AnEntityThatEndsAfterItNamesTheLineAfterIt) {
    // The extra line is counted when the next code is read: here, when the
    // file ends instead of giving one.
    struct Case {
        const char* entity;
        PairList pairs;
        std::string message;
        std::string tail;
        std::function<bool(ReadContext&, TextPairs&)> text;
        std::function<bool(ReadContext&, BinaryPairs&)> binary;
    };
    const char* kEnd = "データの途中でファイルが終わっています.";
    const Case cases[] = {
        {"3DFACE", With({{8, "0"}}, {}), "読みこみに失敗しました。", "", kFace, kFace},
        {"POLYLINE", With({{66, "1"}}, {}), "読み込みに失敗しました.", "\n", kPolyline, kPolyline},
        {"MESH", With({{8, "M"}}, {}), "MESH:読み込みに失敗しました.", "", kMesh, kMesh},
        {"INSERT", With({{2, "DOOR"}, {41, "2"}}, {}), kEnd, "", kInsert, kInsert},
        {"BLOCK", With({{2, "DOOR"}}, {}), kEnd, "", kBlock, kBlock},
        {"LAYER", With({{2, "WALLS"}, {62, "3"}}, {}), kEnd, "", kLayer, kLayer},
    };
    for (const Case& c : cases) {
        int line = 2 + 1;  // the entity's own pair, and the code line that is missing
        for (const test::Pair& p : c.pairs) line += p.code >= 1000 ? 3 : 2;
        auto text = FeedText(c.entity, c.pairs, c.text);
        EXPECT_FALSE(text->ok) << c.entity;
        EXPECT_EQ(text->context.message, c.message + "(L" + std::to_string(line) + ")" + c.tail)
            << c.entity;
        auto binary = FeedBinary(c.entity, c.pairs, c.binary);
        EXPECT_EQ(binary->context.message,
                  c.message + "(P" + std::to_string(c.pairs.size() + 2) + ")" + c.tail)
            << c.entity;
    }
}

TEST(ExtendedData, TheDriverCountsItAsTheEntitiesDo) {
    // After a 3DFACE with extended data, a POLYLINE with it and a failure.
    const std::string text = test::InEntities(
        test::Lines({"  0",  "3DFACE", "  8",  "0", "1001", "APP",      " 10", "0",   " 20", "0",
                     " 30",  "0",      " 11",  "1", " 21",  "0",        " 31", "0",   " 12", "0",
                     " 22",  "1",      " 32",  "0", "  0",  "POLYLINE", " 66", "1",   " 70", "64",
                     "1001", "APP",    "1000", "x", "  0",  "VERTEX",   " 10", "east"}));
    auto result = test::ReadText(text);
    // Lines in the text, plus one for each of the three pairs of extended
    // data before the failing line.
    EXPECT_EQ(result.message, "POLYLINE:Invalid data." + test::At(test::LineOf(text, "east") + 3));
}

}  // namespace
}  // namespace vertoko
