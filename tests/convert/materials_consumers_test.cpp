// The shipped materials file in real consumers, through the save command:
// POV-Ray renders two layers given glass and brushed metal, assimp reads
// their materials and the layers' names from the OBJ file, and a bad line
// of the file is logged with its number while the other lines apply.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "convert/load_save.h"
#include "support/mesh_builder.h"
#include "support/ppm_picture.h"

namespace vertoko {
namespace {

using test::Picture;
using test::ReadBytes;
using test::ReadPpm;
using test::TempDir;
using test::TestTable;
using test::WriteBytes;

int Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

// A box's eight corners and six faces, each face's corners counter-clockwise
// seen from outside, added to an object's lists.
void AddBox(std::vector<Point3f>& points, std::vector<std::vector<std::int32_t>>& faces, float x0,
            float x1) {
    const auto base = static_cast<std::int32_t>(points.size());
    for (int c = 0; c < 8; ++c)
        points.push_back({c & 1 ? x1 : x0, c & 2 ? 1.0f : 0.0f, c & 4 ? 1.0f : 0.0f});
    for (const std::vector<std::int32_t>& face : std::vector<std::vector<std::int32_t>>{
             {0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}}) {
        faces.push_back({base + face[0], base + face[1], base + face[2], base + face[3]});
    }
}

struct Saved {
    std::int32_t result = 0;
    std::vector<std::string> log;
};

// One object of two boxes, the glass on the left, the metal on the right,
// each in a drawing colour of its own for finding it in the picture.
Saved Save(const std::string& path, SaveFormat format, const WriterOptions& options) {
    std::vector<Point3f> points;
    std::vector<std::vector<std::int32_t>> faces;
    AddBox(points, faces, 0.0f, 1.0f);
    AddBox(points, faces, 1.5f, 2.5f);
    TestTable table;
    MeshObject& object = table.Add(points, faces);
    int i = 0;
    for (MeshPolygon* p = object.polygons; p != nullptr; p = p->next, ++i) {
        p->layer = i < 6 ? 0 : 1;
        p->color = kPolygonColorSet | (i < 6 ? 0x00FF00u : 0x0000FFu);
    }
    DrawingLayers layers;
    layers.layers = {{.name = "Window glass", .aci = 4}, {.name = "金物 metal", .aci = 8}};
    Saved saved;
    const Extents extents{{1.25f, 0.5f, 0.5f}, {0, 0, 0}, {2.5f, 1, 1}};
    std::string msgBuf;
    saved.result = SaveObjects(
        path, format, table.size(), table.data(), extents, options, msgBuf,
        [&](const std::string& line) { saved.log.push_back(line); }, &layers);
    return saved;
}

// Renders scene (with a red background added, which glass lets through
// and metal does not) into a PPM.
Picture Render(const TempDir& dir, const std::string& scene) {
    std::string text = ReadBytes(dir / scene);
    // A light where the plain scene's camera stands (above the box's corner
    // of largest x and z: 2.5, 0.5 + 2.5, 1 + 1.8 * 2.5) shows the faces it
    // sees in full.
    text += "background { color rgb <1,0,0> }\r\nlight_source { <2.5,3,5.5> color rgb 1 }\r\n";
    WriteBytes(dir / scene, text);
    const std::string output = scene + ".ppm";
    const int status =
        Shell("cd '" + dir.path().string() + "' && HOME='" + dir.path().string() +
              "' " POVRAY " -D -V -A +WT1 +FP +W96 +H72 +I'" + scene + "' +O'" + output + "'");
    EXPECT_EQ(status, 0) << scene;
    return ReadPpm(dir / output);
}

std::array<double, 3> Mean(const Picture& picture, const std::vector<std::size_t>& at) {
    std::array<double, 3> sum{};
    for (const std::size_t i : at) {
        for (std::size_t c = 0; c < 3; ++c) sum[c] += picture.pixels[i][c];
    }
    for (double& s : sum) s /= static_cast<double>(at.empty() ? 1 : at.size());
    return sum;
}

TEST(MaterialsInConsumers, PovRayRendersGlassAndMetalWhereTheLayersAre) {
    TempDir dir;
    WriterOptions options;
    options.povOpt.smooth = 0;
    options.outNames = 1;
    // First with the drawing colours: green where the glass box is, blue
    // where the metal box is.
    ASSERT_EQ(Save(dir / "plain.pov", SaveFormat::PovRay, options).result, 1);
    const Picture plain = Render(dir, "plain.pov");
    ASSERT_GT(plain.width, 0);
    std::vector<std::size_t> glassAt, metalAt;
    for (std::size_t i = 0; i < plain.pixels.size(); ++i) {
        const auto& p = plain.pixels[i];
        if (p[1] > 30 && p[1] > 2 * std::max(p[0], p[2])) glassAt.push_back(i);
        if (p[2] > 30 && p[2] > 2 * std::max(p[0], p[1])) metalAt.push_back(i);
    }
    ASSERT_GT(glassAt.size(), 100u);
    ASSERT_GT(metalAt.size(), 100u);

    options.materials = VERTOKO_EXAMPLES "/materials.txt";
    const Saved saved = Save(dir / "glass.pov", SaveFormat::PovRay, options);
    ASSERT_EQ(saved.result, 1);
    // The shipped file is read whole: its name and no complaint.
    EXPECT_EQ(saved.log.size(), 2u);
    EXPECT_EQ(saved.log.back(), "材質ファイル：" VERTOKO_EXAMPLES "/materials.txt");
    const std::string inc = ReadBytes(dir / "glass.inc");
    EXPECT_NE(inc.find("// layers: Window glass, 金物 metal"), std::string::npos);
    EXPECT_NE(inc.find("rgbf <0.92,0.97,0.98,0.9>"), std::string::npos);
    EXPECT_NE(inc.find("metallic"), std::string::npos);

    const Picture rendered = Render(dir, "glass.pov");
    ASSERT_EQ(rendered.pixels.size(), plain.pixels.size());
    // Through the glass the red background shows. The metal is an opaque
    // grey, green and blue alike, with only its reflection (0.15 in the
    // file) of the red background added to red.
    const std::array<double, 3> glass = Mean(rendered, glassAt);
    const std::array<double, 3> metal = Mean(rendered, metalAt);
    const auto text = [](const std::array<double, 3>& c) {
        return std::to_string(c[0]) + " " + std::to_string(c[1]) + " " + std::to_string(c[2]);
    };
    EXPECT_GT(glass[0], 150.0) << text(glass);
    EXPECT_LT(std::max(glass[1], glass[2]), 30.0) << text(glass);
    EXPECT_GT(metal[1], 30.0) << text(metal);
    EXPECT_NEAR(metal[2], metal[1], 0.2 * metal[1]) << text(metal);
    EXPECT_LT(metal[0], metal[1] + 0.25 * 255.0) << text(metal);
    EXPECT_GT(metal[1], 5.0 * glass[1]) << text(metal) << " / " << text(glass);
}

// The value of a property of material name in assimp's XML dump, as text.
std::string MaterialProperty(const std::string& xml, const std::string& name,
                             const std::string& key) {
    const std::size_t named = xml.find("\"" + name + "\"");
    if (named == std::string::npos) return "(no material " + name + ")";
    const std::size_t end = xml.find("</Material>", named);
    const std::size_t property = xml.find("key=\"" + key + "\"", named);
    if (property == std::string::npos || property > end) return "(no " + key + ")";
    const std::size_t open = xml.find('>', property) + 1;
    const std::size_t close = xml.find("</MatProperty>", open);
    std::string value = xml.substr(open, close - open);
    std::string words;
    for (std::size_t at = 0; at < value.size();) {
        const std::size_t start = value.find_first_not_of(" \t\r\n", at);
        if (start == std::string::npos) break;
        const std::size_t stop = value.find_first_of(" \t\r\n", start);
        words += (words.empty() ? "" : " ") + value.substr(start, stop - start);
        at = stop;
    }
    return words;
}

TEST(MaterialsInConsumers, AssimpReadsTheMaterialsAndTheLayerGroups) {
    TempDir dir;
    // The shipped file with a bad line in the middle.
    std::string text = ReadBytes(VERTOKO_EXAMPLES "/materials.txt");
    const std::size_t metal = text.find("\n*metal*");
    ASSERT_NE(metal, std::string::npos);
    text.insert(metal + 1, "*metal* = texture { pigment { rgb 1 } ; Kd 1 1 1\n");
    std::size_t badLine = 1;
    for (std::size_t i = 0; i <= metal; ++i) badLine += text[i] == '\n' ? 1 : 0;
    WriteBytes(dir / "materials.txt", text);

    WriterOptions options;
    options.outNames = 1;
    options.materials = dir / "materials.txt";
    const Saved saved = Save(dir / "two.obj", SaveFormat::Obj, options);
    ASSERT_EQ(saved.result, 1);
    ASSERT_EQ(saved.log.size(), 3u);
    EXPECT_EQ(saved.log[2], "材質ファイル " + (dir / "materials.txt") + " の " +
                                std::to_string(badLine) +
                                " 行目: texture の「{」と「}」が対応していません. "
                                "この行は使いません.");

    ASSERT_EQ(Shell("cd '" + dir.path().string() + "' && " ASSIMP " export two.obj two.assxml"), 0);
    const std::string xml = ReadBytes(dir / "two.assxml");
    // The glass's line, then the metal's: the bad line before it is left
    // out, so the metal takes the next matching line, the good *metal*.
    std::string glassName = "material_line", metalName = "material_line";
    std::size_t line = 1;
    for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1, ++line) {
        if (text.compare(at, 10, "*glass* = ") == 0) glassName += std::to_string(line);
        if (text.compare(at, 10, "*metal* = ") == 0 && line != badLine)
            metalName += std::to_string(line);
        if (text.find('\n', at) == std::string::npos) break;
    }
    EXPECT_EQ(MaterialProperty(xml, glassName, "$clr.diffuse"), "0.850000 0.920000 0.950000");
    EXPECT_EQ(MaterialProperty(xml, glassName, "$clr.specular"), "1.000000 1.000000 1.000000");
    EXPECT_EQ(MaterialProperty(xml, glassName, "$mat.shininess"), "800.000000");
    EXPECT_EQ(MaterialProperty(xml, glassName, "$mat.opacity"), "0.250000");
    EXPECT_EQ(MaterialProperty(xml, metalName, "$clr.diffuse"), "0.620000 0.630000 0.650000");
    EXPECT_EQ(MaterialProperty(xml, metalName, "$mat.shininess"), "60.000000");
    // The groups by their layers' names, blanks made '_'.
    EXPECT_NE(xml.find("<Node name=\"Window_glass\">"), std::string::npos);
    EXPECT_NE(xml.find("<Node name=\"金物_metal\">"), std::string::npos);
}

}  // namespace
}  // namespace vertoko
