// Cleaning, reading, rounding and the display patterns of the numeric edit,
// without a window.
#include "controls/numedit_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace vertoko {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

std::optional<std::int64_t> Fixed(const char* text) {
    const auto number = ParseDecimalText(text);
    if (!number) return std::nullopt;
    return DecimalToFixed(*number);
}

TEST(NumEditCleaning, KeepsDigitsMinusAndPointInOrder) {
    EXPECT_EQ(CurrToStr("1,234.5"), "1234.5");
    EXPECT_EQ(CurrToStr("12a.3b"), "12.3");
    EXPECT_EQ(CurrToStr("x-1y.2-"), "-1.2-");
    EXPECT_EQ(CurrToStr("abc"), "0");
    EXPECT_EQ(CurrToStr(""), "0");
    EXPECT_EQ(CurrToStr("１２３"), "0");  // full-width digits are not digits
}

TEST(NumEditCleaning, ConsidersOnlyTheFirst255Characters) {
    const std::string text = std::string(254, 'a') + "12" + "345";
    EXPECT_EQ(CurrToStr(text), "1");
}

TEST(NumEditReading, AcceptsOneLeadingMinusAndOnePoint) {
    EXPECT_TRUE(ParseDecimalText("-12.5"));
    EXPECT_TRUE(ParseDecimalText(".5"));
    EXPECT_TRUE(ParseDecimalText("5."));
    EXPECT_TRUE(ParseDecimalText("-.5"));
    EXPECT_FALSE(ParseDecimalText("1.2.3"));
    EXPECT_FALSE(ParseDecimalText("1-2"));
    EXPECT_FALSE(ParseDecimalText("--1"));
    EXPECT_FALSE(ParseDecimalText("-"));
    EXPECT_FALSE(ParseDecimalText("."));
    EXPECT_FALSE(StrToFloat2("1.2.3", 4));
    EXPECT_FALSE(StrToCurr("3-", 0));
}

TEST(NumEditPatterns, PlainPatternPadsAndRoundsHalvesAway) {
    EXPECT_EQ(*StrToFloat2("1,234.5", 4), "1234.5000");
    EXPECT_EQ(*StrToFloat2("abc", 4), "0.0000");
    EXPECT_EQ(*StrToFloat2("0.00015", 5), "0.00015");
    EXPECT_EQ(*StrToFloat2("0.99995", 4), "1.0000");
    EXPECT_EQ(*StrToFloat2("2.5", 0), "3");
    EXPECT_EQ(*StrToFloat2("-2.5", 0), "-3");
    EXPECT_EQ(*StrToFloat2("-0.00001", 4), "0.0000");
    EXPECT_EQ(*StrToFloat2("007", 2), "7.00");
    EXPECT_EQ(*StrToFloat2(".25", 1), "0.3");
}

TEST(NumEditPatterns, ThousandsPatternGroupsIntegerDigits) {
    EXPECT_EQ(*StrToCurr("1234.5", 4), "1,234.5000");
    EXPECT_EQ(*StrToCurr("-1234567", 0), "-1,234,567");
    EXPECT_EQ(*StrToCurr("999.9", 0), "1,000");
    EXPECT_EQ(*StrToCurr("123", 2), "123.00");
    EXPECT_EQ(*StrToCurr("1,234.5000", 4), "1,234.5000");
}

TEST(NumEditFixedPoint, TenThousandthsRoundHalvesToEven) {
    EXPECT_EQ(Fixed("1234.5"), 12345000);
    EXPECT_EQ(Fixed("0.00015"), 2);
    EXPECT_EQ(Fixed("0.00025"), 2);
    EXPECT_EQ(Fixed("0.000250001"), 3);
    EXPECT_EQ(Fixed("0.00024999"), 2);
    EXPECT_EQ(Fixed("-0.00015"), -2);
    EXPECT_EQ(Fixed("-0.00005"), 0);
}

TEST(NumEditFixedPoint, RefusesWhatDoesNotFitSixtyFourBits) {
    EXPECT_EQ(Fixed("922337203685477.5807"), kMax);
    EXPECT_EQ(Fixed("922337203685477.58074"), kMax);
    EXPECT_FALSE(Fixed("922337203685477.5808"));
    EXPECT_FALSE(Fixed("922337203685477.58075"));
    EXPECT_EQ(Fixed("-922337203685477.5808"), kMin);
    EXPECT_FALSE(Fixed("-922337203685477.5809"));
    EXPECT_FALSE(Fixed("100000000000000000000"));
    EXPECT_EQ(Fixed("0000000000000000000000001"), 10000);
}

TEST(NumEditFixedPoint, ShortestFormDropsTrailingZeros) {
    EXPECT_EQ(FixedToShortest(0), "0");
    EXPECT_EQ(FixedToShortest(5000), "0.5");
    EXPECT_EQ(FixedToShortest(1), "0.0001");
    EXPECT_EQ(FixedToShortest(-122500), "-12.25");
    EXPECT_EQ(FixedToShortest(12345678), "1234.5678");
    EXPECT_EQ(FixedToShortest(30000), "3");
    // Fifteen significant digits at most.
    EXPECT_EQ(FixedToShortest(kMax), "922337203685478");
    EXPECT_EQ(FixedToShortest(kMin), "-922337203685478");
    EXPECT_EQ(FixedToShortest(123456789012345678), "12345678901234.6");
}

TEST(NumEditFixedPoint, ExactDecimalOfExtremeValues) {
    const DecimalText low = FixedToDecimal(kMin);
    EXPECT_TRUE(low.negative);
    EXPECT_EQ(low.integer, "922337203685477");
    EXPECT_EQ(low.fraction, "5808");
    EXPECT_EQ(FormatDecimal(FixedToDecimal(-5), 4, true), "-0.0005");
}

TEST(NumEditRounding, DoublesRoundHalvesToEvenAndSaturate) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.5000001), 3);
    EXPECT_EQ(RoundHalfEven(-0.4), 0);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(1e300), kMax);
    EXPECT_EQ(RoundHalfEven(-1e300), kMin);
}

TEST(NumEditMessages, NotAFloatNamesTheCleanedText) {
    EXPECT_EQ(NotAFloatMessage("1.2.3"), "'1.2.3' は浮動小数点数ではありません");
}

}  // namespace
}  // namespace vertoko
