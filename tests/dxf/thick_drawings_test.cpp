// Drawings written by ezdxf (tests/dxf/data/make_thick_drawings.py, run here
// into a temporary folder) with LINE, CIRCLE, ARC, SOLID, TRACE, LWPOLYLINE
// and 2D POLYLINE at three extrusion directions, thickness positive,
// negative and none, bulges both ways, open and closed, in text, binary and
// R12; thick entities in inserted blocks; 3DFACE drawings in several
// units; and the public sample of thick 2D polylines. The script gives every polygon from ezdxf's
// own geometry: each corner must agree within 1e-5 relative, or exactly where units are converted,
// and the counts and the report line must be those it gives.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dxf/dxf_test_support.h"

namespace vertoko {
namespace {

struct ExpectedPolygon {
    std::string tag;
    std::vector<double> coordinates;  // three per corner
};

struct ExpectedRead {
    std::string drawing;
    ReaderOptions options;
    bool exact = false;
    std::string report;
    std::int64_t vertices = 0;
    std::vector<ExpectedPolygon> polygons;
};

// "key=value" of a case line.
int Field(const std::string& word, const std::string& key) {
    return std::stoi(word.substr(key.size() + 1));
}

std::vector<ExpectedRead> ParseExpected(const std::string& path) {
    std::vector<ExpectedRead> reads;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "case") {
            ExpectedRead read;
            read.options.dxfClv = 0;
            std::string word;
            words >> read.drawing;
            while (words >> word) {
                if (word.rfind("thick=", 0) == 0) read.options.dxfThick = Field(word, "thick");
                if (word.rfind("segments=", 0) == 0)
                    read.options.dxfSegments = Field(word, "segments");
                if (word.rfind("units=", 0) == 0) read.options.outUnits = Field(word, "units");
                if (word.rfind("insert=", 0) == 0) read.options.dxfInsert = Field(word, "insert");
                if (word.rfind("exact=", 0) == 0) read.exact = Field(word, "exact") != 0;
            }
            reads.push_back(read);
        } else if (kind == "report") {
            reads.back().report = line.size() > 7 ? line.substr(7) : "";
        } else if (kind == "vertices") {
            words >> reads.back().vertices;
        } else if (kind == "polygon") {
            ExpectedPolygon polygon;
            int corners = 0;
            words >> polygon.tag >> corners;
            std::string number;
            for (int k = 0; k < 3 * corners && words >> number; ++k)
                polygon.coordinates.push_back(std::strtod(number.c_str(), nullptr));
            reads.back().polygons.push_back(std::move(polygon));
        }
    }
    return reads;
}

class ThickDrawings : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        char folder[] = "/tmp/vertoko-thick-XXXXXX";
        if (mkdtemp(folder) == nullptr) return;
        folder_ = folder;
        const std::string command = "/usr/bin/python3 " + std::string(VERTOKO_SOURCE_DIR) +
                                    "/tests/dxf/data/make_thick_drawings.py " + folder_ + " " +
                                    VERTOKO_SAMPLES_DIR;
        if (std::system(command.c_str()) == 0) reads_ = ParseExpected(folder_ + "/expected.txt");
    }
    static void TearDownTestSuite() {
        if (!folder_.empty()) std::system(("rm -rf " + folder_).c_str());
    }

    static std::string folder_;
    static std::vector<ExpectedRead> reads_;
};

std::string ThickDrawings::folder_;
std::vector<ExpectedRead> ThickDrawings::reads_;

TEST_F(ThickDrawings, EveryPolygonAsEzdxfComputesIt) {
    ASSERT_FALSE(reads_.empty()) << "the drawings could not be made in " << folder_;
    for (const ExpectedRead& expected : reads_) {
        SCOPED_TRACE(expected.drawing + " segments " +
                     std::to_string(expected.options.dxfSegments) + " units " +
                     std::to_string(expected.options.outUnits));
        // A sample is named by its path, a drawing made here by its name.
        const std::string path =
            expected.drawing.front() == '/' ? expected.drawing : folder_ + "/" + expected.drawing;
        const test::ReadResult result = test::ReadPath(path, expected.options);
        ASSERT_EQ(result.count, 1) << result.message;
        EXPECT_EQ(result.unconverted, expected.report);
        const MeshObject& object = result.table[0];
        EXPECT_EQ(object.vertexCount, expected.vertices);
        ASSERT_EQ(object.polygonCount, static_cast<std::int32_t>(expected.polygons.size()));
        int mismatches = 0;
        for (std::size_t i = 0; i < expected.polygons.size() && mismatches < 5; ++i) {
            const ExpectedPolygon& want = expected.polygons[i];
            const MeshPolygon& got = *object.ptbl[i];
            ASSERT_EQ(got.cornerCount * 3, static_cast<int>(want.coordinates.size())) << want.tag;
            for (int k = 0; k < got.cornerCount; ++k) {
                const MeshVertex& v = *object.vtbl[got.p[k]];
                const float have[3] = {v.x, v.y, v.z};
                for (int axis = 0; axis < 3; ++axis) {
                    const double e = want.coordinates[3 * k + axis];
                    const bool close = expected.exact ? have[axis] == static_cast<float>(e)
                                                      : std::fabs(have[axis] - e) <=
                                                            1e-5 * std::fmax(std::fabs(e), 1.0);
                    if (!close) {
                        ADD_FAILURE() << want.tag << " polygon " << i << " corner " << k << " axis "
                                      << axis << ": " << have[axis] << " vs " << e;
                        ++mismatches;
                    }
                }
            }
        }
    }
}

// The same drawings read as drawn and converted: every coordinate of the
// converted read, placed copies of blocks included, is the float nearest
// to the drawn one divided by 1000 (a float divided in double and rounded
// once is exactly that).
TEST_F(ThickDrawings, MillimetresToMetresDividesEveryCoordinateExactly) {
    ASSERT_FALSE(reads_.empty());
    ReaderOptions options;
    options.dxfClv = 0;
    options.dxfThick = 1;
    options.dxfInsert = 1;
    const std::string path = folder_ + "/thick_blocks_mm.dxf";
    const test::ReadResult drawn = test::ReadPath(path, options);
    options.outUnits = static_cast<std::int32_t>(OutputUnit::Metre);
    const test::ReadResult metres = test::ReadPath(path, options);
    ASSERT_EQ(drawn.count, 1);
    ASSERT_EQ(metres.count, 1);
    ASSERT_EQ(drawn.table[0].vertexCount, metres.table[0].vertexCount);
    for (std::int32_t i = 0; i < drawn.table[0].vertexCount; ++i) {
        const MeshVertex& a = drawn.Vertex(0, i);
        const MeshVertex& b = metres.Vertex(0, i);
        ASSERT_EQ(b.x, static_cast<float>(static_cast<double>(a.x) / 1000.0)) << i;
        ASSERT_EQ(b.y, static_cast<float>(static_cast<double>(a.y) / 1000.0)) << i;
        ASSERT_EQ(b.z, static_cast<float>(static_cast<double>(a.z) / 1000.0)) << i;
    }
}

}  // namespace
}  // namespace vertoko
