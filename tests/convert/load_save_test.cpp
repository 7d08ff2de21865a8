#include "convert/load_save.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "export/file_names.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// A 3DFACE entity on layer with colour, corners given as text.
std::string Face(const std::string& layer, int color,
                 const std::vector<std::array<float, 3>>& corners) {
    std::string text = "0\n3DFACE\n8\n" + layer + "\n62\n" + std::to_string(color) + "\n";
    for (std::size_t i = 0; i < corners.size(); ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            text += std::to_string(10 * (axis + 1) + static_cast<int>(i)) + "\n";
            text += std::to_string(corners[i][static_cast<std::size_t>(axis)]) + "\n";
        }
    }
    return text;
}

std::string Drawing(const std::string& entities) {
    return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

// Two triangles sharing an edge on layer A, one square on layer B.
std::string TwoLayerDrawing() {
    return Drawing(Face("A", 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1, 0}}) +
                   Face("A", 1, {{0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 0}}) +
                   Face("B", 2, {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}));
}

struct Session {
    MeshObject* objects = nullptr;
    std::int32_t count = 0;
    Extents extents = {};
    DrawingLayers layers;
    std::string msgBuf;
    std::vector<std::string> log;
    ~Session() { FreeObjectTable(count, objects); }

    bool Load(const std::string& name, const ReaderOptions& options, std::int32_t names = 0) {
        testing::internal::CaptureStderr();
        const bool opened =
            LoadDxf(name, options, names, objects, count, extents, layers, msgBuf, Sink());
        testing::internal::GetCapturedStderr();
        return opened;
    }
    std::int32_t Save(const std::string& name, SaveFormat format,
                      const WriterOptions& options = {}) {
        return SaveObjects(name, format, count, objects, extents, options, msgBuf, Sink());
    }
    LogSink Sink() {
        return [this](const std::string& line) { log.push_back(line); };
    }
};

TEST(LoadDxf, LogsObjectsAndSetsExtents) {
    TempDir dir;
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    Session session;
    ReaderOptions options;
    options.dxfMulti = 1;
    ASSERT_TRUE(session.Load(dir / "two.dxf", options));
    ASSERT_EQ(session.count, 2);
    EXPECT_EQ(session.log, (std::vector<std::string>{"", "DXF:" + (dir / "two.dxf"), "Object数：2",
                                                     "  #001：頂点数 = 4, ポリゴン数 = 2",
                                                     "  #002：頂点数 = 4, ポリゴン数 = 1"}));
    EXPECT_FLOAT_EQ(session.extents.max.x, 2);
    EXPECT_FLOAT_EQ(session.extents.center.y, 1);

    // Without cleaning the shared corners stay twice.
    options.dxfClv = 0;
    ASSERT_TRUE(session.Load(dir / "two.dxf", options));
    EXPECT_EQ(session.log.back(), "  #002：頂点数 = 4, ポリゴン数 = 1");
    EXPECT_EQ(session.log[session.log.size() - 2], "  #001：頂点数 = 6, ポリゴン数 = 2");
}

TEST(LoadDxf, ObjectLinesNameTheirLayerAndColourWhenAsked) {
    TempDir dir;
    // A face without a colour group is drawn BYLAYER: no colour to name.
    const std::string bylayer =
        "0\n3DFACE\n8\n屋根\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n"
        "12\n0\n22\n1\n32\n0\n13\n0\n23\n1\n33\n0\n";
    WriteBytes(dir / "named.dxf",
               Drawing(Face("壁", 3, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1, 0}}) + bylayer));
    ReaderOptions multi;
    multi.dxfMulti = 1;
    Session session;
    ASSERT_TRUE(session.Load(dir / "named.dxf", multi, 1));
    ASSERT_EQ(session.log.size(), 5u);
    EXPECT_EQ(session.log[3], "  #001：頂点数 = 3, ポリゴン数 = 1, レイヤー = 壁, 色 = 3");
    EXPECT_EQ(session.log[4], "  #002：頂点数 = 3, ポリゴン数 = 1, レイヤー = 屋根");
    // The layers are kept with the table.
    ASSERT_EQ(session.layers.objects.size(), 2u);
    EXPECT_EQ(session.layers.layers[static_cast<std::size_t>(session.layers.objects[1].layer)].name,
              "屋根");
    // Off, or one object of several layers: the lines as they always were.
    ASSERT_TRUE(session.Load(dir / "named.dxf", multi, 0));
    EXPECT_EQ(session.log.back(), "  #002：頂点数 = 3, ポリゴン数 = 1");
    ASSERT_TRUE(session.Load(dir / "named.dxf", ReaderOptions{}, 1));
    EXPECT_EQ(session.log.back(), "  #001：頂点数 = 3, ポリゴン数 = 2");  // the same triangle twice
    // A file that does not open leaves the layers as they were; one that
    // reads nothing leaves none.
    ASSERT_FALSE(session.Load(dir / "missing.dxf", multi, 1));
    EXPECT_FALSE(session.layers.layers.empty());
    WriteBytes(dir / "bad.dxf", "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n10\nx\n");
    ASSERT_TRUE(session.Load(dir / "bad.dxf", multi, 1));
    EXPECT_TRUE(session.layers.layers.empty());
}

TEST(LoadDxf, MissingFileKeepsThePreviousTable) {
    TempDir dir;
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    Session session;
    ASSERT_TRUE(session.Load(dir / "two.dxf", {}));
    ASSERT_EQ(session.count, 1);
    MeshObject* before = session.objects;
    session.log.clear();
    EXPECT_FALSE(session.Load(dir / "nothing.dxf", {}));
    EXPECT_EQ(session.log, (std::vector<std::string>{"", "DXF:" + (dir / "nothing.dxf"),
                                                     "ファイルのオープンに失敗."}));
    EXPECT_EQ(session.objects, before);
    EXPECT_EQ(session.count, 1);
}

TEST(LoadDxf, ReaderFailureLogsItsMessageAndLeavesNoTable) {
    TempDir dir;
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    WriteBytes(dir / "cut.dxf", "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n8\n");
    Session session;
    ASSERT_TRUE(session.Load(dir / "two.dxf", {}));
    session.log.clear();
    EXPECT_TRUE(session.Load(dir / "cut.dxf", {}));
    EXPECT_EQ(session.count, 0);
    EXPECT_EQ(session.objects, nullptr);
    ASSERT_EQ(session.log.size(), 3u);
    EXPECT_EQ(session.log[2].rfind("Err：\"", 0), 0u) << session.log[2];
    EXPECT_EQ(session.log[2].back(), '"');

    // The line feed that ends a message does not split the log line.
    session.log.clear();
    EXPECT_TRUE(session.Load(dir / "cut.dxf", {}));
    EXPECT_EQ(session.log.back().find('\n'), std::string::npos);
}

TEST(LoadDxf, ReportsWhatWasNotConvertedAfterTheObjects) {
    TempDir dir;
    const std::string solids = "0\n3DSOLID\n8\n0\n0\nREGION\n8\n0\n0\n3DSOLID\n8\n0\n";
    const std::string outline = "0\nPOLYLINE\n66\n1\n70\n0\n0\nVERTEX\n70\n0\n0\nSEQEND\n";
    WriteBytes(dir / "solids.dxf", Drawing(solids));
    WriteBytes(dir / "mixed.dxf",
               Drawing(Face("A", 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}) + outline + solids));
    Session session;
    // A drawing of solids alone reads, with cleaning on as off, as one empty
    // object followed by the report.
    for (int clean = 0; clean < 2; ++clean) {
        ReaderOptions options;
        options.dxfClv = clean;
        session.log.clear();
        ASSERT_TRUE(session.Load(dir / "solids.dxf", options));
        ASSERT_EQ(session.count, 1) << session.log.back();
        EXPECT_EQ(session.log,
                  (std::vector<std::string>{"", "DXF:" + (dir / "solids.dxf"), "Object数：1",
                                            "  #001：頂点数 = 0, ポリゴン数 = 0",
                                            "変換しなかった図形：3DSOLID = 2, REGION = 1"}));
    }
    // In multi-object mode there is no object; the report follows the error.
    ReaderOptions multi;
    multi.dxfMulti = 1;
    session.log.clear();
    ASSERT_TRUE(session.Load(dir / "solids.dxf", multi));
    EXPECT_EQ(session.count, 0);
    ASSERT_EQ(session.log.size(), 4u);
    EXPECT_EQ(session.log[2].rfind("Err：\"file read end.(", 0), 0u);
    EXPECT_EQ(session.log[3], "変換しなかった図形：3DSOLID = 2, REGION = 1");

    // The strict reading refuses the 2D polyline and says what would help;
    // the lenient one counts it.
    session.log.clear();
    ASSERT_TRUE(session.Load(dir / "mixed.dxf", {}));
    ASSERT_EQ(session.log.size(), 4u);
    EXPECT_EQ(session.log[2].rfind("Err：\"POLYLINE:対応していない形式です.(L", 0), 0u);
    EXPECT_EQ(
        session.log[3],
        "「未対応の図形を読み飛ばす」(DXFskip)を有効にすると、この図形を読み飛ばして読み込みます.");
    ReaderOptions lenient;
    lenient.dxfSkip = 1;
    session.log.clear();
    ASSERT_TRUE(session.Load(dir / "mixed.dxf", lenient));
    EXPECT_EQ(session.log.back(),
              "変換しなかった図形：POLYLINE(読み飛ばし) = 1, 3DSOLID = 2, REGION = 1");
    EXPECT_EQ(session.log[session.log.size() - 2], "  #001：頂点数 = 3, ポリゴン数 = 1");
    // A read with nothing to report adds no line.
    WriteBytes(dir / "plain.dxf", Drawing(Face("A", 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})));
    session.log.clear();
    ASSERT_TRUE(session.Load(dir / "plain.dxf", {}));
    EXPECT_EQ(session.log.back(), "  #001：頂点数 = 3, ポリゴン数 = 1");
}

TEST(LoadDxf, SaysTheUnitConversionRightAfterTheFileName) {
    TempDir dir;
    const std::string header = "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n1\n0\nENDSEC\n";
    WriteBytes(dir / "inch.dxf", header + Drawing(Face("A", 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})));
    WriteBytes(dir / "plain.dxf", Drawing(Face("A", 1, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})));
    Session session;
    ReaderOptions options;
    options.outUnits = static_cast<std::int32_t>(OutputUnit::Millimetre);
    ASSERT_TRUE(session.Load(dir / "inch.dxf", options));
    EXPECT_EQ(session.log,
              (std::vector<std::string>{"", "DXF:" + (dir / "inch.dxf"),
                                        "単位：図面の inch を mm に換算 (×25.4)", "Object数：1",
                                        "  #001：頂点数 = 3, ポリゴン数 = 1"}));
    EXPECT_EQ(session.extents.max.x, 25.4f);
    session.log.clear();
    ASSERT_TRUE(session.Load(dir / "plain.dxf", options));
    EXPECT_EQ(session.log[2], "単位：図面に単位の指定がないため, 図面のままの大きさです.");
    // Without a unit asked for, no line and the drawn size.
    session.log.clear();
    ASSERT_TRUE(session.Load(dir / "inch.dxf", {}));
    EXPECT_EQ(session.log[2], "Object数：1");
    EXPECT_EQ(session.extents.max.x, 1.0f);
}

TEST(SaveObjects, SingleObjectKeepsTheChosenName) {
    TempDir dir;
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    Session session;
    ASSERT_TRUE(session.Load(dir / "two.dxf", {}));
    session.log.clear();
    ASSERT_EQ(session.Save(dir / "one.p", SaveFormat::Eastray), 1);
    EXPECT_EQ(session.log, (std::vector<std::string>{"->POL:" + (dir / "one.p")}));
    EXPECT_TRUE(std::filesystem::exists(dir / "one.p"));
}

TEST(SaveObjects, SeveralObjectsAreNumberedFromTheCutName) {
    TempDir dir;
    std::filesystem::create_directory(dir / "out.v1");
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    Session session;
    ReaderOptions options;
    options.dxfMulti = 1;
    ASSERT_TRUE(session.Load(dir / "two.dxf", options));
    session.log.clear();

    const std::string chosen = dir / "out.v1/car.p";
    ASSERT_EQ(session.Save(chosen, SaveFormat::Eastray), 1);
    ASSERT_EQ(session.Save(dir / "out.v1/car.obj", SaveFormat::Obj), 1);
    ASSERT_EQ(session.Save(dir / "out.v1/car.pov", SaveFormat::PovRay), 1);
    const std::string base = dir / "out.v1/car";
    EXPECT_EQ(session.log,
              (std::vector<std::string>{"->POL:" + base + "～.pol", "->POL:" + base + "～.obj",
                                        "->POL:" + base + ".pov"}));
    for (const char* name :
         {"car001.pol", "car002.pol", "car001.obj", "car002.obj", "car.pov", "car.inc"})
        EXPECT_TRUE(std::filesystem::exists(dir.path() / "out.v1" / name)) << name;
    // The OBJ save before holds the square; the POV-Ray save split it, and
    // later saves see the triangles.
    EXPECT_NE(ReadBytes(dir / "out.v1/car002.obj").find("f 1 2 3 4\r\n"), std::string::npos);
    ASSERT_EQ(session.Save(dir / "again.obj", SaveFormat::Obj), 1);
    EXPECT_NE(ReadBytes(dir / "again002.obj").find("f 1 2 4\r\nf 2 3 4\r\n# 1 elements\r\n"),
              std::string::npos);
}

TEST(SaveObjects, FailureLogsTargetThenMessage) {
    TempDir dir;
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    Session session;
    ASSERT_TRUE(session.Load(dir / "two.dxf", {}));
    session.log.clear();
    EXPECT_EQ(session.Save(dir / "no/such/dir.obj", SaveFormat::Obj), 0);
    EXPECT_EQ(session.log, (std::vector<std::string>{"->POL:" + (dir / "no/such/dir.obj"),
                                                     "ファイルのオープンに失敗しました.",
                                                     "フォルダーが見つかりません"}));
}

// POV-Ray 3.7 cannot open an include named in Japanese: the scene names
// one it can open, and the log says which; names it opens are not mentioned.
TEST(SaveObjects, SceneIncludesAFileThatPovRayOpensAndTheLogSaysWhich) {
    TempDir dir;
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    Session session;
    ASSERT_TRUE(session.Load(dir / "two.dxf", {}));
    session.log.clear();
    ASSERT_EQ(session.Save(dir / "a b.pov", SaveFormat::PovRay), 1);
    ASSERT_EQ(session.Save(dir / "住宅 モデル.pov", SaveFormat::PovRay), 1);
    const std::string include = IncludeName("住宅 モデル.pov");
    EXPECT_EQ(session.log, (std::vector<std::string>{
                               "->POL:" + (dir / "a b.pov"), "->POL:" + (dir / "住宅 モデル.pov"),
                               "インクルードファイルはPOV-Rayが開ける名前にしました：" + include}));
    EXPECT_EQ(ReadBytes(dir / "住宅 モデル.pov").rfind("#include \"" + include + "\"\r\n", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir / include));
    EXPECT_FALSE(std::filesystem::exists(dir / "住宅 モデル.inc"));
    EXPECT_EQ(ReadBytes(dir / "a b.pov").rfind("#include \"a b.inc\"\r\n", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir / "a b.inc"));
}

// BLOCK definitions followed by the drawing's entities.
std::string WithBlocks(const std::string& blocks, const std::string& entities) {
    return "0\nSECTION\n2\nBLOCKS\n" + blocks + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities +
           "0\nENDSEC\n0\nEOF\n";
}

std::string Block(const std::string& name, const std::string& entities) {
    return "0\nBLOCK\n8\n0\n2\n" + name + "\n70\n0\n10\n0\n20\n0\n30\n0\n" + entities +
           "0\nENDBLK\n8\n0\n";
}

std::string Insert(const std::string& name) {
    return "0\nINSERT\n8\n0\n2\n" + name + "\n10\n5\n20\n0\n30\n0\n";
}

TEST(LoadDxf, FacesOnlyInBlocksNothingInsertsAreExplained) {
    const std::string explained =
        "図面の面は、どこからも挿入されていないブロックの中にしかありません.";
    const std::string square = Face("A", 1, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}});
    TempDir dir;
    // FRAME holds the face and is inserted only by OUTER, which nothing
    // inserts; the drawing inserts EMPTY.
    WriteBytes(
        dir / "unused.dxf",
        WithBlocks(Block("FRAME", square) + Block("OUTER", Insert("FRAME")) + Block("EMPTY", ""),
                   Insert("EMPTY")));
    ReaderOptions expand;
    expand.dxfInsert = 1;
    Session single;
    ASSERT_TRUE(single.Load(dir / "unused.dxf", expand));
    EXPECT_EQ(single.log,
              (std::vector<std::string>{"", "DXF:" + (dir / "unused.dxf"), "Object数：1",
                                        "  #001：頂点数 = 0, ポリゴン数 = 0", explained}));
    // Multi-object mode: the reader's end report stays, the line follows.
    ReaderOptions multi = expand;
    multi.dxfMulti = 1;
    Session several;
    ASSERT_TRUE(several.Load(dir / "unused.dxf", multi));
    ASSERT_EQ(several.log.size(), 4u);
    EXPECT_EQ(several.log[2].rfind("Err：\"file read end.(", 0), 0u) << several.log[2];
    EXPECT_NE(several.log[2].find(", 0 objects)\""), std::string::npos) << several.log[2];
    EXPECT_EQ(several.log[3], explained);

    // Not the case: the drawing inserts OUTER (the face is placed), a
    // drawing without faces anywhere, and expansion off (the block's own
    // face is read where it is defined).
    WriteBytes(
        dir / "used.dxf",
        WithBlocks(Block("FRAME", square) + Block("OUTER", Insert("FRAME")), Insert("OUTER")));
    WriteBytes(dir / "bare.dxf", WithBlocks(Block("EMPTY", ""), Insert("EMPTY")));
    for (const auto& [file, options] :
         {std::pair{"used.dxf", expand}, std::pair{"bare.dxf", multi},
          std::pair{"bare.dxf", expand}, std::pair{"unused.dxf", ReaderOptions{}}}) {
        Session other;
        ASSERT_TRUE(other.Load(dir / file, options));
        EXPECT_EQ(std::count(other.log.begin(), other.log.end(), explained), 0) << file;
    }
}

TEST(SaveObjects, OutputOptionsReachTheWriters) {
    TempDir dir;
    WriteBytes(dir / "two.dxf", TwoLayerDrawing());
    Session session;
    ASSERT_TRUE(session.Load(dir / "two.dxf", {}));
    WriterOptions options;
    options.objNormal = 1;
    options.povOpt.smooth = 0;  // flat: every face its own normal, all (0,0,1) here
    ASSERT_EQ(session.Save(dir / "n.obj", SaveFormat::Obj, options), 1);
    const std::string obj = ReadBytes(dir / "n.obj");
    // One normal per vertex and face direction: seven vertices, one plane.
    std::string normals;
    for (int i = 0; i < 7; ++i) normals += "vn 0 0 1\r\n";
    EXPECT_NE(obj.find(normals + "# 7 vertex normals\r\n\r\nf 1//1 2//2 3//3\r\n"),
              std::string::npos)
        << obj;

    options.povOpt.mesh2 = 1;
    options.povOpt.fit = 1;
    ASSERT_EQ(session.Save(dir / "n.pov", SaveFormat::PovRay, options), 1);
    EXPECT_NE(ReadBytes(dir / "n.inc").find("#declare dxfobj0 = mesh2 {"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "n.pov").find("location <2.0000,"), std::string::npos);
}

}  // namespace
}  // namespace vertoko
