// Binary DXF read through the whole reader: both code widths, every value
// type, reals converted as the double would be, pair numbers in messages,
// and truncated or malformed files refused.
#include "dxf/input/binary_pairs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "dxf/dxf_test_support.h"
#include "dxf/input/text_lines.h"

namespace vertoko {
namespace {

using test::ReadText;

// Binary DXF bytes, pair by pair, written here as the DXF reference
// describes them (little-endian, strings NUL-terminated).
struct BinaryDrawing {
    explicit BinaryDrawing(bool shortCodes) : shortCodes(shortCodes) {
        bytes.assign("AutoCAD Binary DXF\r\n\x1a", 21);
        bytes.push_back('\0');
    }
    void Code(int code) {
        if (shortCodes && code >= 255) {
            bytes.push_back('\xff');
            Little(static_cast<std::uint64_t>(code), 2);
        } else {
            Little(static_cast<std::uint64_t>(code), shortCodes ? 1 : 2);
        }
    }
    void Little(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    }
    BinaryDrawing& Str(int code, const std::string& value) {
        Code(code);
        bytes += value;
        bytes.push_back('\0');
        return *this;
    }
    BinaryDrawing& Real(int code, double value) {
        Code(code);
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        Little(bits, 8);
        return *this;
    }
    BinaryDrawing& Int(int code, std::int64_t value, int size) {
        Code(code);
        Little(static_cast<std::uint64_t>(value), size);
        return *this;
    }
    BinaryDrawing& Face(const double (&corners)[4][3]) {
        Str(0, "3DFACE").Str(8, "0");
        for (int k = 0; k < 4; ++k) {
            for (int axis = 0; axis < 3; ++axis) Real(10 * (axis + 1) + k, corners[k][axis]);
        }
        return *this;
    }
    BinaryDrawing& Entities() { return Str(0, "SECTION").Str(2, "ENTITIES"); }
    BinaryDrawing& End() { return Str(0, "ENDSEC").Str(0, "EOF"); }

    bool shortCodes;
    std::string bytes;
};

const double kSquare[4][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

TEST(BinaryDxf, BothCodeWidthsAndEveryValueTypeKeepThePairing) {
    for (bool shortCodes : {true, false}) {
        BinaryDrawing d(shortCodes);
        d.Entities().Str(0, "3DFACE").Str(5, "1F").Str(100, "AcDbFace");
        d.Int(70, -2, 2).Int(90, 123456, 4).Int(160, 1 << 20, 8).Int(290, 1, 1);
        d.Code(310);  // a binary chunk: its length byte, then the bytes
        d.bytes += std::string("\x03\x00\x0a\x0d", 4);
        d.Str(1001, "APP").Str(1000, std::string(300, 'x')).Real(1010, 1.0).Int(1071, 7, 4);
        d.Str(8, "LAYER").Int(62, 5, 2);
        for (int k = 0; k < 3; ++k) {
            for (int axis = 0; axis < 3; ++axis)
                d.Real(10 * (axis + 1) + k, kSquare[k][axis] + axis * 0.5);
        }
        d.Face(kSquare).End();
        auto result = ReadText(d.bytes, 1);
        ASSERT_EQ(result.count, 2) << shortCodes << ": " << result.message;
        EXPECT_EQ(result.table[0].polygonCount, 1);
        EXPECT_EQ(result.table[0].vertexCount, 3);
        EXPECT_EQ(result.Vertex(0, 1).y, 0.5f);
        EXPECT_EQ(result.Vertex(0, 2).z, 1.0f);
        EXPECT_EQ(result.table[1].vertexCount, 4);
        // 2 section pairs, 23 of the first face, 14 of the square, ENDSEC
        // and EOF.
        EXPECT_EQ(result.message,
                  "file read end.(" + std::to_string(2 + 23 + 14 + 2) + " pairs, 2 objects)");
    }
}

TEST(BinaryDxf, RealsRoundOnceFromTheDouble) {
    const double values[] = {0.1,
                             -2.5,
                             1.0 / 3.0,
                             16777217.0,  // halfway between two floats
                             1e-40,       // below the smallest normal float
                             -0.0,
                             3.5e38,  // beyond the largest float
                             std::numeric_limits<double>::infinity(),
                             123456.789012345};
    for (double value : values) {
        const double corners[4][3] = {{value, 0, 0}, {1, value, 0}, {1, 1, -value}, {1, 1, -value}};
        BinaryDrawing d(false);
        d.Entities().Face(corners).End();
        auto result = ReadText(d.bytes);
        ASSERT_EQ(result.count, 1) << value << ": " << result.message;
        const float expected = static_cast<float>(value);
        EXPECT_EQ(result.Vertex(0, 0).x, expected) << value;
        EXPECT_EQ(std::signbit(result.Vertex(0, 0).x), std::signbit(expected)) << value;
        EXPECT_EQ(result.Vertex(0, 1).y, expected) << value;
        EXPECT_EQ(result.Vertex(0, 2).z, static_cast<float>(-value)) << value;
        // The repeated fourth corner makes a triangle, as in text files.
        EXPECT_EQ(result.table[0].vertexCount, 3) << value;
    }
}

TEST(BinaryDxf, PairsAcrossBlockBoundariesReadWhole) {
    // Padding strings move the face across the 1 MiB block end at several
    // offsets, so that codes, strings and reals are split there.
    for (std::size_t shift : {0u, 1u, 2u, 5u, 9u, 13u, 14u, 15u, 17u, 24u, 40u, 77u}) {
        BinaryDrawing d(false);
        d.Str(0, "SECTION").Str(2, "HEADER");
        while (d.bytes.size() + 70000 < TextLines::kBlockSize) d.Str(999, std::string(65000, 'c'));
        const std::size_t room = TextLines::kBlockSize - d.bytes.size() - 60 + shift;
        d.Str(9, std::string(room, 'v')).Str(0, "ENDSEC");
        d.Entities().Face(kSquare).End();
        auto result = ReadText(d.bytes);
        ASSERT_EQ(result.count, 1) << shift << ": " << result.message;
        ASSERT_EQ(result.table[0].vertexCount, 4) << shift;
        EXPECT_EQ(result.Vertex(0, 2).x, 1.0f);
        EXPECT_EQ(result.Vertex(0, 2).y, 1.0f);
    }
}

TEST(BinaryDxf, MessagesNameThePair) {
    BinaryDrawing d(false);
    d.Entities().Str(0, "3DFACE").Real(10, 0).Real(20, 0).Real(30, 0).Str(0, "ENDSEC");
    auto result = ReadText(d.Str(0, "EOF").bytes);
    EXPECT_EQ(result.count, 0);
    // The face is refused at the code of the group 0 that ends it: pair 7.
    EXPECT_EQ(result.message, "3DFACE data is incorrect.(P7)");
}

TEST(BinaryDxf, TruncatedFilesAreRefusedAtEveryLength) {
    BinaryDrawing d(false);
    d.Entities().Face(kSquare).End();
    for (std::size_t size = BinaryPairs::kSentinel.size(); size < d.bytes.size(); ++size) {
        auto result = ReadText(d.bytes.substr(0, size));
        EXPECT_EQ(result.count, 0) << size;
        EXPECT_EQ(result.table, nullptr);
        // Each parser words its end-of-input message its own way.
        EXPECT_NE(result.message.find("(P"), std::string::npos) << size << ": " << result.message;
    }
}

TEST(BinaryDxf, UnknownGroupCodesAreRefused) {
    // A code of no value type (500, or a negative one) has no known size.
    for (int code : {500, 0xFFFE}) {
        BinaryDrawing d(false);
        d.Entities().Code(code);
        d.bytes += std::string(16, 'z');
        auto result = ReadText(d.End().bytes);
        EXPECT_EQ(result.count, 0);
        EXPECT_EQ(result.message, "バイナリDXFのグループコードが不正です.(P3)");
    }
}

}  // namespace
}  // namespace vertoko
