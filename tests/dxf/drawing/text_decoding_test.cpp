// Names decoded to UTF-8: the code page of drawings before R2007, UTF-8
// after, the escapes, and bytes that do not decode replaced, never
// refused. Layer names compare without case after decoding.
#include "dxf/drawing/text_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dxf/drawing_builder.h"

namespace vertoko::test {
namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(TextDecoding, CodePagesEscapesAndBrokenBytes) {
    // Shift_JIS: 壁, and ソ whose trail byte is a backslash.
    EXPECT_EQ(ToUtf8("\x95\xC7", "CP932"), "壁");
    EXPECT_EQ(ToUtf8("\x83\x5C", "CP932"), "ソ");
    // A lead byte cut off at the end, and a byte no character starts with.
    EXPECT_EQ(ToUtf8("A\x95", "CP932"), "A" + kFffd);
    EXPECT_EQ(ToUtf8("\xFF"
                     "B",
                     "CP932"),
              kFffd + "B");
    EXPECT_EQ(ToUtf8("\xB9\xA4", "CP936"), "工");
    EXPECT_EQ(ToUtf8("\xE9", "CP1252"), "é");
    // UTF-8 kept; its broken bytes replaced one by one.
    EXPECT_EQ(ToUtf8("壁", ""), "壁");
    EXPECT_EQ(ToUtf8("a\xC3(\xE5\xA3", ""), "a" + kFffd + "(" + kFffd + kFffd);

    EXPECT_EQ(ResolveEscapes("\\U+58C1\\U+0041x"), "壁Ax");
    EXPECT_EQ(ResolveEscapes("\\u+5c4b\\U+6839"), "屋根");
    EXPECT_EQ(ResolveEscapes("\\M+195C7"), "壁");  // CP932 bytes 95 C7
    // Not escapes: left as written.
    EXPECT_EQ(ResolveEscapes("\\U+12 \\M+9ABCD \\X"), "\\U+12 \\M+9ABCD \\X");
    EXPECT_EQ(ResolveEscapes("\\U+D800"), kFffd);  // a lone surrogate is no character
}

TEST(TextDecoding, VersionAndCodePageChooseTheDecoding) {
    TextDecoding r12;
    r12.SetVersion("AC1009");
    r12.SetCodePage("ANSI_932");
    EXPECT_EQ(r12.Charset(), "CP932");
    EXPECT_EQ(r12.Decode("\x91\x8B\x98g"), "窓枠");
    r12.SetCodePage("dos932");  // as R13 drawings write it
    EXPECT_EQ(r12.Decode("\x95\xC7"), "壁");
    // From R2007 on the text is UTF-8 whatever the code page says.
    TextDecoding r2007;
    r2007.SetCodePage("ANSI_932");
    r2007.SetVersion("AC1021");
    EXPECT_EQ(r2007.Charset(), "");
    EXPECT_EQ(r2007.Decode("窓枠\\U+0031"), "窓枠1");
    // No header: UTF-8 while it is valid, DXF's default code page else.
    TextDecoding none;
    EXPECT_EQ(none.Decode("壁"), "壁");
    EXPECT_EQ(none.Decode("Caf\xE9"), "Café");
    // A code page this system does not know: as without one.
    TextDecoding unknown;
    unknown.SetVersion("AC1015");
    unknown.SetCodePage("ANSI_99999");
    EXPECT_EQ(unknown.Charset(), "");
}

std::string Header(const std::string& version, const std::string& codePage) {
    return Pairs({{0, "SECTION"},
                  {2, "HEADER"},
                  {9, "$ACADVER"},
                  {1, version},
                  {9, "$DWGCODEPAGE"},
                  {3, codePage},
                  {0, "ENDSEC"}});
}

const std::vector<Corner> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

std::vector<std::string> ObjectLayers(const ReadResult& r) {
    std::vector<std::string> names;
    for (const ObjectLabel& label : r.layers.objects)
        names.push_back(r.layers.layers[static_cast<std::size_t>(label.layer)].name);
    return names;
}

TEST(TextDecoding, LayerNamesAreDecodedBeforeTheirCaseIsFolded) {
    // ア (83 41) and ヂ (83 61) differ in a trail byte that upper-casing the
    // bytes would make equal; 窓枠 ends in the byte 'g'.
    const std::string faces = Face(kSquare, "\x83\x41") + Face(kSquare, "\x83\x61") +
                              Face(kSquare, "\x91\x8B\x98g") + Face(kSquare, "\x83\x41");
    const std::string drawing = Header("AC1009", "ANSI_932") + Drawing("", faces);
    const ReadResult r = ReadWith(drawing, false, false, true);
    ASSERT_EQ(r.count, 3) << r.message;
    EXPECT_EQ(ObjectLayers(r), (std::vector<std::string>{"ア", "ヂ", "窓枠"}));
    EXPECT_EQ(r.table[0].polygonCount, 2);
}

TEST(TextDecoding, LayerNamesCompareWholeAndWithoutCase) {
    // Two layers whose first words are equal are two layers; the same name
    // in other letter case, with blanks around or as an escape is one, and
    // is named as first written.
    const std::string faces = Face(kSquare, "Tavolo 2") + Face(kSquare, "Tavolo 3") +
                              Face(kSquare, "TAVOLO 2 ") + Face(kSquare, "\\U+0074avolo 3") +
                              Face(kSquare, "Wall");
    for (const char* version : {"AC1015", "AC1032"}) {
        const ReadResult r =
            ReadWith(Header(version, "ANSI_1252") + Drawing("", faces), false, false, true);
        ASSERT_EQ(r.count, 3) << r.message;
        EXPECT_EQ(ObjectLayers(r), (std::vector<std::string>{"Tavolo 2", "Tavolo 3", "Wall"}));
        EXPECT_EQ(r.table[0].polygonCount, 2);
        EXPECT_EQ(r.table[1].polygonCount, 2);
    }
    // Broken bytes read with replacement characters, in a wrong code page
    // too: Shift_JIS read as UTF-8 (R2018) is not refused.
    const ReadResult wrong = ReadWith(
        Header("AC1032", "ANSI_1252") + Drawing("", Face(kSquare, "\x95\xC7")), false, false, true);
    ASSERT_EQ(wrong.count, 1) << wrong.message;
    EXPECT_EQ(ObjectLayers(wrong), (std::vector<std::string>{kFffd + kFffd}));
}

}  // namespace
}  // namespace vertoko::test
