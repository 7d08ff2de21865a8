// Reading and building the EASTRAY option string and the limits of the
// option texts, without a window.
#include "dialogs/estray_options.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vertoko {
namespace {

// The longest option string and statement the settings file keeps (its
// ESTRopt and POVRstate fields), in bytes.
constexpr std::size_t kOptionMax = 79;
constexpr std::size_t kStatementMax = 87;

TEST(EstrayOptionsReading, FullStringGivesEveryOptionAndBothValues) {
    const EstrayOptionWords words = ReadEstrayOptions(" s k 0.250000 n c red");
    EXPECT_TRUE(words.smooth);
    EXPECT_TRUE(words.normal);
    EXPECT_EQ(words.kValue, 2500);
    EXPECT_TRUE(words.noShadow);
    EXPECT_TRUE(words.colour);
    EXPECT_EQ(words.colourName, "red");
}

TEST(EstrayOptionsReading, BlanksAndTabsSeparateWords) {
    const EstrayOptionWords words = ReadEstrayOptions("\t n\t\tc  blue   ");
    EXPECT_TRUE(words.noShadow);
    EXPECT_EQ(words.colourName, "blue");
    EXPECT_FALSE(words.smooth);
}

TEST(EstrayOptionsReading, StopsAtTheFirstUnknownWord) {
    EXPECT_TRUE(ReadEstrayOptions("s x k 0.5").smooth);
    EXPECT_FALSE(ReadEstrayOptions("s x k 0.5").normal);
    // Other case and longer words are unknown too.
    EXPECT_FALSE(ReadEstrayOptions("S n").noShadow);
    EXPECT_FALSE(ReadEstrayOptions("ss n").noShadow);
    // The colour name is one word: the rest of a blank-separated name stops
    // the reading.
    const EstrayOptionWords dark = ReadEstrayOptions(" c dark red n");
    EXPECT_EQ(dark.colourName, "dark");
    EXPECT_FALSE(dark.noShadow);
}

TEST(EstrayOptionsReading, ValueWordIsTakenWhateverItSays) {
    const EstrayOptionWords words = ReadEstrayOptions("k s");
    EXPECT_TRUE(words.normal);
    EXPECT_EQ(words.kValue, 0);
    EXPECT_FALSE(words.smooth);
    EXPECT_EQ(ReadEstrayOptions("c s").colourName, "s");
}

TEST(EstrayOptionsReading, OptionWithoutItsValueAtTheEndBringsNone) {
    EXPECT_TRUE(ReadEstrayOptions("s k").normal);
    EXPECT_FALSE(ReadEstrayOptions("s k").kValue);
    EXPECT_TRUE(ReadEstrayOptions("c  ").colour);
    EXPECT_FALSE(ReadEstrayOptions("c  ").colourName);
    const EstrayOptionWords none = ReadEstrayOptions("");
    EXPECT_FALSE(none.smooth || none.normal || none.noShadow || none.colour);
}

TEST(EstrayOptionsReading, NumberWordReadsItsLongestLeadingNumber) {
    EXPECT_EQ(LeadingNumberToFixed("0.5"), 5000);
    EXPECT_EQ(LeadingNumberToFixed("0.5abc"), 5000);
    EXPECT_EQ(LeadingNumberToFixed("-1.25"), -12500);
    EXPECT_EQ(LeadingNumberToFixed("+3"), 30000);
    EXPECT_EQ(LeadingNumberToFixed("1e2"), 1000000);
    EXPECT_EQ(LeadingNumberToFixed("2e"), 20000);
    EXPECT_EQ(LeadingNumberToFixed(".75x"), 7500);
    EXPECT_EQ(LeadingNumberToFixed("abc"), 0);
    EXPECT_EQ(LeadingNumberToFixed("-"), 0);
    EXPECT_EQ(LeadingNumberToFixed("0.00005"), 0);  // 0.5 ten-thousandths: to even
    EXPECT_EQ(LeadingNumberToFixed("0.00015"), 2);
    EXPECT_EQ(LeadingNumberToFixed("0.00025"), 2);
    EXPECT_EQ(LeadingNumberToFixed("-0.00035"), -4);
    EXPECT_EQ(LeadingNumberToFixed("99999999999999999999"),
              std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(LeadingNumberToFixed("1e400"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(LeadingNumberToFixed("-1e400"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(LeadingNumberToFixed("1e-400"), 0);
}

TEST(EstrayOptionsBuilding, OptionsInOrderEachWithOneLeadingBlank) {
    std::string red = "red";
    EXPECT_EQ(BuildEstrayOptions(true, true, 2500, true, true, red, kOptionMax),
              " s k 0.250000 n c red");
    std::string none;
    EXPECT_EQ(BuildEstrayOptions(false, false, 0, false, false, none, kOptionMax), "");
    std::string unused = "blue";
    EXPECT_EQ(BuildEstrayOptions(true, false, 9999, false, false, unused, kOptionMax), " s");
    EXPECT_EQ(BuildEstrayOptions(false, true, 5000, false, false, unused, kOptionMax),
              " k 0.500000");
    EXPECT_EQ(BuildEstrayOptions(false, true, -2500, true, false, unused, kOptionMax),
              " k -0.250000 n");
    std::string empty;
    EXPECT_EQ(BuildEstrayOptions(false, false, 0, true, true, empty, kOptionMax), " n");
}

TEST(EstrayOptionsBuilding, BuiltStringReadsBackToTheSameOptions) {
    std::string colour = "green";
    const std::string built =
        BuildEstrayOptions(true, true, 12345678, true, true, colour, kOptionMax);
    EXPECT_EQ(built, " s k 1234.567800 n c green");
    const EstrayOptionWords words = ReadEstrayOptions(built);
    EXPECT_TRUE(words.smooth && words.normal && words.noShadow && words.colour);
    EXPECT_EQ(words.kValue, 12345678);
    EXPECT_EQ(words.colourName, "green");
}

TEST(EstrayOptionsBuilding, SixDecimalsAreExactForEveryCount) {
    EXPECT_EQ(FixedToSixDecimals(0), "0.000000");
    EXPECT_EQ(FixedToSixDecimals(1), "0.000100");
    EXPECT_EQ(FixedToSixDecimals(std::numeric_limits<std::int64_t>::max()),
              "922337203685477.580700");
    EXPECT_EQ(FixedToSixDecimals(std::numeric_limits<std::int64_t>::min()),
              "-922337203685477.580800");
}

TEST(EstrayOptionsLimits, LongColourNameIsCutSoTheStringFits) {
    std::string colour(100, 'r');
    const std::string built = BuildEstrayOptions(true, true, 5000, true, true, colour, kOptionMax);
    EXPECT_EQ(built.size(), kOptionMax);
    // " s k 0.500000 n c " takes 18 characters.
    EXPECT_EQ(colour, std::string(79 - 18, 'r'));
    EXPECT_EQ(built.substr(0, 18), " s k 0.500000 n c ");

    std::string fits(76, 'b');
    EXPECT_EQ(BuildEstrayOptions(false, false, 0, false, true, fits, kOptionMax).size(), 79u);
    EXPECT_EQ(fits.size(), 76u);
}

TEST(EstrayOptionsLimits, CutsCountBytesAndNeverSplitACharacter) {
    // Each of these kanji takes three bytes of UTF-8.
    EXPECT_EQ(CutUtf8("赤い色", 6), "赤い");
    EXPECT_EQ(CutUtf8("赤い色", 8), "赤い");
    EXPECT_EQ(CutUtf8("ab", 5), "ab");
    EXPECT_EQ(CutUtf8("abc", 0), "");
    std::string colour;
    for (int i = 0; i < 30; ++i) colour += "赤";
    const std::string built = BuildEstrayOptions(true, false, 0, false, true, colour, kOptionMax);
    // " s c " leaves 74 bytes: 24 whole kanji.
    EXPECT_EQ(colour.size(), 72u);
    EXPECT_EQ(built, " s c " + colour);
    EXPECT_LE(built.size(), kOptionMax);
}

TEST(EstrayOptionsLimits, StatementBlankBecomesEmptyLongIsCut) {
    EXPECT_EQ(StatementText("   ", kStatementMax), "");
    EXPECT_EQ(StatementText(" \t\r\n", kStatementMax), "");
    EXPECT_EQ(StatementText("", kStatementMax), "");
    EXPECT_EQ(StatementText(" pigment {Red} ", kStatementMax), " pigment {Red} ");
    EXPECT_EQ(StatementText(std::string(120, 'x'), kStatementMax), std::string(87, 'x'));
    std::string kana;
    for (int i = 0; i < 40; ++i) kana += "ｱ";  // three bytes each
    EXPECT_EQ(StatementText(kana, kStatementMax).size(), 87u);
}

}  // namespace
}  // namespace vertoko
