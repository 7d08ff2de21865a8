#include "export/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace vertoko {
namespace {

std::string G(double value) {
    std::string out;
    AppendG(out, value);
    return out;
}

std::string Fixed4(double value) {
    std::string out;
    AppendFixed4(out, value);
    return out;
}

TEST(NumberFormat, GeneralFormLikePrintf) {
    EXPECT_EQ(G(0.0), "0");
    EXPECT_EQ(G(-0.0), "-0");
    EXPECT_EQ(G(static_cast<float>(0.1)), "0.1");
    EXPECT_EQ(G(1234567.0), "1.23457e+06");
    EXPECT_EQ(G(123456.0), "123456");
    EXPECT_EQ(G(100000.0), "100000");
    EXPECT_EQ(G(1000000.0), "1e+06");
    EXPECT_EQ(G(0.0001), "0.0001");
    EXPECT_EQ(G(0.00001), "1e-05");
    EXPECT_EQ(G(-2.5), "-2.5");
    EXPECT_EQ(G(1e100), "1e+100");
    EXPECT_EQ(G(static_cast<double>(std::numeric_limits<float>::max())), "3.40282e+38");
    EXPECT_EQ(G(std::numeric_limits<double>::infinity()), "inf");
}

TEST(NumberFormat, FixedFourDecimals) {
    EXPECT_EQ(Fixed4(1.0), "1.0000");
    EXPECT_EQ(Fixed4(0.0), "0.0000");
    EXPECT_EQ(Fixed4(-0.5), "-0.5000");
    EXPECT_EQ(Fixed4(1.8), "1.8000");
    EXPECT_EQ(Fixed4(123456789.123456), "123456789.1235");
    EXPECT_EQ(Fixed4(-1e-9), "-0.0000");
}

// The C library in the "C" locale is an independent account of both
// conversions; compare over many floats of every magnitude.
TEST(NumberFormat, AgreesWithCLibraryOverManyFloats) {
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    char expected[512];
    for (int i = 0; i < 200000; ++i) {
        std::uint32_t word = bits(random);
        float value;
        std::memcpy(&value, &word, sizeof value);
        if (!std::isfinite(value)) continue;
        std::snprintf(expected, sizeof expected, "%g", static_cast<double>(value));
        ASSERT_EQ(G(value), expected) << word;
        if (std::fabs(value) < 1e12f) {
            std::snprintf(expected, sizeof expected, "%.4f", static_cast<double>(value));
            ASSERT_EQ(Fixed4(value), expected) << word;
        }
    }
}

// The plain decimal range, where the digits are found without the general
// conversion: every decade, the values drawings are made of (a few decimal
// places), and halves, whose rounding is a tie that goes to even.
TEST(NumberFormat, PlainRangeAgreesWithCLibrary) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> exponent(-4.5, 6.5);
    std::uniform_int_distribution<std::int32_t> whole(-10000000, 10000000);
    char expected[64];
    auto check = [&](float value) {
        std::snprintf(expected, sizeof expected, "%g", static_cast<double>(value));
        ASSERT_EQ(G(value), expected) << value;
    };
    for (int i = 0; i < 300000; ++i) {
        const float sign = i % 2 == 0 ? 1.0f : -1.0f;
        check(sign * static_cast<float>(std::pow(10.0, exponent(random))));
        check(static_cast<float>(whole(random)) / 1000000.0f);
        check(static_cast<float>(whole(random)) / 1000.0f);
        check(static_cast<float>(whole(random) % 2000000) + 0.5f);
        check(static_cast<float>(whole(random) % 20000) / 64.0f);
    }
    for (float value : {999999.5f, 99999.95f, 0.000099999f, 0.0001f, 0.00009999995f, 1e6f})
        check(value);
}

TEST(NumberFormat, ZeroPaddedIndices) {
    auto padded = [](std::int64_t value) {
        std::string out;
        AppendInt03(out, value);
        return out;
    };
    EXPECT_EQ(padded(1), "001");
    EXPECT_EQ(padded(42), "042");
    EXPECT_EQ(padded(999), "999");
    EXPECT_EQ(padded(1000), "1000");
    EXPECT_EQ(padded(0), "000");
    EXPECT_EQ(padded(-5), "-05");
    EXPECT_EQ(padded(-123), "-123");
}

}  // namespace
}  // namespace vertoko
