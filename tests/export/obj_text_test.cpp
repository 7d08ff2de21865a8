// An object's OBJ text formatted in pieces: whatever their size, with the
// pieces shared between two threads or all on one, the bytes are those of
// the whole text, rendered here independently with printf's "%g".
#include "export/obj_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "support/mesh_builder.h"
#include "export/obj_writer.h"
#include "export/output_file.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::TestTable;

struct Model {
    std::vector<Point3f> points;
    std::vector<std::vector<std::int32_t>> polygons;
    std::vector<std::uint32_t> colors;  // 0xRRGGBB per polygon, or kNone
    std::optional<ObjectNormals> normals;
};

constexpr std::uint32_t kNone = 0xFFFFFFFFu;

std::string G(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::string Line3(const char* tag, const Point3f& p) {
    return std::string(tag) + " " + G(p.x) + " " + G(p.y) + " " + G(p.z) + "\r\n";
}

// The file as the OBJ format lays it out, from the model's values.
std::string Expected(const Model& model, const std::string& library) {
    std::string text;
    if (!library.empty()) text += "mtllib " + library + "\r\n";
    for (const Point3f& p : model.points) text += Line3("v", p);
    text += "# " + std::to_string(model.points.size()) + " vertices\r\n\r\n";
    if (model.normals) {
        for (const Point3f& n : model.normals->vectors) text += Line3("vn", n);
        text += "# " + std::to_string(model.normals->vectors.size()) + " vertex normals\r\n\r\n";
    }
    std::size_t corner = 0;
    std::string material;
    for (std::size_t i = 0; i < model.polygons.size(); ++i) {
        const std::vector<std::int32_t>& p = model.polygons[i];
        if (!library.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "dxfcolor_%06x",
                          model.colors[i] == kNone ? 0xFFFFFFu : model.colors[i]);
            if (name != material) text += "usemtl " + (material = name) + "\r\n";
        }
        // Only triangles with every corner a vertex carry normals.
        bool withNormals = model.normals && p.size() == 3;
        for (const std::int32_t v : p) {
            if (v < 0 || v >= static_cast<std::int32_t>(model.points.size())) withNormals = false;
        }
        text += "f";
        for (std::size_t k = 0; k < p.size(); ++k) {
            text += " " + std::to_string(p[k] + 1);
            if (withNormals) {
                const std::int32_t n =
                    model.normals->corners.empty() ? p[k] : model.normals->corners[corner + k];
                text += "//" + std::to_string(n + 1);
            }
        }
        if (withNormals) corner += 3;
        text += "\r\n";
    }
    text += "# " + std::to_string(model.polygons.size()) + " elements\r\n";
    return text;
}

MeshObject& Build(TestTable& table, const Model& model) {
    MeshObject& object = table.Add(model.points, model.polygons);
    std::size_t i = 0;
    for (MeshPolygon* p = object.polygons; p != nullptr; p = p->next, ++i) {
        p->color = model.colors[i] == kNone ? 0 : kPolygonColorSet | model.colors[i];
    }
    return object;
}

std::string Written(const TempDir& dir, const MeshObject& object, const Model& model,
                    const std::string& library, std::int64_t pieceWork, bool twoThreads) {
    const std::string path = dir / "part.obj";
    OutputFile file;
    EXPECT_TRUE(file.Open(path));
    const ObjText text(object, model.normals ? &*model.normals : nullptr, library);
    text.Write(file, pieceWork, twoThreads);
    EXPECT_TRUE(file.Close());
    return ReadBytes(path);
}

// A small object with every kind of line: numbers in exponent form and
// negative zero, colour runs and a polygon without a colour, a two-corner
// polygon and one with a corner past the vertices, neither with normals.
Model SmallModel() {
    Model model;
    model.points = {{0.5f, -1.25e-7f, 123456789.0f}, {-0.0f, 1, 2},  {3.25f, 4, 5},
                    {1e20f, -7.5f, 0.001f},          {6, 7, 8.125f}, {9, 10, 11}};
    model.polygons = {{0, 1, 2}, {2, 3, 4}, {0, 4}, {1, 5, 2}, {3, 9, 4}, {5, 4, 3}};
    model.colors = {0xFF0000, 0xFF0000, kNone, 0x00FF00, 0x00FF00, 0xFFFFFF};
    return model;
}

TEST(ObjText, PiecesOfAnySizeOnEitherPathGiveTheWholeText) {
    ObjectNormals perCorner;
    perCorner.vectors = {{0, 0, 1}, {0.6f, 0.8f, 0}, {-1, 0, 0}, {0, -0.25f, 1e-9f}};
    perCorner.corners = {0, 1, 2, 3, 0, 1, 2, 2, 3, 1, 1, 0};
    ObjectNormals perVertex;
    perVertex.vectors = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {0, 0, -1}, {0, -1, 0}, {-1, 0, 0}};
    TempDir dir;
    for (const auto& normals :
         {std::optional<ObjectNormals>(), std::optional(perCorner), std::optional(perVertex)}) {
        for (const std::string library : {"", "small.mtl"}) {
            Model model = SmallModel();
            model.normals = normals;
            TestTable table;
            const MeshObject& object = Build(table, model);
            const std::string expected = Expected(model, library);
            EXPECT_EQ(Written(dir, object, model, library, 0, true), expected);
            // From a piece per line up to the whole in one piece, so that
            // every place in the text is where some piece ends. With small
            // pieces each slot of the handover is used many times.
            for (std::int64_t work = 1; work <= 500; ++work) {
                for (const bool twoThreads : {true, false}) {
                    EXPECT_EQ(Written(dir, object, model, library, work, twoThreads), expected)
                        << "normals " << normals.has_value() << " library '" << library
                        << "' piece " << work << " threads " << twoThreads;
                }
            }
        }
    }
}

// A height field of triangles large enough to be cut, with colour runs and
// now and then a two-corner polygon between the triangles.
Model Grid(int side) {
    Model model;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            model.points.push_back({static_cast<float>(x) * 0.37f, static_cast<float>(y) * -1.3f,
                                    static_cast<float>((x * 7 + y * 3) % 101) / 7.0f});
        }
    }
    const std::uint32_t palette[] = {0x102030, kNone, 0xABCDEF, 0x00FF00};
    for (int y = 0; y + 1 < side; ++y) {
        for (int x = 0; x + 1 < side; ++x) {
            const std::int32_t a = y * side + x;
            model.polygons.push_back({a, a + 1, a + side + 1});
            model.polygons.push_back({a, a + side + 1, a + side});
            if (model.polygons.size() % 97 == 0) model.polygons.push_back({a, a + side});
        }
    }
    for (std::size_t i = 0; i < model.polygons.size(); ++i)
        model.colors.push_back(palette[(i / 41) % 4]);
    return model;
}

TEST(ObjText, LargeObjectOnTwoThreadsMatchesTheWholeText) {
    Model model = Grid(130);
    TempDir dir;
    {
        TestTable table;
        const MeshObject& object = Build(table, model);
        ASSERT_GT(ObjText(object, nullptr, "").PieceWork(), 0);
        std::string msg;
        ASSERT_EQ(WriteObj(dir / "big.obj", table.size(), table.data(), msg), 1) << msg;
        EXPECT_TRUE(ReadBytes(dir / "big.obj") == Expected(model, "big.mtl"));
    }
    // With normals the work lies mostly among the faces, where the corners
    // already written and the material in force carry over to a piece.
    ObjectNormals normals;
    for (int i = 0; i < 1000; ++i)
        normals.vectors.push_back({static_cast<float>(i) / 1000.0f, 0.5f, -0.25f});
    for (std::size_t c = 0; c < model.polygons.size() * 3; ++c)
        normals.corners.push_back(static_cast<std::int32_t>(c * 13 % 1000));
    model.normals = normals;
    TestTable table;
    const MeshObject& object = Build(table, model);
    const ObjText text(object, &*model.normals, "big.mtl");
    const std::int64_t pieceWork = text.PieceWork();
    ASSERT_GT(pieceWork, 0);
    const std::string expected = Expected(model, "big.mtl");
    EXPECT_TRUE(Written(dir, object, model, "big.mtl", pieceWork, true) == expected);
    // Many pieces, of some hundred lines each.
    EXPECT_TRUE(Written(dir, object, model, "big.mtl", 2999, true) == expected);
}

}  // namespace
}  // namespace vertoko
