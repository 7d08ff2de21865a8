// The read's layers: every layer met, in the order met with the LAYER
// entries first, each polygon's layer (copies placed by insertions too),
// the faces on each layer and what each object stands for.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dxf/drawing/layer_patterns.h"
#include "dxf/drawing_builder.h"
#include "model/layer_pattern.h"

namespace vertoko::test {
namespace {

std::vector<std::string> Names(const ReadResult& r) {
    std::vector<std::string> names;
    for (const DrawingLayer& layer : r.layers.layers) names.push_back(layer.name);
    return names;
}

const DrawingLayer& Layer(const ReadResult& r, const std::string& name) {
    for (const DrawingLayer& layer : r.layers.layers) {
        if (layer.name == name) return layer;
    }
    static const DrawingLayer none{"(none)"};
    ADD_FAILURE() << "no layer " << name;
    return none;
}

const std::vector<Corner> kSquare = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};

TEST(DrawingLayers, EntriesFirstThenLayersAsEntitiesNameThem) {
    const std::string tables = Pairs(
        {{0, "SECTION"},   {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {0, "LAYER"}, {2, "0"},
         {70, "0"},        {62, "7"},     {0, "LAYER"}, {2, "Walls"}, {70, "0"},    {62, "1"},
         {0, "LAYER"},     {2, "Off"},    {70, "0"},    {62, "-3"},   {0, "LAYER"}, {2, "Frozen"},
         {70, "1"},        {62, "5"},     {0, "LAYER"}, {2, "Rgb"},   {70, "0"},    {62, "2"},
         {420, "1193046"}, {0, "ENDTAB"}, {0, "ENDSEC"}});
    const std::string entities = Face(kSquare, "Roof") + Face(kSquare, "Walls") +
                                 Face(kSquare, "Roof") + Face(kSquare, "  Glass  ");
    for (const bool colors : {false, true}) {
        const ReadResult r = ReadWith(Drawing("", entities, tables), false, colors);
        ASSERT_EQ(r.count, 1) << r.message;
        EXPECT_EQ(Names(r), (std::vector<std::string>{"0", "Walls", "Off", "Frozen", "Rgb", "Roof",
                                                      "Glass"}));
        EXPECT_EQ(Layer(r, "Walls").aci, 1);
        EXPECT_EQ(Layer(r, "Walls").rgb, 0xFF0000u);
        EXPECT_FALSE(Layer(r, "Walls").off);
        // Off: a negative colour, still the layer's colour.
        EXPECT_TRUE(Layer(r, "Off").off);
        EXPECT_EQ(Layer(r, "Off").aci, 3);
        EXPECT_EQ(Layer(r, "Off").rgb, 0x00FF00u);
        EXPECT_TRUE(Layer(r, "Frozen").frozen);
        EXPECT_FALSE(Layer(r, "Frozen").off);
        EXPECT_EQ(Layer(r, "Rgb").rgb, 0x123456u);
        EXPECT_EQ(Layer(r, "Rgb").aci, 2);
        // A layer without an entry is white.
        EXPECT_EQ(Layer(r, "Roof").aci, 7);
        EXPECT_EQ(Layer(r, "Roof").rgb, 0xFFFFFFu);
        // Each polygon keeps its layer; the faces are counted per layer.
        ASSERT_EQ(r.table[0].polygonCount, 4);
        EXPECT_EQ(r.LayerOf(0, 0), "Roof");
        EXPECT_EQ(r.LayerOf(0, 1), "Walls");
        EXPECT_EQ(r.LayerOf(0, 2), "Roof");
        EXPECT_EQ(r.LayerOf(0, 3), "Glass");
        EXPECT_EQ(Layer(r, "Roof").faces, 2);
        EXPECT_EQ(Layer(r, "Walls").faces, 1);
        EXPECT_EQ(Layer(r, "0").faces, 0);
        // One object of several layers.
        ASSERT_EQ(r.layers.objects.size(), 1u);
        EXPECT_EQ(r.layers.objects[0].layer, -1);
        EXPECT_EQ(r.layers.objects[0].aci, -1);
    }
}

TEST(DrawingLayers, ObjectsStandForTheirLayerAndColour) {
    const std::string entities =
        Face(kSquare, "A", 3) + Face(kSquare, "B") + Face(kSquare, "A", 3) + Face(kSquare, "A", 5);
    const ReadResult r = ReadWith(Drawing("", entities), false, false, true);
    ASSERT_EQ(r.count, 3) << r.message;
    ASSERT_EQ(r.layers.objects.size(), 3u);
    const auto name = [&](int o) {
        return r.layers.layers[static_cast<std::size_t>(r.layers.objects[o].layer)].name;
    };
    EXPECT_EQ(name(0), "A");
    EXPECT_EQ(r.layers.objects[0].aci, 3);
    EXPECT_EQ(name(1), "B");
    EXPECT_EQ(r.layers.objects[1].aci, -1);  // no colour group: none
    EXPECT_EQ(name(2), "A");
    EXPECT_EQ(r.layers.objects[2].aci, 5);
    EXPECT_EQ(Layer(r, "A").faces, 3);
    EXPECT_EQ(Layer(r, "B").faces, 1);
}

TEST(DrawingLayers, BlockEntitiesOnLayerZeroTakeTheInsertionsLayer) {
    // Block IN holds a face on "0" and one on "Own"; block OUT inserts IN
    // on "0" and holds a face on "0" itself. OUT is inserted on "Outer",
    // IN directly on "Direct".
    const std::string blocks =
        Block("IN", {0, 0, 0}, Face(kSquare, "0") + Face(kSquare, "Own")) +
        Block("OUT", {0, 0, 0}, Insert("IN", {0, 0, 0}, {{8, "0"}}) + Face(kSquare, "0"));
    const std::string entities =
        Insert("OUT", {10, 0, 0}, {{8, "Outer"}}) + Insert("IN", {20, 0, 0}, {{8, "Direct"}});
    for (const bool multi : {false, true}) {
        const ReadResult r = ReadWith(Drawing(blocks, entities), true, false, multi);
        ASSERT_GT(r.count, 0) << r.message;
        std::int64_t total = 0;
        for (int o = 0; o < r.count; ++o) {
            for (int i = 0; i < r.table[o].polygonCount; ++i) {
                ++total;
                // Every polygon of an object of one layer is on that layer.
                if (multi) {
                    EXPECT_EQ(r.table[o].ptbl[i]->layer, r.layers.objects[o].layer);
                }
            }
        }
        EXPECT_EQ(total, 5);
        EXPECT_EQ(Layer(r, "Outer").faces, 2) << "multi " << multi;   // IN's "0" face, OUT's own
        EXPECT_EQ(Layer(r, "Direct").faces, 1) << "multi " << multi;  // IN's "0" face
        EXPECT_EQ(Layer(r, "Own").faces, 2) << "multi " << multi;     // once per copy of IN
        EXPECT_EQ(Layer(r, "0").faces, 0) << "multi " << multi;
    }
}

ReaderOptions Chosen(int visible, const std::string& layers = {}, const std::string& excluded = {},
                     int multi = 0) {
    ReaderOptions options;
    options.dxfMulti = multi;
    options.dxfClv = 0;
    options.dxfInsert = 1;
    options.dxfVisible = visible;
    options.dxfLayers = layers;
    options.dxfNoLayers = excluded;
    return options;
}

std::int64_t Polygons(const ReadResult& r) {
    std::int64_t total = 0;
    for (int o = 0; o < r.count; ++o) total += r.table[o].polygonCount;
    return total;
}

// Layers: Wall 3 faces, Off 2 (off), Frozen 1 (frozen), Glass 4; a block B
// of a face on "0" and one on Off, inserted on Wall once and on Frozen once.
std::string ChoosingDrawing() {
    const std::string tables = Pairs({{0, "SECTION"},
                                      {2, "TABLES"},
                                      {0, "TABLE"},
                                      {2, "LAYER"},
                                      {0, "LAYER"},
                                      {2, "Wall"},
                                      {70, "0"},
                                      {62, "1"},
                                      {0, "LAYER"},
                                      {2, "Off"},
                                      {70, "0"},
                                      {62, "-2"},
                                      {0, "LAYER"},
                                      {2, "Frozen"},
                                      {70, "1"},
                                      {62, "3"},
                                      {0, "ENDTAB"},
                                      {0, "ENDSEC"}});
    std::string faces;
    for (int i = 0; i < 3; ++i) faces += Face(kSquare, "Wall");
    for (int i = 0; i < 2; ++i) faces += Face(kSquare, "Off");
    faces += Face(kSquare, "frozen");  // the entry's name in other letter case
    for (int i = 0; i < 4; ++i) faces += Face(kSquare, "Glass");
    const std::string blocks = Block("B", {0, 0, 0}, Face(kSquare, "0") + Face(kSquare, "Off"));
    return Drawing(
        blocks,
        faces + Insert("B", {5, 0, 0}, {{8, "Wall"}}) + Insert("B", {9, 0, 0}, {{8, "Frozen"}}),
        tables);
}

TEST(ChoosingLayers, HiddenLayersContributeNothingAndAreCounted) {
    const std::string drawing = ChoosingDrawing();
    for (const int multi : {0, 1}) {
        // All read: 10 faces and two copies of B's two.
        const ReadResult all = ReadText(drawing, Chosen(0, {}, {}, multi));
        EXPECT_EQ(Polygons(all), 14);
        EXPECT_EQ(all.unconverted, "");
        // Hidden left out: Off's 2 and the copy on Wall's face on Off,
        // Frozen's 1, and the whole copy on Frozen (2).
        const ReadResult visible = ReadText(drawing, Chosen(1, {}, {}, multi));
        EXPECT_EQ(Polygons(visible), 3 + 4 + 1);
        EXPECT_EQ(visible.unconverted, "変換しなかった図形：非表示レイヤー = 6");
        EXPECT_EQ(Layer(visible, "Wall").faces, 4);  // B's "0" face placed on Wall
        EXPECT_EQ(Layer(visible, "Off").faces, 0);
        EXPECT_EQ(Layer(visible, "Glass").faces, 4);
        // A hidden layer is still listed, with its state.
        EXPECT_TRUE(Layer(visible, "Off").off);
        EXPECT_TRUE(Layer(visible, "Frozen").frozen);
    }
}

TEST(ChoosingLayers, PatternsChooseByDecodedNameWithoutCase) {
    const std::string drawing = ChoosingDrawing();
    // Wall: its 3 and the copy on Wall's face on "0" (its face on Off is
    // on Off).
    EXPECT_EQ(Polygons(ReadText(drawing, Chosen(0, "w*"))), 3 + 1);
    // Excluding wins; B's face on "0" goes with its insertion's layer.
    EXPECT_EQ(Polygons(ReadText(drawing, Chosen(0, "*", "OFF, g?ass"))), 3 + 1 + 1 + 1);
    EXPECT_EQ(Polygons(ReadText(drawing, Chosen(0, "[fw]*,", "wall"))), 1 + 1);
    // Hidden and patterns together: hidden faces are counted as such.
    const ReadResult both = ReadText(drawing, Chosen(1, "", "Glass"));
    EXPECT_EQ(Polygons(both), 3 + 1);
    EXPECT_EQ(both.unconverted, "変換しなかった図形：非表示レイヤー = 6");

    // Nothing left: the log says why.
    const ReadResult none = ReadText(drawing, Chosen(0, "Roof"));
    EXPECT_EQ(Polygons(none), 0);
    EXPECT_EQ(none.emptyCause, EmptyCause::FacesOnlyOnLayersLeftOut);
    const std::string onlyHidden = Drawing("", Face(kSquare, "Off"),
                                           Pairs({{0, "SECTION"},
                                                  {2, "TABLES"},
                                                  {0, "TABLE"},
                                                  {2, "LAYER"},
                                                  {0, "LAYER"},
                                                  {2, "Off"},
                                                  {70, "0"},
                                                  {62, "-2"},
                                                  {0, "ENDTAB"},
                                                  {0, "ENDSEC"}}));
    for (const int multi : {0, 1}) {
        const ReadResult hidden = ReadText(onlyHidden, Chosen(1, {}, {}, multi));
        EXPECT_EQ(Polygons(hidden), 0);
        EXPECT_EQ(hidden.emptyCause, EmptyCause::FacesOnlyOnHiddenLayers);
        EXPECT_EQ(hidden.unconverted, "変換しなかった図形：非表示レイヤー = 1");
    }
    EXPECT_EQ(EmptyResultLine(EmptyCause::FacesOnlyOnLayersLeftOut),
              "図面の面は、読み込まないレイヤーの上にしかありません.");
}

TEST(ChoosingLayers, PatternMatching) {
    EXPECT_TRUE(LayerPatternMatches("壁?", "壁A"));
    EXPECT_TRUE(LayerPatternMatches("?枠", "窓枠"));  // one character, three bytes
    EXPECT_FALSE(LayerPatternMatches("??", "窓"));
    EXPECT_TRUE(LayerPatternMatches("*窓*", "大窓枠"));
    EXPECT_TRUE(LayerPatternMatches("roof-[0-9]", "ROOF-7"));
    EXPECT_FALSE(LayerPatternMatches("roof-[!0-9]", "ROOF-7"));
    EXPECT_TRUE(LayerPatternMatches("[窓壁]", "壁"));
    EXPECT_TRUE(LayerPatternMatches("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(LayerPatternMatches("a*b*c", "aXbYbZ"));
    EXPECT_TRUE(LayerPatternMatches("[ab", "[ab"));  // a set never closed is plain text
    EXPECT_TRUE(LayerPatternMatches("*", ""));
    EXPECT_FALSE(LayerPatternMatches("", "a"));
    const LayerPatterns list(" 壁* , [a,b]x ,,");
    EXPECT_TRUE(list.Matches("壁1"));
    EXPECT_TRUE(list.Matches("Bx"));
    EXPECT_TRUE(list.Matches(",x"));  // the comma in the set is one of it
    EXPECT_FALSE(list.Matches("cx"));
    EXPECT_TRUE(LayerPatterns(" , ").Empty());
}

TEST(ChoosingLayers, SampleDrawings) {
    // Two layers whose first words are equal: each keeps its faces and its
    // colour (libredwg's example drawing; layers and colours per ezdxf).
    const ReadResult tavolo = ReadSample("libredwg/example_2000.dxf", 1);
    ASSERT_GT(tavolo.count, 0) << tavolo.message;
    EXPECT_EQ(Layer(tavolo, "Tavolo 2").aci, 2);
    EXPECT_EQ(Layer(tavolo, "Tavolo 3").aci, 4);
    EXPECT_TRUE(Layer(tavolo, "ADSK_SYSTEM_LIGHTS").frozen);
    // A Chinese layer name of an R2013 drawing, as ezdxf decodes it.
    const ReadResult chinese = ReadSample("libredwg/2013_gh109_1.dxf");
    EXPECT_NE(std::find(Names(chinese).begin(), Names(chinese).end(), "洁具"),
              Names(chinese).end());
}

}  // namespace
}  // namespace vertoko::test
