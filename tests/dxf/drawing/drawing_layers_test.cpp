// The read's layers: every layer met, in the order met with the LAYER
// entries first, each polygon's layer (copies placed by insertions too),
// the faces on each layer and what each object stands for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dxf/drawing_builder.h"

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

}  // namespace
}  // namespace vertoko::test
