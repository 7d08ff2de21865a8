// The word-wise reading of plain decimals against the general conversion.
#include "dxf/input/digit_words.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>

namespace vertoko {
namespace {

// Runs the reader over text (a minus, if any, is taken first as the line
// reader does) with 16 bytes of padding behind it.
const char* Read(const std::string& text, float& value, std::string& storage) {
    storage = text + std::string(16, 'x');
    const bool negative = storage[0] == '-';
    const char* at = storage.data() + (negative ? 1 : 0);
    return digit_words::PlainDecimal(at, negative, value);
}

// Whatever the reader takes it takes whole, up to the line end, with the
// value the general conversion gives bit for bit; it declines anything else.
TEST(DigitWords, TakeOnlyWholePlainLinesWithTheirExactValue) {
    std::mt19937 random(777);
    const char ends[] = {'\n', '\r', ' ', 'e', '.', '-', '\t'};
    int taken = 0;
    for (int i = 0; i < 300000; ++i) {
        std::string number;
        if (random() % 4 == 0) number += '-';
        const int whole = static_cast<int>(random() % 10);
        for (int d = 0; d < whole; ++d) number += static_cast<char>('0' + random() % 10);
        if (random() % 4 != 0) {
            number += '.';
            const int part = static_cast<int>(random() % 10);
            for (int d = 0; d < part; ++d) number += static_cast<char>('0' + random() % 10);
            for (int z = static_cast<int>(random() % 4); z > 0; --z) number += '0';
        }
        const char end = ends[random() % sizeof ends];
        float value = 0.0f;
        std::string storage;
        const char* stop = Read(number + end, value, storage);
        if (stop == nullptr) continue;
        ++taken;
        ASSERT_EQ(stop - storage.data(), static_cast<std::ptrdiff_t>(number.size())) << number;
        ASSERT_TRUE(end == '\n' || end == '\r') << number;
        float expected = 0.0f;
        const auto result = std::from_chars(number.data(), number.data() + number.size(), expected);
        ASSERT_TRUE(result.ec == std::errc() && result.ptr == number.data() + number.size())
            << number;
        ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0) << number;
    }
    EXPECT_GT(taken, 30000);
}

TEST(DigitWords, TakeTheCommonCoordinatesAndNoLoneSignOrPoint) {
    const char* const common[] = {"0.012495\n",  "300.000000\r\n", "-1\n",   "1234567.0000000\n",
                                  "-0.000000\n", ".5\n",           "7.\r\n", "1677721.6\n",
                                  "0.0000001\n"};
    for (const char* text : common) {
        float value = 0.0f;
        std::string storage;
        EXPECT_NE(Read(text, value, storage), nullptr) << text;
    }
    float value = 1.0f;
    std::string storage;
    EXPECT_NE(Read("-0.000\n", value, storage), nullptr);
    EXPECT_TRUE(std::signbit(value));
    // No digit, a second point, nine digits on a side, a value past 2^24.
    for (const char* text :
         {".\n", "-\n", "\n", "1.2.3\n", "123456789\n", "0.123456789\n", "16777217\n", "1.5 \n"}) {
        EXPECT_EQ(Read(text, value, storage), nullptr) << text;
    }
}

}  // namespace
}  // namespace vertoko
