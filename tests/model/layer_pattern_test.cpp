// Layer patterns as users write them for the layer choice and the materials
// file: shell wildcards over whole characters of UTF-8 names, without case.
#include "model/layer_pattern.h"

#include <gtest/gtest.h>

namespace vertoko {
namespace {

TEST(LayerPattern, WildcardsCountWholeCharactersOfJapaneseNames) {
    // 壁 and １ are three bytes each: '?' must take a character, not a byte.
    EXPECT_TRUE(LayerPatternMatches("壁?", "壁１"));
    EXPECT_TRUE(LayerPatternMatches("壁?", "壁A"));
    EXPECT_FALSE(LayerPatternMatches("壁?", "壁"));
    EXPECT_FALSE(LayerPatternMatches("壁?", "壁１２"));
    EXPECT_TRUE(LayerPatternMatches("???", "窓枠1"));
    EXPECT_TRUE(LayerPatternMatches("*屋根*", "2F屋根-下地"));
    EXPECT_FALSE(LayerPatternMatches("*屋根*", "2F屋-根"));
    EXPECT_TRUE(LayerPatternMatches("*", ""));
    EXPECT_FALSE(LayerPatternMatches("?", ""));
    // A name matches whole: no pattern is a substring search.
    EXPECT_FALSE(LayerPatternMatches("壁", "外壁"));
    EXPECT_TRUE(LayerPatternMatches("", ""));
    EXPECT_FALSE(LayerPatternMatches("", "a"));
}

TEST(LayerPattern, StarsGoBackWhenALaterPartFails) {
    EXPECT_TRUE(LayerPatternMatches("*a*b", "xaybzb"));
    EXPECT_TRUE(LayerPatternMatches("*ab", "aab"));
    EXPECT_TRUE(LayerPatternMatches("a**b", "ab"));
    EXPECT_FALSE(LayerPatternMatches("*a*b", "xaybzc"));
    EXPECT_TRUE(LayerPatternMatches("*-?-*", "A-1-B-2"));
    EXPECT_FALSE(LayerPatternMatches("*x", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxy"));
}

TEST(LayerPattern, LettersCompareWithoutCaseAsDxfNamesDo) {
    EXPECT_TRUE(LayerPatternMatches("WALL*", "wall-north"));
    EXPECT_TRUE(LayerPatternMatches("wall*", "WALL-NORTH"));
    // Fullwidth letters, Greek, Cyrillic and Latin-1 capitals fold too.
    EXPECT_TRUE(LayerPatternMatches("ＷＡＬＬ", "ｗａｌｌ"));
    EXPECT_TRUE(LayerPatternMatches("ΔΩΜΑ", "δωμα"));
    EXPECT_TRUE(LayerPatternMatches("СТЕНА", "стена"));
    EXPECT_TRUE(LayerPatternMatches("FENÊTRE", "fenêtre"));
    // Kana have no case: ア and ｱ are different characters.
    EXPECT_FALSE(LayerPatternMatches("ア", "ｱ"));
    EXPECT_FALSE(LayerPatternMatches("ΔΩΜΑ", "δωμα1"));
}

TEST(LayerPattern, SetsRangesNegationAndEscapes) {
    EXPECT_TRUE(LayerPatternMatches("[A-C]*", "b1"));
    EXPECT_FALSE(LayerPatternMatches("[A-C]*", "d1"));
    EXPECT_TRUE(LayerPatternMatches("[!0-9]*", "x9"));
    EXPECT_FALSE(LayerPatternMatches("[!0-9]*", "9x"));
    EXPECT_FALSE(LayerPatternMatches("[^0-9]*", "9x"));
    EXPECT_TRUE(LayerPatternMatches("[壁床]", "床"));
    EXPECT_FALSE(LayerPatternMatches("[壁床]", "天"));
    EXPECT_TRUE(LayerPatternMatches("[あ-ん]", "か"));
    EXPECT_FALSE(LayerPatternMatches("[あ-ん]", "カ"));
    // ']' first is one of the set; '-' last is itself.
    EXPECT_TRUE(LayerPatternMatches("[]]x", "]x"));
    EXPECT_TRUE(LayerPatternMatches("a[x-]", "a-"));
    // Without its ']' a '[' is an ordinary character.
    EXPECT_TRUE(LayerPatternMatches("[abc", "[abc"));
    EXPECT_FALSE(LayerPatternMatches("[abc", "a"));
    // '\' takes the next character as it is.
    EXPECT_TRUE(LayerPatternMatches("\\*", "*"));
    EXPECT_FALSE(LayerPatternMatches("\\*", "a"));
    EXPECT_TRUE(LayerPatternMatches("a\\?", "a?"));
    EXPECT_FALSE(LayerPatternMatches("a\\?", "ab"));
}

TEST(LayerPattern, BrokenBytesAreCharactersOfTheirOwn) {
    // A name whose decoding kept a stray byte still matches, byte for byte.
    EXPECT_TRUE(LayerPatternMatches("a?b",
                                    "a\xFF"
                                    "b"));
    EXPECT_TRUE(
        LayerPatternMatches("a\xFF"
                            "b",
                            "a\xFF"
                            "b"));
    EXPECT_FALSE(
        LayerPatternMatches("a\xFE"
                            "b",
                            "a\xFF"
                            "b"));
    // A cut sequence is its bytes: two characters here.
    EXPECT_TRUE(LayerPatternMatches("??", "\xE5\xA3"));
    EXPECT_FALSE(LayerPatternMatches("?", "\xE5\xA3"));
    // An overlong '/' is not '/'.
    EXPECT_FALSE(LayerPatternMatches("/", "\xC0\xAF"));
}

}  // namespace
}  // namespace vertoko
