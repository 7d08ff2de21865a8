#include <gtest/gtest.h>

#include <filesystem>

#include "export/file_names.h"
#include "export/obj_writer.h"
#include "export/output_file.h"
#include "export/polygon_writer.h"
#include "export/save_transaction.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::TestTable;
using test::WriteBytes;

const std::vector<Point3f> kTriangle{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};

std::int32_t WritePol(const std::string& name, TestTable& table, const std::string& options,
                      std::string& msg) {
    return WritePolOrPov(name, 1, table.size(), table.data(), options, PovOption{}, Extents{}, msg);
}

TEST(EastrayWriter, TriangleWithOptionString) {
    TempDir dir;
    TestTable table;
    table.Add(kTriangle, {{0, 1, 2}});
    std::string msg;
    ASSERT_EQ(WritePol(dir / "t.pol", table, " s k 0.500000", msg), 1);
    EXPECT_EQ(ReadBytes(dir / "t.pol"),
              "p 0 0 0 0\r\np 1 1 0 0\r\np 2 0 1 0\r\nP 0 1 2 ; s k 0.500000\r\n");

    ASSERT_EQ(WritePol(dir / "t.pol", table, "", msg), 1);
    EXPECT_EQ(ReadBytes(dir / "t.pol"), "p 0 0 0 0\r\np 1 1 0 0\r\np 2 0 1 0\r\nP 0 1 2 ;\r\n");
}

TEST(EastrayWriter, PolygonsAndNumbersAsStored) {
    TempDir dir;
    TestTable table;
    table.Add({{0.1f, 1234567, -2.5f},
               {0, 0, 0},
               {0, 0, 0},
               {0, 0, 0},
               {1, 1, 1},
               {2, 2, 2},
               {3, 3, 3},
               {4, 4, 4}},
              {{4, 5, 6, 7}, {1, 1, 2}});
    std::string msg;
    ASSERT_EQ(WritePol(dir / "q.p", table, "s", msg), 1);
    const std::string text = ReadBytes(dir / "q.p");
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "p 0 0.1 1.23457e+06 -2.5");
    EXPECT_NE(text.find("\r\nP 4 5 6 7 ;s\r\nP 1 1 2 ;s\r\n"), std::string::npos);
}

TEST(EastrayWriter, EmptyObjectsGiveShortOrEmptyFiles) {
    TempDir dir;
    TestTable table;
    table.Add(kTriangle, {});
    table.Add({}, {});
    std::string msg;
    ASSERT_EQ(WritePol(dir / "e", table, "s", msg), 1);
    EXPECT_EQ(ReadBytes(dir / "e001.pol"), "p 0 0 0 0\r\np 1 1 0 0\r\np 2 0 1 0\r\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "e002.pol"));
    EXPECT_EQ(ReadBytes(dir / "e002.pol"), "");
}

TEST(EastrayWriter, SeveralObjectsGoToNumberedFilesAllOrNone) {
    TempDir dir;
    TestTable table;
    for (int i = 0; i < 5; ++i) table.Add(kTriangle, {{0, 1, 2}});
    std::string msg;
    ASSERT_EQ(WritePol(dir / "car", table, "s", msg), 1);
    for (const char* name : {"car001.pol", "car002.pol", "car005.pol"})
        EXPECT_EQ(ReadBytes(dir / name), "p 0 0 0 0\r\np 1 1 0 0\r\np 2 0 1 0\r\nP 0 1 2 ;s\r\n");

    // A folder in the way of the third file: the save stops there, and the
    // files of the save before stay as they were.
    std::filesystem::remove(dir / "car003.pol");
    std::filesystem::create_directory(dir / "car003.pol");
    EXPECT_EQ(WritePol(dir / "car", table, "t", msg), 0);
    EXPECT_EQ(msg, "ファイルのオープンに失敗しました.\n同じ名前のフォルダーがあります");
    for (const char* name : {"car001.pol", "car002.pol", "car004.pol", "car005.pol"})
        EXPECT_EQ(ReadBytes(dir / name), "p 0 0 0 0\r\np 1 1 0 0\r\np 2 0 1 0\r\nP 0 1 2 ;s\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 5);
}

TEST(EastrayWriter, NoObjectsWritesNothingAndSucceeds) {
    TempDir dir;
    std::string msg;
    EXPECT_EQ(WritePolOrPov(dir / "none.pol", 1, 0, nullptr, "s", PovOption{}, Extents{}, msg), 1);
    EXPECT_EQ(WriteObj(dir / "none.obj", 0, nullptr, msg), 1);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// A full device accepts the open and fails the writes: the writers must not
// report success over a truncated file.
TEST(Writers, WriteErrorOnFullDeviceIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TestTable table;
    std::vector<Point3f> many;
    for (int i = 0; i < 20000; ++i) many.push_back({static_cast<float>(i), 0.5f, -1});
    table.Add(many, {{0, 1, 2}});
    std::string msg;
    EXPECT_EQ(WritePol("/dev/full", table, "s", msg), 0);
    EXPECT_EQ(msg, "ファイルの書き込みに失敗しました.\nディスクの空き容量が足りません");
    msg.clear();
    EXPECT_EQ(WriteObj("/dev/full", table.size(), table.data(), msg), 0);
    EXPECT_EQ(msg, "ファイルの書き込みに失敗しました.\nディスクの空き容量が足りません");
    // A file small enough to stay in the buffer fails at the flush.
    TestTable small;
    small.Add(kTriangle, {{0, 1, 2}});
    msg.clear();
    EXPECT_EQ(WriteObj("/dev/full", small.size(), small.data(), msg), 0);
    EXPECT_EQ(msg, "ファイルの書き込みに失敗しました.\nディスクの空き容量が足りません");
    // The device is written, not replaced.
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// An existing file is replaced whole: nothing it held past the new text
// stays, after a large text and a small one; a save dropped before its
// commit leaves it as it was.
TEST(Writers, ReplacedFileHoldsOnlyTheNewText) {
    TempDir dir;
    TestTable large;
    std::vector<Point3f> many;
    for (int i = 0; i < 20000; ++i) many.push_back({static_cast<float>(i), 0.25f, -3});
    large.Add(many, {{0, 1, 2}, {3, 4, 5, 6}});
    TestTable small;
    small.Add(kTriangle, {{0, 1, 2}});
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "fresh.obj", large.size(), large.data(), msg), 1);
    const std::string largeText = ReadBytes(dir / "fresh.obj");
    ASSERT_GT(largeText.size(), std::size_t{300000});

    const std::string junk(largeText.size() + 5000, 'x');
    WriteBytes(dir / "t.obj", junk);
    ASSERT_EQ(WriteObj(dir / "t.obj", large.size(), large.data(), msg), 1);
    EXPECT_EQ(ReadBytes(dir / "t.obj"), largeText);
    ASSERT_EQ(WriteObj(dir / "t.obj", small.size(), small.data(), msg), 1);
    EXPECT_EQ(ReadBytes(dir / "t.obj"),
              "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\n# 3 vertices\r\n\r\nf 1 2 3\r\n# 1 elements\r\n");

    WriteBytes(dir / "t.obj", junk);
    {
        SaveTransaction save;
        OutputFile file;
        ASSERT_TRUE(save.Open(file, dir / "t.obj"));
        file.Buffer().assign(300000, 'n');
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(dir / "t.obj"), junk);
    // A file opened directly is emptied, and gets only the blocks handed to
    // its writer when it is not closed.
    {
        OutputFile file;
        ASSERT_TRUE(file.Open(dir / "t.obj"));
        file.Buffer().assign(300000, 'n');
        file.Commit();
        file.Buffer() = "lost";
    }
    EXPECT_EQ(ReadBytes(dir / "t.obj"), std::string(300000, 'n'));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ObjWriter, TriangleExample) {
    TempDir dir;
    TestTable table;
    table.Add(kTriangle, {{0, 1, 2}});
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "t.obj", table.size(), table.data(), msg), 1);
    EXPECT_EQ(ReadBytes(dir / "t.obj"),
              "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\n# 3 vertices\r\n\r\nf 1 2 3\r\n# 1 elements\r\n");
}

TEST(ObjWriter, NumberedFilesEachCountFromOne) {
    TempDir dir;
    TestTable table;
    table.Add(kTriangle, {{0, 1, 2}});
    table.Add({{5, 5, 5}, {6, 6, 6}, {7, 7, 7}, {8, 8, 8}}, {{3, 2, 1, 0}, {0, 0, 1}});
    std::string msg;
    ASSERT_EQ(WriteObj(dir / "model", table.size(), table.data(), msg), 1);
    EXPECT_EQ(ReadBytes(dir / "model001.obj"),
              "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\n# 3 vertices\r\n\r\nf 1 2 3\r\n# 1 elements\r\n");
    EXPECT_EQ(ReadBytes(dir / "model002.obj"),
              "v 5 5 5\r\nv 6 6 6\r\nv 7 7 7\r\nv 8 8 8\r\n# 4 vertices\r\n\r\nf 4 3 2 1\r\nf 1 1 "
              "2\r\n# 2 "
              "elements\r\n");
}

TEST(ObjWriter, OpenFailureWritesNoFile) {
    TempDir dir;
    TestTable table;
    table.Add(kTriangle, {{0, 1, 2}});
    table.Add(kTriangle, {{0, 1, 2}});
    std::filesystem::create_directory(dir / "m002.obj");
    std::string msg;
    EXPECT_EQ(WriteObj(dir / "m", table.size(), table.data(), msg), 0);
    EXPECT_EQ(msg, "ファイルのオープンに失敗しました.\n同じ名前のフォルダーがあります");
    EXPECT_FALSE(std::filesystem::exists(dir / "m001.obj"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Writers, PathsLongerThanOldNameBuffersWork) {
    TempDir dir;
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 4; ++i) deep /= std::string(60, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    TestTable table;
    table.Add(kTriangle, {{0, 1, 2}});
    table.Add(kTriangle, {{0, 1, 2}});
    const std::string base = (deep / std::string(50, 'n')).string();
    ASSERT_GT(base.size(), 250u);
    std::string msg;
    ASSERT_EQ(WriteObj(base, table.size(), table.data(), msg), 1);
    ASSERT_EQ(WritePol(base, table, "s", msg), 1);
    EXPECT_TRUE(std::filesystem::exists(base + "002.obj"));
    EXPECT_TRUE(std::filesystem::exists(base + "002.pol"));
}

TEST(FileNames, NumberingCuttingAndIncludeNames) {
    EXPECT_EQ(NumberedFileName("car", 1, ".pol"), "car001.pol");
    EXPECT_EQ(NumberedFileName("car", 999, ".obj"), "car999.obj");
    EXPECT_EQ(NumberedFileName("car", 1000, ".obj"), "car1000.obj");

    EXPECT_EQ(CutExtension("/work/car.pol"), "/work/car");
    EXPECT_EQ(CutExtension("/work/name.p"), "/work/name");
    EXPECT_EQ(CutExtension("/my.dir/car.v2.obj"), "/my.dir/car.v2");
    // A file part without a dot keeps its name, whatever the folders hold.
    EXPECT_EQ(CutExtension("/my.dir/car"), "/my.dir/car");
    EXPECT_EQ(CutExtension("car"), "car");

    EXPECT_EQ(IncludeName("/work/my.scene.pov"), "my.scene.inc");
    EXPECT_EQ(IncludePath("/work/my.scene.pov"), "/work/my.scene.inc");
    EXPECT_EQ(IncludeName("scene.pov"), "scene.inc");
    EXPECT_EQ(IncludePath("scene.pov"), "scene.inc");
    EXPECT_EQ(IncludeName("/a.b/scene"), "scene.inc");
    EXPECT_EQ(IncludePath("/a.b/scene"), "/a.b/scene.inc");
    const std::string longName(120, 'x');
    EXPECT_EQ(IncludeName("/tmp/" + longName + ".pov"), longName + ".inc");
}

// POV-Ray 3.7 reads every byte outside printable ASCII as a space and ends
// a string at '"': such names give ASCII ones, the rest of the name kept
// and a hash of it (FNV-1a, here computed apart) telling names apart. Names
// it opens stay as they were, spaces, 200 characters and all.
TEST(FileNames, IncludeNamesThatPovRayOpens) {
    EXPECT_EQ(IncludeName("/d/a b.pov"), "a b.inc");
    const std::string name200(200, 'n');
    EXPECT_EQ(IncludeName("/d/" + name200 + ".pov"), name200 + ".inc");
    EXPECT_EQ(IncludeName("/d/!#$%&'()~^|{}[];,.pov"), "!#$%&'()~^|{}[];,.inc");
    EXPECT_EQ(PlainIncludeName("/d/住宅 モデル.pov"), "住宅 モデル.inc");

    EXPECT_EQ(IncludeName("/d/住宅 モデル.pov"), "scene-613553d1.inc");
    EXPECT_EQ(IncludePath("/d/住宅 モデル.pov"), "/d/scene-613553d1.inc");
    EXPECT_EQ(IncludeName("住宅モデル.pov"), "scene-12344753.inc");
    EXPECT_EQ(IncludeName("/d/house 住宅.pov"), "house _-285f5e4b.inc");
    EXPECT_EQ(IncludeName("/d/2F 住宅 plan.pov"), "2F _ plan-3183fc88.inc");
    EXPECT_EQ(IncludeName("/d/q\"x.pov"), "q_x-f1b2f986.inc");
    EXPECT_EQ(IncludeName("/d/ab\x01"
                          "c.pov"),
              "ab_c-d788b6f6.inc");
    // Kept to 200 bytes before the hash of the whole name.
    const std::string long1 = std::string(150, 'a') + "住" + std::string(100, 'b');
    EXPECT_EQ(IncludeName("/d/" + long1 + ".pov"),
              std::string(150, 'a') + "_" + std::string(49, 'b') + "-e1a73b2d.inc");

    for (const std::string& scene : {std::string("住宅 モデル.pov"), long1 + ".pov"})
        EXPECT_TRUE(PovCanOpenName(IncludeName(scene))) << scene;
    EXPECT_FALSE(PovCanOpenName("a\"b"));
    EXPECT_FALSE(PovCanOpenName("a\x7f"));
    EXPECT_FALSE(PovCanOpenName("é"));
    EXPECT_TRUE(PovCanOpenName(" ~"));
}

}  // namespace
}  // namespace vertoko
