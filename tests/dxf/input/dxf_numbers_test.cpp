// Number conversion of code and value lines, as "%d" and "%g" read them in
// the C locale.
#include "dxf/input/dxf_numbers.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace vertoko {
namespace {

TEST(ParseIntPrefix, TakesTheDecimalPrefixAndNeverFails) {
    EXPECT_EQ(ParseIntPrefix("  0"), 0);
    EXPECT_EQ(ParseIntPrefix(" 10"), 10);
    EXPECT_EQ(ParseIntPrefix("1001xyz"), 1001);
    EXPECT_EQ(ParseIntPrefix("\t-5"), -5);
    EXPECT_EQ(ParseIntPrefix("+7"), 7);
    EXPECT_EQ(ParseIntPrefix("SECTION"), 0);
    EXPECT_EQ(ParseIntPrefix(""), 0);
    EXPECT_EQ(ParseIntPrefix("99999999999999"), 2147483647);
    EXPECT_EQ(ParseIntPrefix("-99999999999999"), -2147483647 - 1);
}

TEST(ParseInt, NeedsDigits) {
    std::int32_t value = 0;
    EXPECT_TRUE(ParseInt("   256 ", value));
    EXPECT_EQ(value, 256);
    EXPECT_TRUE(ParseInt("-3", value));
    EXPECT_EQ(value, -3);
    EXPECT_FALSE(ParseInt("BYLAYER", value));
    EXPECT_FALSE(ParseInt("-", value));
    EXPECT_FALSE(ParseInt("", value));
}

TEST(ParseFloat, AcceptsWhatPercentGAccepts) {
    float value = 0.0f;
    EXPECT_TRUE(ParseFloat("1.5e3abc", value));
    EXPECT_EQ(value, 1500.0f);
    EXPECT_TRUE(ParseFloat("  +0.25", value));
    EXPECT_EQ(value, 0.25f);
    EXPECT_TRUE(ParseFloat("-.5", value));
    EXPECT_EQ(value, -0.5f);
    EXPECT_TRUE(ParseFloat("5.", value));
    EXPECT_EQ(value, 5.0f);
    EXPECT_TRUE(ParseFloat("1E-2", value));
    EXPECT_EQ(value, 0.01f);
    EXPECT_TRUE(ParseFloat("0x1p3", value));
    EXPECT_EQ(value, 8.0f);
    EXPECT_TRUE(ParseFloat("1e39", value));
    EXPECT_TRUE(std::isinf(value));
    EXPECT_TRUE(ParseFloat("-1e400", value));
    EXPECT_TRUE(std::isinf(value) && value < 0);
    EXPECT_TRUE(ParseFloat("1e-400", value));
    EXPECT_EQ(value, 0.0f);
    EXPECT_TRUE(ParseFloat("inf", value));
    EXPECT_TRUE(std::isinf(value));
    EXPECT_TRUE(ParseFloat("NaN", value));
    EXPECT_TRUE(std::isnan(value));
    // A comma ends the number as in the C locale.
    EXPECT_TRUE(ParseFloat("0,5", value));
    EXPECT_EQ(value, 0.0f);
}

TEST(ParseFloat, RefusesLinesWithoutANumber) {
    float value = 0.0f;
    EXPECT_FALSE(ParseFloat("abc", value));
    EXPECT_FALSE(ParseFloat("", value));
    EXPECT_FALSE(ParseFloat("   ", value));
    EXPECT_FALSE(ParseFloat("+", value));
    EXPECT_FALSE(ParseFloat(".", value));
    EXPECT_FALSE(ParseFloat("e5", value));
}

// The plain-decimal shortcut must round exactly as the general conversion.
TEST(ParseFloat, PlainDecimalsRoundLikeTheGeneralConversion) {
    std::mt19937 random(12345);
    for (int i = 0; i < 200000; ++i) {
        std::string text;
        if (random() % 4 == 0) text += '-';
        const int intDigits = static_cast<int>(random() % 9);
        for (int d = 0; d < intDigits; ++d) text += static_cast<char>('0' + random() % 10);
        if (intDigits == 0 || random() % 3 != 0) {
            text += '.';
            const int fracDigits = static_cast<int>(random() % 12);
            for (int d = 0; d < fracDigits; ++d) text += static_cast<char>('0' + random() % 10);
            if (random() % 3 == 0) text += "000";
        }
        float expected = 0.0f;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), expected);
        float actual = 0.0f;
        const bool parsed = ParseFloat(text, actual);
        ASSERT_EQ(parsed, result.ec == std::errc()) << text;
        if (parsed) {
            ASSERT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0) << text;
        }
    }
}

TEST(ParseFloat, IgnoresTheProcessLocale) {
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            german = name;
            break;
        }
    }
    if (german == nullptr) GTEST_SKIP() << "no German locale installed";
    float value = 0.0f;
    const bool parsed = ParseFloat("0.5", value);
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(parsed);
    EXPECT_EQ(value, 0.5f);
}

}  // namespace
}  // namespace vertoko
