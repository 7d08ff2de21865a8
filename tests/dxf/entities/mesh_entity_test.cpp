// MESH: base vertices and the face list, the groups read past, the object
// it joins, and the refusal of face lists that do not fit the mesh.
#include "dxf/entities/mesh_entity.h"

#include <gtest/gtest.h>

#include "dxf/dxf_test_support.h"

namespace vertoko {
namespace {

using test::At;
using test::Face;
using test::InEntities;
using test::LineOf;
using test::ReadText;

std::string Pairs(std::initializer_list<std::pair<int, std::string>> pairs) {
    std::string text;
    for (const auto& [code, value] : pairs) text += std::to_string(code) + "\n" + value + "\n";
    return text;
}

// A MESH as AutoCAD writes it: the common part with a proxy byte count in
// group 92, then the subclass with the given vertices and face list and a
// tail of edges, creases and overrides whose groups 90 and 92 are no data.
std::string Mesh(const std::vector<std::array<float, 3>>& points, const std::vector<int>& list,
                 const std::string& layer = "0", int color = -1, int listSize = -1) {
    std::string text = Pairs({{0, "MESH"}, {5, "2A"}, {100, "AcDbEntity"}, {8, layer}, {92, "3"}});
    if (color >= 0) text += Pairs({{62, std::to_string(color)}});
    text += Pairs({{100, "AcDbSubDMesh"}, {71, "2"}, {72, "0"}, {91, "2"}});
    text += Pairs({{92, std::to_string(points.size())}});
    for (const auto& p : points) {
        text += Pairs(
            {{10, std::to_string(p[0])}, {20, std::to_string(p[1])}, {30, std::to_string(p[2])}});
    }
    text += Pairs({{93, std::to_string(listSize >= 0 ? listSize : static_cast<int>(list.size()))}});
    for (int entry : list) text += Pairs({{90, std::to_string(entry)}});
    text += Pairs({{94, "1"},
                   {90, "0"},
                   {90, "1"},
                   {95, "1"},
                   {140, "0.5"},
                   {90, "1"},
                   {91, "0"},
                   {92, "1"},
                   {90, "2"},
                   {63, "1"}});
    return text;
}

const std::vector<std::array<float, 3>> kPoints = {
    {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 2}};

TEST(Mesh, FacesOfThreeOrMoreCornersJoinTheObject) {
    // A quad, an edge, an empty face, two triangles; after a 3DFACE, so
    // that the indices are shifted by its three vertices.
    const std::string text =
        InEntities(Face({{9, 9, 9}, {8, 8, 8}, {7, 7, 7}}) +
                   Mesh(kPoints, {4, 0, 1, 2, 3, 2, 0, 4, 0, 3, 0, 1, 4, 3, 4, 3, 2}));
    auto result = ReadText(text);
    ASSERT_EQ(result.count, 1) << result.message;
    ASSERT_EQ(result.table[0].vertexCount, 3 + 5);
    ASSERT_EQ(result.table[0].polygonCount, 1 + 3);
    EXPECT_EQ(result.Vertex(0, 3 + 4).x, 0.5f);
    EXPECT_EQ(result.Vertex(0, 3 + 4).y, 0.5f);
    EXPECT_EQ(result.Vertex(0, 3 + 4).z, 2.0f);
    const std::vector<std::vector<int>> expected = {{3, 4, 5, 6}, {3, 4, 7}, {7, 6, 5}};
    for (int i = 0; i < 3; ++i) {
        const MeshPolygon& p = *result.table[0].ptbl[i + 1];
        ASSERT_EQ(p.cornerCount, static_cast<int>(expected[i].size()));
        for (int k = 0; k < p.cornerCount; ++k) EXPECT_EQ(p.p[k], expected[i][k]) << i;
    }
}

TEST(Mesh, LayerAndColourChooseTheObject) {
    const std::string text = InEntities(Mesh(kPoints, {3, 0, 1, 2}, "Solid", 5) +
                                        Face({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, "SOLID", 5) +
                                        Mesh(kPoints, {3, 0, 1, 2}, "other"));
    auto result = ReadText(text, 1);
    ASSERT_EQ(result.count, 2) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 5 + 3);
    EXPECT_EQ(result.table[0].polygonCount, 2);
    EXPECT_EQ(result.table[1].vertexCount, 5);
}

TEST(Mesh, WithoutFaceListAddsItsVertices) {
    std::string text = Pairs({{0, "MESH"},
                              {100, "AcDbSubDMesh"},
                              {92, "2"},
                              {10, "1"},
                              {20, "2"},
                              {30, "3"},
                              {10, "4"},
                              {20, "5"},
                              {30, "6"}});
    auto result = ReadText(InEntities(text));
    ASSERT_EQ(result.count, 1) << result.message;
    EXPECT_EQ(result.table[0].vertexCount, 2);
    EXPECT_EQ(result.table[0].polygonCount, 0);
    EXPECT_EQ(result.Vertex(0, 1).z, 6.0f);
}

TEST(Mesh, FaceListsThatDoNotFitAreRefused) {
    struct Case {
        std::string mesh;
        std::string anchor;  // the message names the first line equal to at after
        std::string at;      // the line equal to anchor (empty: the MESH line)
    };
    const Case cases[] = {
        // An index equal to the vertex count, and a negative one.
        {Mesh(kPoints, {3, 0, 1, 5}), "93", "5"},
        {Mesh(kPoints, {3, 0, -1, 2}), "93", "-1"},
        // A corner count that runs past the announced list.
        {Mesh(kPoints, {3, 0, 1, 2, 4, 0, 1, 2}, "0", -1, 8), "93", "4"},
        {Mesh(kPoints, {-3, 0, 1, 2}), "93", "-3"},
        // Fewer points than announced before the list, or more.
        {Pairs({{0, "MESH"}, {92, "2"}, {10, "0"}, {20, "0"}, {30, "0"}, {93, "0"}}), "93", "0"},
        {Pairs({{0, "MESH"}, {92, "0"}, {10, "7"}}), "", "7"},
        {Pairs({{0, "MESH"}, {92, "1"}, {20, "0"}}), "", "0"},
    };
    for (const Case& c : cases) {
        const std::string text = InEntities(c.mesh);
        auto result = ReadText(text);
        EXPECT_EQ(result.count, 0) << c.mesh;
        EXPECT_EQ(result.table, nullptr);
        const int mesh = LineOf(text, "MESH");
        const int line = LineOf(text, c.at, c.anchor.empty() ? mesh : LineOf(text, c.anchor, mesh));
        EXPECT_EQ(result.message, "MESH:Invalid data." + At(line)) << c.mesh;
    }
    // A face list that ends before its announced size: the message names
    // the first group after it, or the group 0 that ends the entity.
    const std::string shorter = InEntities(Mesh(kPoints, {3, 0, 1, 2}, "0", -1, 9));
    EXPECT_EQ(ReadText(shorter).message, "MESH:Invalid data." + At(LineOf(shorter, "94") + 1));
    const std::string last = InEntities(Pairs({{0, "MESH"}, {92, "0"}, {93, "2"}, {90, "0"}}));
    EXPECT_EQ(ReadText(last).message, "MESH:Invalid data." + At(LineOf(last, "ENDSEC") - 1));
}

}  // namespace
}  // namespace vertoko
