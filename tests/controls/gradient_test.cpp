// Gradients over a plain pixel buffer and the colours of a text gradient.
#include "controls/gradient.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/text_gradient.h"

namespace vertoko {
namespace {

// A buffer with padding after each row, so that the stride is honoured.
struct TestBuffer {
    TestBuffer(int w, int h) : width(w), height(h), stride(3 * w + 5), bytes(stride * h, 0xAB) {}
    PixelBuffer View() { return {bytes.data(), width, height, stride}; }
    TColor At(int x, int y) const {
        const std::uint8_t* p = bytes.data() + y * stride + 3 * x;
        return RGBColor(p[2], p[1], p[0]);  // stored blue, green, red
    }
    int width, height, stride;
    std::vector<std::uint8_t> bytes;
};

TEST(GradientColor, TruncatesEachComponentTowardZero) {
    // 0 -> 255 halfway is 127.5, 255 -> 0 halfway is 127.5 too.
    EXPECT_EQ(GradientColor(RGBColor(0, 255, 10), RGBColor(255, 0, 11), 0.5),
              RGBColor(127, 127, 10));
    EXPECT_EQ(GradientColor(RGBColor(1, 2, 3), RGBColor(200, 100, 50), 0.0), RGBColor(1, 2, 3));
    EXPECT_EQ(GradientColor(RGBColor(1, 2, 3), RGBColor(200, 100, 50), 1.0),
              RGBColor(200, 100, 50));
}

TEST(GradBitmap, HorizontalRunsFromStartAtLeftToEndAtRightOnEveryRow) {
    TestBuffer buffer(100, 7);
    const TColor start = RGBColor(0, 0, 255);
    const TColor end = RGBColor(198, 99, 0);
    GradBitmap(buffer.View(), start, end, false);
    EXPECT_EQ(buffer.At(0, 0), start);
    EXPECT_EQ(buffer.At(99, 0), end);
    // Column 33 is f = 1/3: 66, 33, 170.
    EXPECT_EQ(buffer.At(33, 0), RGBColor(66, 33, 170));
    for (int y = 1; y < 7; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(buffer.At(x, y), buffer.At(x, 0)) << x << "," << y;
    // The row padding is not written.
    EXPECT_EQ(buffer.bytes[300], 0xAB);
    EXPECT_EQ(buffer.bytes[buffer.stride * 7 - 1], 0xAB);
}

TEST(GradBitmap, VerticalRunsFromStartAtTopToEndAtBottomOnEveryColumn) {
    TestBuffer buffer(5, 11);
    GradBitmap(buffer.View(), RGBColor(0, 0, 0), RGBColor(100, 200, 50), true);
    EXPECT_EQ(buffer.At(0, 0), RGBColor(0, 0, 0));
    EXPECT_EQ(buffer.At(0, 10), RGBColor(100, 200, 50));
    EXPECT_EQ(buffer.At(0, 5), RGBColor(50, 100, 25));
    for (int y = 0; y < 11; ++y)
        for (int x = 1; x < 5; ++x) ASSERT_EQ(buffer.At(x, y), buffer.At(0, y));
}

TEST(GradBitmap, SingleRowOrColumnTakesTheStartColourAndEmptyBuffersAreLeftAlone) {
    const TColor start = RGBColor(10, 20, 30);
    TestBuffer row(4, 1);
    GradBitmap(row.View(), start, clWhite, true);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(row.At(x, 0), start);
    TestBuffer column(1, 3);
    GradBitmap(column.View(), start, clWhite, false);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(column.At(0, y), start);

    TestBuffer untouched(3, 3);
    GradBitmap({untouched.bytes.data(), 0, 3, untouched.stride}, start, clWhite, false);
    GradBitmap({untouched.bytes.data(), 3, 0, untouched.stride}, start, clWhite, true);
    GradBitmap({nullptr, 3, 3, 9}, start, clWhite, true);
    for (std::uint8_t b : untouched.bytes) ASSERT_EQ(b, 0xAB);
}

std::vector<TColor> Colors(const std::vector<GradientChar>& chars) {
    std::vector<TColor> colors;
    for (const GradientChar& c : chars) colors.push_back(c.color);
    return colors;
}

const TColor kStart = RGBColor(0, 0, 0);
const TColor kMid = RGBColor(200, 0, 0);
const TColor kEnd = RGBColor(0, 0, 100);

TEST(TextGradient, OneColourWithoutGradientOrWithFewerThanTwoCharacters) {
    EXPECT_TRUE(TextGradientColors("Hello", TTextGradation::tgNone, kStart, kMid, kEnd).empty());
    EXPECT_TRUE(TextGradientColors("H", TTextGradation::tg2Colors, kStart, kMid, kEnd).empty());
    EXPECT_TRUE(TextGradientColors("あ", TTextGradation::tg3Colors, kStart, kMid, kEnd).empty());
}

TEST(TextGradient, TwoColoursRunOverTheWholeCaption) {
    const auto chars = TextGradientColors("ABC", TTextGradation::tg2Colors, kStart, kMid, kEnd);
    EXPECT_EQ(Colors(chars), (std::vector<TColor>{kStart, RGBColor(0, 0, 50), kEnd}));
}

TEST(TextGradient, ThreeColoursOnTwoCharactersIsATwoColourRun) {
    const auto chars = TextGradientColors("AB", TTextGradation::tg3Colors, kStart, kMid, kEnd);
    EXPECT_EQ(Colors(chars), (std::vector<TColor>{kStart, kEnd}));
}

TEST(TextGradient, ThreeColoursOnFiveSingleByteCharactersSplitAfterTheSecond) {
    const auto chars = TextGradientColors("ABCDE", TTextGradation::tg3Colors, kStart, kMid, kEnd);
    // A, B: start -> mid; C, D, E: mid -> end, D halfway (100, 0, 50).
    EXPECT_EQ(Colors(chars), (std::vector<TColor>{kStart, kMid, kMid, RGBColor(100, 0, 50), kEnd}));
    ASSERT_EQ(chars.size(), 5u);
    EXPECT_EQ(chars[3].text, QString("D"));
}

TEST(TextGradient, DoubleByteCharactersCountOnceAndStayWhole) {
    // 6 bytes: the middle byte is the lead byte of い, which closes the first
    // part; the single character left is painted in the end colour.
    auto chars = TextGradientColors("あいう", TTextGradation::tg3Colors, kStart, kMid, kEnd);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[1].text, QString("い"));
    EXPECT_EQ(Colors(chars), (std::vector<TColor>{kStart, kMid, kEnd}));

    // あ a い: 5 bytes, the middle byte is the second byte of あ, so あ alone
    // is the first part (in the start colour) and "aい" runs from mid to end.
    chars = TextGradientColors("あaい", TTextGradation::tg3Colors, kStart, kMid, kEnd);
    EXPECT_EQ(Colors(chars), (std::vector<TColor>{kStart, kMid, kEnd}));
    EXPECT_EQ(chars[1].text, QString("a"));

    // Half-width katakana take one byte: ｱｲｳｴｵ splits like ABCDE.
    chars = TextGradientColors("ｱｲｳｴｵ", TTextGradation::tg3Colors, kStart, kMid, kEnd);
    EXPECT_EQ(Colors(chars), (std::vector<TColor>{kStart, kMid, kMid, RGBColor(100, 0, 50), kEnd}));
}

TEST(TextGradient, SurrogatePairsAreOneCharacter) {
    const QString caption = QString::fromUtf8("a\xF0\x9F\x98\x80z");
    const auto characters = SplitCharacters(caption);
    ASSERT_EQ(characters.size(), 3u);
    EXPECT_EQ(characters[1].size(), 2);
    EXPECT_EQ(CharacterBytes(characters[0]), 1);
    EXPECT_EQ(CharacterBytes(characters[1]), 2);
}

}  // namespace
}  // namespace vertoko
