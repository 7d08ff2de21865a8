// The materials file: what its lines mean, how each unusable line is
// reported while the others apply, and which line each polygon takes.
#include "export/materials.h"

#include <gtest/gtest.h>

#include "support/mesh_builder.h"

namespace vertoko {
namespace {

Materials Parse(std::string_view text, std::vector<std::string>& messages) {
    return ParseMaterials(text, "m.txt", messages);
}

TEST(MaterialsFile, LinesOfEachKindCommentsAndLineEnds) {
    std::vector<std::string> messages;
    const Materials m = Parse(
        "\xEF\xBB\xBF# glass first\r\n"
        "\r\n"
        "  窓* = texture { pigment { rgbf <0.9,0.9,1,0.9> } } ; Kd 0.9 0.9 1 d 0.2 # pane\r\n"
        "color 3 = texture{pigment{rgb <0,1,0>}};Kd 0 1 0,Ks 0.5 0.5 0.5,Ns 50\n"
        "COLOR #FF8000 = texture { pigment { rgb 1 } } ; kd 1 0.5 0 D 1\n"
        "color* = texture { pigment { image_map { png \"a}b.png\" } } } ; Kd 1 1 1",
        messages);
    EXPECT_TRUE(messages.empty()) << messages.front();
    ASSERT_EQ(m.rules.size(), 4u);

    EXPECT_EQ(m.rules[0].match, MaterialRule::Match::Layer);
    EXPECT_EQ(m.rules[0].pattern, "窓*");
    EXPECT_EQ(m.rules[0].texture, "texture { pigment { rgbf <0.9,0.9,1,0.9> } }");
    EXPECT_EQ(m.rules[0].mtl, "Kd 0.9 0.9 1\r\nd 0.2\r\n");
    EXPECT_EQ(m.rules[0].line, 3);

    EXPECT_EQ(m.rules[1].match, MaterialRule::Match::ColorIndex);
    EXPECT_EQ(m.rules[1].aci, 3);
    EXPECT_EQ(m.rules[1].texture, "texture{pigment{rgb <0,1,0>}}");
    EXPECT_EQ(m.rules[1].mtl, "Kd 0 1 0\r\nKs 0.5 0.5 0.5\r\nNs 50\r\n");
    EXPECT_EQ(m.rules[1].line, 4);

    // The '#' of a colour is no comment; statements take their usual
    // spelling whatever the file's.
    EXPECT_EQ(m.rules[2].match, MaterialRule::Match::ColorRgb);
    EXPECT_EQ(m.rules[2].rgb, 0xFF8000u);
    EXPECT_EQ(m.rules[2].mtl, "Kd 1 0.5 0\r\nd 1\r\n");

    // "color" without a blank after it is a layer pattern; a brace inside
    // a string does not close the texture.
    EXPECT_EQ(m.rules[3].match, MaterialRule::Match::Layer);
    EXPECT_EQ(m.rules[3].pattern, "color*");
    EXPECT_EQ(m.rules[3].texture, "texture { pigment { image_map { png \"a}b.png\" } } }");
}

TEST(MaterialsFile, EachBadLineIsNamedWithWhatIsWrongAndTheRestApplies) {
    std::vector<std::string> messages;
    const Materials m = Parse(
        "good1 = texture { pigment { rgb 1 } } ; Kd 1 1 1\n"              // 1
        "no equals sign here\n"                                           // 2
        "color 0 = texture { pigment { rgb 1 } } ; Kd 1 1 1\n"            // 3
        "color 256 = texture { pigment { rgb 1 } } ; Kd 1 1 1\n"          // 4
        "color #12345 = texture { pigment { rgb 1 } } ; Kd 1 1 1\n"       // 5
        "a = pigment { rgb 1 } ; Kd 1 1 1\n"                              // 6
        "a = texture { pigment { rgb 1 } ; Kd 1 1 1\n"                    // 7
        "a = texture { pigment { rgb 1 } // x } ; Kd 1 1 1\n"             // 8
        "a = texture { pigment { rgb 1 } } Kd 1 1 1\n"                    // 9
        "a = texture { pigment { rgb 1 } }\n"                             // 10
        "a = texture { pigment { rgb 1 } } ; Ka 1 1 1\n"                  // 11
        "a = texture { pigment { rgb 1 } } ; Kd 1 2 1\n"                  // 12
        "a = texture { pigment { rgb 1 } } ; Kd 1 1\n"                    // 13
        "a = texture { pigment { rgb 1 } } ; Ns 10\n"                     // 14
        "a = texture { pigment { rgb 1 } } ; Kd 1 1 1 Kd 0 0 0\n"         // 15
        " = texture { pigment { rgb 1 } } ; Kd 1 1 1\n"                   // 16
        "\xE7\xAA = texture { pigment { rgb 1 } } ; Kd 1 1 1\n"           // 17
        "a = texture { pigment { rgb 1 } } ; Kd 1,0x1,1\n"                // 18
        "good2 = texture { pigment { rgb 0 } } ; Kd 0 0 0 # the last\n",  // 19
        messages);
    ASSERT_EQ(m.rules.size(), 2u);
    EXPECT_EQ(m.rules[0].pattern, "good1");
    EXPECT_EQ(m.rules[1].pattern, "good2");
    EXPECT_EQ(m.rules[1].line, 19);
    ASSERT_EQ(messages.size(), 17u);
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const std::string where = "材質ファイル m.txt の " + std::to_string(i + 2) + " 行目: ";
        EXPECT_EQ(messages[i].rfind(where, 0), 0u) << messages[i];
        EXPECT_NE(messages[i].find("この行は使いません."), std::string::npos) << messages[i];
    }
    // What is wrong, in a few words the user can act on.
    EXPECT_NE(messages[0].find("「=」がありません"), std::string::npos) << messages[0];
    EXPECT_NE(messages[1].find("color 1 から color 255"), std::string::npos) << messages[1];
    EXPECT_NE(messages[3].find("#RRGGBB"), std::string::npos) << messages[3];
    EXPECT_NE(messages[4].find("texture { ... }"), std::string::npos) << messages[4];
    EXPECT_NE(messages[5].find("対応していません"), std::string::npos) << messages[5];
    EXPECT_NE(messages[6].find("注釈"), std::string::npos) << messages[6];
    EXPECT_NE(messages[9].find("Ka"), std::string::npos) << messages[9];
    EXPECT_NE(messages[12].find("Kd r g b がありません"), std::string::npos) << messages[12];
    EXPECT_NE(messages[13].find("二度"), std::string::npos) << messages[13];
    EXPECT_NE(messages[15].find("UTF-8"), std::string::npos) << messages[15];
}

TEST(MaterialsFile, AFileThatCannotBeReadIsSaidSo) {
    test::TempDir dir;
    Materials m;
    std::vector<std::string> messages;
    EXPECT_FALSE(ReadMaterials(dir / "none.txt", m, messages));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "材質ファイルが読めません: " + (dir / "none.txt"));

    test::WriteBytes(dir / "m.txt", "x = texture { pigment { rgb 1 } } ; Kd 1 1 1\nbad\n");
    messages.clear();
    EXPECT_TRUE(ReadMaterials(dir / "m.txt", m, messages));
    EXPECT_EQ(m.rules.size(), 1u);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("材質ファイル " + (dir / "m.txt") + " の 2 行目: ", 0), 0u);
}

// A palette of three entries for the choice: 1 red, 2 yellow, 3 green.
std::uint32_t Palette(std::int32_t index) {
    switch (index) {
        case 1:
            return 0xFF0000;
        case 2:
            return 0xFFFF00;
        case 3:
            return 0x00FF00;
    }
    return 0xFFFFFF;
}

MeshPolygon Polygon(std::int32_t layer, std::uint32_t color = 0) {
    MeshPolygon p{};
    p.layer = layer;
    p.color = color == 0 ? 0 : kPolygonColorSet | color;
    return p;
}

TEST(MaterialChoice, TheFirstMatchingLineWinsByLayerOrByColour) {
    std::vector<std::string> messages;
    const Materials m = Parse(
        "color 1 = texture { pigment { rgb 1 } } ; Kd 1 0 0\n"        // rule 0
        "窓* = texture { pigment { rgb 1 } } ; Kd 0 0 1\n"            // rule 1
        "color #00FF00 = texture { pigment { rgb 1 } } ; Kd 0 1 0\n"  // rule 2
        "[a-z]* = texture { pigment { rgb 1 } } ; Kd 1 1 1\n",        // rule 3
        messages);
    ASSERT_EQ(m.rules.size(), 4u);
    DrawingLayers layers;
    layers.layers = {{.name = "窓枠", .rgb = 0xFF0000, .aci = 1},
                     {.name = "Wall", .rgb = 0x00FF00, .aci = 3},
                     {.name = "屋根", .rgb = 0xFFFFFF, .aci = 7}};
    layers.objects = {{.layer = -1, .aci = -1}, {.layer = 2, .aci = 3}};
    const MaterialChoice choice(m, &layers, &Palette);

    // A polygon of its own colour: red is index 1's colour, so line 1 wins
    // over the layer's line 2 below it.
    EXPECT_EQ(choice.Rule(0, Polygon(0, 0xFF0000)), 0);
    // A colour no line names: the layer's line.
    EXPECT_EQ(choice.Rule(0, Polygon(0, 0x123456)), 1);
    // Without a colour of its own, its layer's colour (index 1 here).
    EXPECT_EQ(choice.Rule(0, Polygon(0)), 0);
    // Layer Wall, colour 3 by its layer: #00FF00 is index 3's colour and
    // comes before the pattern [a-z]* (without case, "Wall" matches it).
    EXPECT_EQ(choice.Rule(0, Polygon(1)), 2);
    EXPECT_EQ(choice.Rule(0, Polygon(1, 0x0000FF)), 3);
    // Object 1 was split by colour 3: that colour counts, not its layer's.
    EXPECT_EQ(choice.Rule(1, Polygon(2)), 2);
    // 屋根 in white matches nothing.
    EXPECT_EQ(choice.Rule(0, Polygon(2)), -1);
    // A layer index outside the table has neither name nor colour.
    EXPECT_EQ(choice.Rule(0, Polygon(9)), -1);

    // Without the drawing's layers, patterns match nothing and only a
    // polygon's own colour counts.
    const MaterialChoice bare(m, nullptr, &Palette);
    EXPECT_EQ(bare.Rule(0, Polygon(0)), -1);
    EXPECT_EQ(bare.Rule(0, Polygon(0, 0x00FF00)), 2);
    EXPECT_EQ(bare.Rule(0, Polygon(0, 0xFF0000)), 0);
}

}  // namespace
}  // namespace vertoko
