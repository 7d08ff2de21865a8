// The mesh2 form describes the same triangles, with the same normals, as the
// mesh form of the same object.
#include "export/pov_mesh2.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/mesh_builder.h"
#include "export/polygon_writer.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::TestTable;

// Corner texts of one declared object: "<x,y,z>" or "<x,y,z>,<nx,ny,nz>".
using Corners = std::vector<std::string>;

// The corners of every smooth_triangle or triangle of dxfobj<number>.
Corners FromMesh(const std::string& inc, int number) {
    const std::string head = "#declare dxfobj" + std::to_string(number) + " = mesh {";
    const std::size_t from = inc.find(head);
    if (from == std::string::npos) return {};
    const std::string body = inc.substr(from, inc.find("\r\n}\r\n", from) - from);
    Corners corners;
    const std::regex corner(R"((<[^>]*>)(,(<[^>]*>))?)");
    for (std::sregex_iterator it(body.begin(), body.end(), corner), end; it != end; ++it)
        corners.push_back((*it)[1].str() + ((*it)[3].matched ? "," + (*it)[3].str() : ""));
    return corners;
}

// The items of one block of a mesh2 body, after its count, which must match.
std::vector<std::string> Block(const std::string& body, const std::string& name) {
    const std::size_t from = body.find("\t" + name + " {\r\n\t\t");
    if (from == std::string::npos) return {};
    const std::string block = body.substr(from, body.find("\r\n\t}", from) - from);
    std::vector<std::string> items;
    const std::regex item(R"(<[^>]*>)");
    for (std::sregex_iterator it(block.begin(), block.end(), item), end; it != end; ++it)
        items.push_back(it->str());
    const std::size_t count = std::stoul(block.substr(block.find("{\r\n\t\t") + 5));
    EXPECT_EQ(count, items.size()) << name;
    return items;
}

std::vector<int> Indices(const std::string& triple) {
    std::vector<int> values;
    std::smatch m;
    std::regex_match(triple, m, std::regex(R"(<(\d+),(\d+),(\d+)>)"));
    for (int k = 1; k <= 3; ++k) values.push_back(std::stoi(m[k].str()));
    return values;
}

// The same corners, expanded from the mesh2 declaration's indices.
Corners FromMesh2(const std::string& inc, int number) {
    const std::string head = "#declare dxfobj" + std::to_string(number) + " = mesh2 {";
    const std::size_t from = inc.find(head);
    if (from == std::string::npos) return {};
    const std::string body = inc.substr(from, inc.find("\r\n}\r\n", from) - from);
    const auto vertices = Block(body, "vertex_vectors");
    const auto normals = Block(body, "normal_vectors");
    const auto faces = Block(body, "face_indices");
    const auto normalFaces = Block(body, "normal_indices");
    Corners corners;
    for (std::size_t t = 0; t < faces.size(); ++t) {
        const auto v = Indices(faces[t]);
        const auto n = normalFaces.empty() ? v : Indices(normalFaces.at(t));
        for (int k = 0; k < 3; ++k) {
            corners.push_back(vertices.at(v[k]) + (normals.empty() ? "" : "," + normals.at(n[k])));
        }
    }
    EXPECT_NE(body.find("texture { poltexture" + std::to_string(number) + " }"), std::string::npos);
    return corners;
}

void Fill(TestTable& table) {
    // A bumpy 3 x 3 grid of quads, one of them a pentagon, and an object
    // without triangles.
    std::vector<Point3f> points;
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i)
            points.push_back({float(i), float(j), float((i * 7 + j * 3) % 4) * 0.4f});
    }
    std::vector<std::vector<std::int32_t>> quads;
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i)
            quads.push_back({j * 4 + i, j * 4 + i + 1, j * 4 + i + 5, j * 4 + i + 4});
    }
    quads[4] = {5, 6, 10, 9, 5};
    quads.push_back({0, 1});
    table.Add(points, quads);
    table.Add({{0, 0, 0}}, {});
}

TEST(PovMesh2, SameTrianglesAsTheMeshForm) {
    const Extents box = {{1.5f, 1.5f, 0.6f}, {0, 0, 0}, {3, 3, 1.2f}};
    for (const int smooth : {0, 1}) {
        for (const float crease : {180.0f, 60.0f, 0.0f}) {
            TempDir dir;
            PovOption option;
            option.smooth = smooth;
            option.crease = crease;
            TestTable meshTable;
            Fill(meshTable);
            TestTable mesh2Table;
            Fill(mesh2Table);
            std::string msg;
            ASSERT_EQ(WritePolOrPov(dir / "a.pov", 0, 2, meshTable.data(), "s", option, box, msg), 1);
            option.mesh2 = 1;
            ASSERT_EQ(WritePolOrPov(dir / "b.pov", 0, 2, mesh2Table.data(), "s", option, box, msg), 1);
            const std::string meshInc = ReadBytes(dir / "a.inc");
            const std::string mesh2Inc = ReadBytes(dir / "b.inc");
            const Corners expected = FromMesh(meshInc, 0);
            ASSERT_EQ(expected.size(), 3u * (8 * 2 + 3));
            EXPECT_EQ(FromMesh2(mesh2Inc, 0), expected) << smooth << " " << crease;
            // Normal indices are written only where corners do not follow vertices.
            EXPECT_EQ(mesh2Inc.find("normal_indices") != std::string::npos,
                      smooth == 1 && crease < 180.0f);
            EXPECT_EQ(mesh2Inc.find("dxfobj1"), std::string::npos);
            // Scenes and texture declarations are the same.
            EXPECT_EQ(ReadBytes(dir / "b.pov"), ReadBytes(dir / "a.pov").replace(10, 1, "b"));
            EXPECT_EQ(mesh2Inc.substr(0, mesh2Inc.find("\r\n\r\n")),
                      meshInc.substr(0, meshInc.find("\r\n\r\n")));
        }
    }
}

TEST(PovMesh2, ExactText) {
    TempDir dir;
    TestTable table;
    table.Add({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2, 3}});
    const Extents box = {{0.5f, 0.5f, 0}, {0, 0, 0}, {1, 1, 0}};
    PovOption option;
    option.mesh2 = 1;
    std::string msg;
    ASSERT_EQ(WritePolOrPov(dir / "q.pov", 0, 1, table.data(), "s", option, box, msg), 1);
    EXPECT_EQ(ReadBytes(dir / "q.inc"),
              "#declare poltexture0 = pigment {color rgb <1,1,1>}\r\n"
              "\r\n#declare dxfobj0 = mesh2 {\r\n"
              "\tvertex_vectors {\r\n\t\t4,\r\n\t\t<0,0,0>,\r\n\t\t<1,0,0>,\r\n\t\t<1,1,0>,\r\n"
              "\t\t<0,1,0>\r\n\t}\r\n"
              "\tnormal_vectors {\r\n\t\t4,\r\n\t\t<0,0,1>,\r\n\t\t<0,0,1>,\r\n\t\t<0,0,1>,\r\n"
              "\t\t<0,0,1>\r\n\t}\r\n"
              "\tface_indices {\r\n\t\t2,\r\n\t\t<0,1,3>,\r\n\t\t<1,2,3>\r\n\t}\r\n"
              "\r\n\ttexture { poltexture0 }\r\n}\r\n");
}

}  // namespace
}  // namespace vertoko
