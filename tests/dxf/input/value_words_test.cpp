// The first word of a value, as names are compared.
#include "dxf/input/value_words.h"

#include <gtest/gtest.h>

namespace vertoko {
namespace {

TEST(ReadToken, UpperCasesTheFirstWordOnly) {
    char out[20];
    EXPECT_EQ(ReadToken("  3dface extra", out, sizeof out), 6u);
    EXPECT_STREQ(out, "3DFACE");
    // Bytes outside a to z pass unchanged (UTF-8 here).
    ReadToken("\xe6\xb4\x81\xe5\x85\xb7x", out, sizeof out);
    EXPECT_STREQ(out, "\xe6\xb4\x81\xe5\x85\xb7X");
    // The buffer bounds the word.
    EXPECT_EQ(ReadToken("VERTEXVERTEXVERTEXVERTEX", out, sizeof out), 19u);
    EXPECT_EQ(ReadToken("", out, sizeof out), 0u);
    EXPECT_STREQ(out, "");
}

TEST(TokenView, PlainWordsAreTheLineItselfOthersTheCopy) {
    char out[16];
    const std::string_view plain = "3DFACE";
    EXPECT_EQ(TokenView(plain, out, sizeof out).data(), plain.data());
    EXPECT_EQ(TokenView(" 3dface", out, sizeof out), "3DFACE");
    EXPECT_EQ(TokenView("LINE  x", out, sizeof out), "LINE");
    // A word as long as the buffer cannot be the view: it is cut in the copy.
    EXPECT_EQ(TokenView("ABCDEFGHIJKLMNOPQ", out, sizeof out), "ABCDEFGHIJKLMNO");
}

}  // namespace
}  // namespace vertoko
