// Reading a large file on two threads must give exactly what one reader
// gives: the same objects in the same order, the same vertices bit for bit,
// the same corners and colours, the same messages with the same line
// numbers. One reader is had by reading the text from memory, which has no
// file descriptor to read a second half from.
#include "dxf/split_reading.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "dxf/drawing_builder.h"
#include "dxf/dxf_test_support.h"

namespace vertoko::test {
namespace {

// Large enough for a second reader.
constexpr int kFaces = 24000;

std::string FaceAt(int i, const std::string& layer, int color, const char* end) {
    const double x = i % 157;
    const double y = i / 157;
    std::string text = std::string("  0") + end + "3DFACE" + end + "  8" + end + layer + end;
    if (color >= 0) text += std::string(" 62") + end + std::to_string(color) + end;
    const double corners[4][3] = {
        {x, y, 0.25 * (i % 7)}, {x + 1, y, 0.5}, {x + 1, y + 1, 0.125 * (i % 5)}, {x, y + 1, 0.5}};
    // Every fifth face is a triangle: corner 3 repeats corner 2.
    for (int k = 0; k < 4; ++k) {
        const double* c = corners[i % 5 == 0 && k == 3 ? 2 : k];
        for (int axis = 0; axis < 3; ++axis) {
            text += " " + std::to_string(10 * (axis + 1) + k) + end + Num(c[axis]) + end;
        }
    }
    return text;
}

std::string Faces(int from, int to, int layers, const char* end = "\r\n") {
    std::string text;
    for (int i = from; i < to; ++i) {
        const int key = layers > 0 ? i % layers : 0;
        text += FaceAt(i, "L" + std::to_string(key), layers > 0 ? key % 255 + 1 : -1, end);
    }
    return text;
}

// A closed 3D polyline of three vertices.
std::string Polyline() {
    return Pairs({{0, "POLYLINE"}, {8, "P"},  {66, "1"}, {70, "9"},  {0, "VERTEX"},
                  {10, "0"},       {20, "0"}, {30, "0"}, {70, "32"}, {0, "VERTEX"},
                  {10, "1"},       {20, "0"}, {30, "0"}, {70, "32"}, {0, "VERTEX"},
                  {10, "0"},       {20, "1"}, {30, "0"}, {70, "32"}, {0, "SEQEND"}});
}

// Faces with a polyline after every eighth of them.
std::string FacesAndPolylines() {
    std::string body;
    for (int part = 0; part < 8; ++part) {
        body += Faces(part * kFaces / 8, (part + 1) * kFaces / 8, 0, "\n") + Polyline();
    }
    return body;
}

std::string Wrap(const std::string& body, const char* end = "\r\n") {
    const std::string e = end;
    return "  0" + e + "SECTION" + e + "  2" + e + "ENTITIES" + e + body + "  0" + e + "ENDSEC" +
           e + "  0" + e + "EOF" + e;
}

ReadResult ReadOneReader(const std::string& text, const ReaderOptions& options) {
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
    ReadResult result = ReadFile(file, options);
    std::fclose(file);
    return result;
}

ReaderOptions Options(int multi, int skip = 0, int insert = 0) {
    ReaderOptions options;
    options.dxfMulti = multi;
    options.dxfClv = 0;
    options.dxfSkip = skip;
    options.dxfInsert = insert;
    return options;
}

void ExpectSameRead(const ReadResult& one, const ReadResult& two) {
    EXPECT_EQ(one.message, two.message);
    ASSERT_EQ(one.count, two.count);
    // The same layers under the same ids, and the same objects' labels.
    ASSERT_EQ(one.layers.layers.size(), two.layers.layers.size());
    for (std::size_t l = 0; l < one.layers.layers.size(); ++l) {
        EXPECT_EQ(one.layers.layers[l].name, two.layers.layers[l].name) << "layer " << l;
        EXPECT_EQ(one.layers.layers[l].faces, two.layers.layers[l].faces) << "layer " << l;
    }
    ASSERT_EQ(one.layers.objects.size(), two.layers.objects.size());
    for (std::size_t o = 0; o < one.layers.objects.size(); ++o) {
        EXPECT_EQ(one.layers.objects[o].layer, two.layers.objects[o].layer);
        EXPECT_EQ(one.layers.objects[o].aci, two.layers.objects[o].aci);
    }
    for (int o = 0; o < one.count; ++o) {
        const MeshObject& a = one.table[o];
        const MeshObject& b = two.table[o];
        ASSERT_EQ(a.vertexCount, b.vertexCount) << "object " << o;
        ASSERT_EQ(a.polygonCount, b.polygonCount) << "object " << o;
        for (int v = 0; v < a.vertexCount; ++v) {
            ASSERT_EQ(std::memcmp(a.vtbl[v], b.vtbl[v], 3 * sizeof(float)), 0)
                << "object " << o << " vertex " << v;
        }
        for (int i = 0; i < a.polygonCount; ++i) {
            const MeshPolygon& p = *a.ptbl[i];
            const MeshPolygon& q = *b.ptbl[i];
            ASSERT_EQ(p.cornerCount, q.cornerCount);
            EXPECT_EQ(p.color, q.color);
            ASSERT_EQ(p.layer, q.layer) << "object " << o << " polygon " << i;
            for (int k = 0; k < p.cornerCount; ++k) {
                ASSERT_EQ(p.p[k], q.p[k]) << "object " << o << " polygon " << i;
            }
        }
    }
}

// Reads text both ways and compares; returns how many runs the second
// reader handed over.
std::int64_t CompareReads(const std::string& text, const ReaderOptions& options) {
    const ReadResult one = ReadOneReader(text, options);
    const std::int64_t before = SplitRunsTaken();
    const ReadResult two = ReadText(text, options);
    ExpectSameRead(one, two);
    return SplitRunsTaken() - before;
}

TEST(SplitReading, SameObjectsAsOneReader) {
    // Line ends of both kinds, one object and many layer and colour keys
    // (the second half's keys partly new, partly met before).
    EXPECT_EQ(CompareReads(Wrap(Faces(0, kFaces, 0)), Options(0)), 1);
    EXPECT_EQ(CompareReads(Wrap(Faces(0, kFaces, 0, "\n"), "\n"), Options(0)), 1);
    EXPECT_EQ(CompareReads(Wrap(Faces(0, kFaces, 700)), Options(1)), 1);
    const std::string late = Wrap(Faces(0, kFaces / 2, 3) + Faces(kFaces / 2, kFaces, 40));
    EXPECT_EQ(CompareReads(late, Options(1)), 1);
    // Faces that give no Z, read by the lenient reading.
    std::string flat = Faces(0, kFaces, 0);
    for (std::size_t at = flat.find(" 32\r\n"); at != std::string::npos;
         at = flat.find(" 32\r\n", at + 40000)) {
        flat.replace(at, 5, "999\r\n");  // a group of no meaning instead of a Z
    }
    EXPECT_EQ(CompareReads(Wrap(flat), Options(0, 1)), 1);
}

TEST(SplitReading, LayersSpelledTwoWaysInTheSecondHalf) {
    // "Lk" and "lk" are one layer. Each read gives the same layers; in
    // multi-object mode the driver reads the second half itself, whose
    // faces of the one layer come in two spellings.
    std::string body = Faces(0, kFaces / 2, 3);
    for (int i = kFaces / 2; i < kFaces; ++i)
        body += FaceAt(i, (i % 2 == 0 ? "L" : "l") + std::to_string(i % 3), -1, "\r\n");
    EXPECT_EQ(CompareReads(Wrap(body), Options(0)), 1);
    EXPECT_EQ(CompareReads(Wrap(body), Options(1)), 0);
}

TEST(SplitReading, LayersLeftOutAreLeftOutByTheDriver) {
    // The second reader knows no layer choice: a run with faces on a layer
    // left out is read by the driver.
    ReaderOptions options = Options(1);
    options.dxfNoLayers = "L1";
    EXPECT_EQ(CompareReads(Wrap(Faces(0, kFaces, 3)), options), 0);
    options.dxfNoLayers = "nothing";
    EXPECT_EQ(CompareReads(Wrap(Faces(0, kFaces, 3)), options), 1);
}

TEST(SplitReading, OtherEntitiesInTheSecondHalf) {
    // Closed 3D polylines among the faces end the second reader's runs; the
    // driver reads them and the rest itself.
    const std::string body = FacesAndPolylines();
    EXPECT_EQ(CompareReads(Wrap(body, "\n"), Options(0)), 1);
    EXPECT_EQ(CompareReads(Wrap(body, "\n"), Options(1)), 1);
}

TEST(SplitReading, FailuresKeepTheirMessageAndLine) {
    const std::string faces = Faces(0, kFaces, 0);
    // A value that is no number three quarters into the file.
    std::string bad = faces;
    bad.replace(bad.find(" 20\r\n", bad.size() * 3 / 4) + 5, 1, "x");
    EXPECT_EQ(CompareReads(Wrap(bad), Options(0)), 0);
    // The file ends inside the second half.
    CompareReads(Wrap(faces).substr(0, faces.size() * 7 / 8), Options(0));
    // A fifth corner right after the boundary the second reader starts at.
    std::string fifth = Wrap(faces);
    const std::size_t middle = fifth.find("  0\r\n3DFACE", fifth.size() / 2);
    fifth.insert(fifth.find(" 10\r\n", middle), " 14\r\n1\r\n");
    EXPECT_EQ(CompareReads(fifth, Options(0)), 0);
    // A failure after the run that was taken over: the driver's line count
    // goes on from the run's.
    std::string late = Wrap(FacesAndPolylines(), "\n");
    late.replace(late.find(" 30\n", late.size() * 15 / 16) + 4, 1, "y");
    EXPECT_EQ(CompareReads(late, Options(0)), 1);
}

TEST(SplitReading, BoundariesThatAreNone) {
    // A value line "0" followed by a line "3DFACE" looks like an entity
    // boundary; the driver reads it as a value and the group code 3. The
    // middle of the file is full of them.
    std::string traps;
    for (int i = 0; i < 3000; ++i) traps += "  0\nTEXT\n  1\n0\n3DFACE\nabc\n";
    const std::string misleading =
        Wrap(Faces(0, kFaces / 2, 0, "\n") + traps + Faces(kFaces / 2, kFaces, 0, "\n"), "\n");
    EXPECT_EQ(CompareReads(misleading, Options(0)), 0);

    // A block definition across the middle: expanded, its faces are the
    // block's, which the second reader does not know; not expanded, they
    // are the drawing's own.
    const std::string blocks = Block("B", {0, 0, 0}, Faces(0, kFaces, 0, "\n"));
    const std::string drawing = Drawing(blocks, Insert("B", {5, 0, 0}) + Faces(0, 50, 0, "\n"));
    EXPECT_EQ(CompareReads(drawing, Options(0, 0, 1)), 0);
    EXPECT_EQ(CompareReads(drawing, Options(0, 0, 0)), 1);
}

// Splits small enough that the tests' drawings are split close to their
// middle whatever their size.
class SmallSplits : public ::testing::Test {
  protected:
    void SetUp() override { SetSplitSizeForTesting(std::int64_t{16} << 10); }
    void TearDown() override { SetSplitSizeForTesting(-1); }
};

TEST_F(SmallSplits, EveryTimingGivesTheOneReadersRead) {
    // Whichever thread is the faster, the driver waits for the run or finds
    // it done, or passes it: the read is always the one reader's.
    const std::string one = Wrap(Faces(0, kFaces, 0));
    const std::string many = Wrap(Faces(0, kFaces / 2, 3) + Faces(kFaces / 2, kFaces, 40));
    const std::string mixed = Wrap(FacesAndPolylines(), "\n");
    for (int round = 0; round < 3; ++round) {
        CompareReads(one, Options(0));
        CompareReads(many, Options(1));
        CompareReads(mixed, Options(round % 2));
    }
}

}  // namespace
}  // namespace vertoko::test
