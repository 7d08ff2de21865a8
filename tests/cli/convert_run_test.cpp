#include "cli/convert_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const char* kSquareDrawing =
    "0\nSECTION\n2\nENTITIES\n"
    "0\n3DFACE\n8\nA\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n12\n1\n22\n1\n32\n0\n13\n0\n23\n1\n"
    "33\n0\n"
    "0\n3DFACE\n8\nB\n10\n0\n20\n0\n30\n1\n11\n1\n21\n0\n31\n1\n12\n1\n22\n1\n32\n1\n13\n0\n23\n1\n"
    "33\n1\n"
    "0\nENDSEC\n0\nEOF\n";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Convert(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    testing::internal::CaptureStderr();
    const int status = ConvertMain(arguments, out, err);
    testing::internal::GetCapturedStderr();
    return {status, out.str(), err.str()};
}

TEST(ConvertRun, ReadOnlyPrintsTheLoadLines) {
    TempDir dir;
    WriteBytes(dir / "sq.dxf", kSquareDrawing);
    const Outcome run = Convert({dir / "sq.dxf", "--multi"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "\nDXF:" + (dir / "sq.dxf") +
                           "\nObject数：2\n  #001：頂点数 = 4, ポリゴン数 = 1\n  #002：頂点数 = 4, "
                           "ポリゴン数 = 1\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "sq.dxf"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(ConvertRun, WritesNumberedFilesAndTheTargetLine) {
    TempDir dir;
    WriteBytes(dir / "sq.dxf", kSquareDrawing);
    const Outcome run =
        Convert({"--multi", dir / "sq.dxf", "-o", dir / "out.pol", "--estr-options", " s n"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("\n->POL:" + (dir / "out") + "～.pol\n"), std::string::npos) << run.out;
    EXPECT_EQ(ReadBytes(dir / "out002.pol"),
              "p 0 0 0 1\r\np 1 1 0 1\r\np 2 1 1 1\r\np 3 0 1 1\r\nP 0 1 2 3 ; s n\r\n");
}

TEST(ConvertRun, ExitStatusOfFailures) {
    TempDir dir;
    WriteBytes(dir / "sq.dxf", kSquareDrawing);
    WriteBytes(dir / "bad.dxf", "0\nSECTION\n0\nSECTION\n0\nEOF\n");

    Outcome run = Convert({dir / "missing.dxf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "\nDXF:" + (dir / "missing.dxf") + "\nファイルのオープンに失敗.\n");

    run = Convert({dir / "bad.dxf", "-o", dir / "bad.obj"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("\nErr：\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "bad.obj"));

    run = Convert({dir / "sq.dxf", "-o", dir / "no/such.obj"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("->POL:" + (dir / "no/such.obj") +
                           "\nファイルのオープンに失敗しました.\nフォルダーが見つかりません\n"),
              std::string::npos);

    run = Convert({dir / "sq.dxf", "--bogus"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("--bogus"), std::string::npos);

    run = Convert({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("vertoko-convert"), std::string::npos);
}

TEST(ConvertRun, OutputFolderGetsOneFilePerInput) {
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    WriteBytes(dir / "a.dxf", kSquareDrawing);
    WriteBytes(dir / "b.v2.dxf", kSquareDrawing);
    const Outcome run =
        Convert({dir / "a.dxf", dir / "b.v2.dxf", "--format", "obj", "--output-dir", dir / "out"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "out/a.obj"));
    EXPECT_TRUE(std::filesystem::exists(dir / "out/b.v2.obj"));
}

TEST(ConvertRun, InputsOfOneNameDoNotOverwriteEachOthersOutput) {
    TempDir dir;
    std::filesystem::create_directory(dir / "x");
    std::filesystem::create_directory(dir / "y");
    WriteBytes(dir / "x/part.dxf", kSquareDrawing);
    // The second drawing holds one face only, so its output would differ.
    WriteBytes(dir / "y/part.dxf",
               "0\nSECTION\n2\nENTITIES\n0\n3DFACE\n8\nA\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n"
               "31\n0\n12\n1\n22\n1\n32\n0\n13\n1\n23\n1\n33\n0\n0\nENDSEC\n0\nEOF\n");
    const Outcome first =
        Convert({"--format", "obj", dir / "x/part.dxf", "--output-dir", dir / "o"});
    ASSERT_EQ(first.status, 0) << first.out;
    const std::string alone = ReadBytes(dir / "o/part.obj");

    const Outcome both = Convert(
        {"--format", "obj", "--output-dir", dir / "o", dir / "x/part.dxf", dir / "y/part.dxf"});
    EXPECT_EQ(both.status, 1);
    EXPECT_EQ(ReadBytes(dir / "o/part.obj"), alone);
    EXPECT_NE(both.out.find("成功: " + std::string(dir / "x/part.dxf")), std::string::npos);
    EXPECT_NE(both.out.find("失敗: " + std::string(dir / "y/part.dxf")), std::string::npos)
        << both.out;
}

TEST(ConvertRun, SeveralInputsGetAStatusLineEachAndFailuresSetTheStatus) {
    TempDir dir;
    WriteBytes(dir / "a.dxf", kSquareDrawing);
    WriteBytes(dir / "bad.dxf", "0\nSECTION\n2\nENTITIES\n");
    // No folder yet: it is made; a missing input fails alone.
    const Outcome run = Convert({"--format", "pol", "--output-dir", dir / "new/out", dir / "a.dxf",
                                 dir / "bad.dxf", dir / "missing.dxf"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "new/out/a.pol"));
    EXPECT_NE(run.out.find("成功: " + std::string(dir / "a.dxf") + "\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("失敗: " + std::string(dir / "bad.dxf") + "\n"), std::string::npos);
    EXPECT_NE(run.out.find("失敗: " + std::string(dir / "missing.dxf") + "\n"), std::string::npos);

    // One input prints the desktop log lines only.
    const Outcome single = Convert({dir / "a.dxf"});
    EXPECT_EQ(single.out.find("成功: "), std::string::npos);
}

TEST(ConvertRun, FormatWithoutOutputNameWritesNextToEachInput) {
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    WriteBytes(dir / "a.dxf", kSquareDrawing);
    WriteBytes(dir / "sub/b.dxf", kSquareDrawing);
    const Outcome run = Convert({"--format=obj", dir / "a.dxf", dir / "sub/b.dxf"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(std::filesystem::exists(dir / "a.obj"));
    EXPECT_TRUE(std::filesystem::exists(dir / "sub/b.obj"));
}

}  // namespace
}  // namespace vertoko
