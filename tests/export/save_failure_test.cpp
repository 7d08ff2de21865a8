// Saves that fail part way: a write past a file-size limit (in a child
// process), a folder in the way, a missing or read-only folder. Every
// writer must leave the files of the save before byte for byte and no
// temporary, and say what failed and why.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "export/obj_writer.h"
#include "export/polygon_writer.h"
#include "export/pov_writer.h"
#include "support/child_process.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

using test::InChild;
using test::Names;
using test::ReadBytes;
using test::TempDir;
using test::TestTable;
using test::WriteBytes;

using Files = std::map<std::string, std::string>;

const std::vector<Point3f> kTriangle{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
constexpr rlim_t kLimit = 64 << 10;
const std::string kTooLarge = "ファイルの大きさが上限を超えました";

// A grid of 120 x 120 squares: some 300 KB of text in any format, well past
// the limit, where the triangle's files stay far below it.
void AddGrid(TestTable& table, std::uint32_t color = 0) {
    constexpr int kSide = 121;
    std::vector<Point3f> points;
    for (int i = 0; i < kSide; ++i)
        for (int j = 0; j < kSide; ++j)
            points.push_back({static_cast<float>(i), static_cast<float>(j), (i * j % 7) * 0.125f});
    std::vector<std::vector<std::int32_t>> squares;
    for (int i = 0; i + 1 < kSide; ++i)
        for (int j = 0; j + 1 < kSide; ++j)
            squares.push_back(
                {i * kSide + j, (i + 1) * kSide + j, (i + 1) * kSide + j + 1, i * kSide + j + 1});
    MeshObject& object = table.Add(points, squares);
    if (color == 0) return;
    for (MeshPolygon* p = object.polygons; p != nullptr; p = p->next)
        p->color = kPolygonColorSet | color;
}

MeshObject& AddTriangle(TestTable& table, std::uint32_t color = 0) {
    MeshObject& object = table.Add(kTriangle, {{0, 1, 2}});
    if (color != 0) object.polygons->color = kPolygonColorSet | color;
    return object;
}

// The files of an earlier save, each holding its own name.
Files Earlier(const TempDir& dir, const std::vector<const char*>& names) {
    Files files;
    for (const char* name : names) {
        files[name] = std::string("earlier ") + name + "\r\n";
        WriteBytes(dir / name, files[name]);
    }
    return files;
}

// Every name in the folder with its bytes ("<folder>" for a folder).
Files Contents(const TempDir& dir) {
    Files files;
    for (const std::string& name : Names(dir.path()))
        files[name] =
            std::filesystem::is_directory(dir / name) ? "<folder>" : ReadBytes(dir / name);
    return files;
}

using Writer = std::function<std::int32_t(const std::string& name, TestTable&, std::string&)>;

std::int32_t Pol(const std::string& name, TestTable& table, std::string& msg) {
    return WritePolOrPov(name, 1, table.size(), table.data(), "s", PovOption{}, Extents{}, msg);
}
std::int32_t Obj(const std::string& name, TestTable& table, std::string& msg) {
    return WriteObj(name, table.size(), table.data(), msg);
}
std::int32_t ObjNormals(const std::string& name, TestTable& table, std::string& msg) {
    return WriteObjWithNormals(name, table.size(), table.data(), 60.0f, msg);
}
std::int32_t Pov(const std::string& name, TestTable& table, std::string& msg) {
    return WritePov(name, table.size(), table.data(), PovOption{}, Extents{}, msg);
}
std::int32_t PovMesh2(const std::string& name, TestTable& table, std::string& msg) {
    PovOption option;
    option.mesh2 = 1;
    option.crease = 45.0f;
    return WritePov(name, table.size(), table.data(), option, Extents{}, msg);
}

// Runs write in a child limited to kLimit bytes per file; its result and
// message.
std::pair<std::int32_t, std::string> WriteLimited(
    const std::function<std::int32_t(std::string&)>& write, rlim_t limit = kLimit) {
    const test::ChildOutcome outcome = InChild([&](std::string& msg) {
        if (!test::LimitFileSize(limit)) return 9;
        return static_cast<int>(write(msg));
    });
    EXPECT_TRUE(outcome.exited) << "signal " << outcome.status;
    return {outcome.exited ? outcome.status : -1, outcome.text};
}

struct LimitCase {
    const char* what;
    Writer writer;
    const char* target;  // as the save command hands it to the writer
    std::vector<const char*> earlier;
    std::string message;
    bool colored = false;
    int objects = 1;  // one grid, after objects - 1 triangles
};

TEST(SaveFailure, WritePastTheSizeLimitLeavesTheEarlierSave) {
    const std::string pol = "ファイルの書き込みに失敗しました.\n" + kTooLarge;
    const std::string inc = "incファイルの書き込みに失敗しました.\n" + kTooLarge;
    const std::vector<LimitCase> cases = {
        {"EASTRAY", Pol, "big.pol", {"big.pol"}, pol},
        {"numbered EASTRAY", Pol, "car", {"car001.pol", "car002.pol", "car003.pol"}, pol, false, 3},
        {"OBJ", Obj, "big.obj", {"big.obj"}, pol},
        {"OBJ with normals", ObjNormals, "big.obj", {"big.obj"}, pol},
        {"numbered OBJ with a material library",
         Obj,
         "m",
         {"m.mtl", "m001.obj", "m002.obj"},
         pol,
         true,
         2},
        {"OBJ with a material library", Obj, "c.obj", {"c.mtl", "c.obj"}, pol, true},
        {"POV-Ray", Pov, "s.pov", {"s.pov", "s.inc"}, inc},
        {"POV-Ray mesh2", PovMesh2, "s.pov", {"s.pov", "s.inc"}, inc, true},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const Files before = Earlier(dir, c.earlier);
        TestTable table;
        for (int i = 1; i < c.objects; ++i) AddTriangle(table, c.colored ? 0x102030u * i : 0);
        AddGrid(table, c.colored ? 0xFF8000 : 0);
        const auto [result, msg] =
            WriteLimited([&](std::string& m) { return c.writer(dir / c.target, table, m); });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(msg, c.message);
        EXPECT_EQ(Contents(dir), before);

        // Without the limit the same save replaces every file.
        std::string unlimitedMsg;
        ASSERT_EQ(c.writer(dir / c.target, table, unlimitedMsg), 1) << unlimitedMsg;
        const Files after = Contents(dir);
        for (const auto& [name, text] : before) {
            ASSERT_TRUE(after.count(name)) << name;
            EXPECT_NE(after.at(name), text) << name;
        }
        std::size_t largest = 0;
        for (const auto& file : after) largest = std::max(largest, file.second.size());
        EXPECT_GT(largest, std::size_t{kLimit});
    }
}

// A file that never leaves the buffer until it is closed fails there.
TEST(SaveFailure, FileSmallerThanABlockFailsAtTheClose) {
    TempDir dir;
    const Files before = Earlier(dir, {"t.pol", "t.obj"});
    TestTable table;
    AddTriangle(table);
    const std::string expected = "ファイルの書き込みに失敗しました.\n" + kTooLarge;
    using Outcome = std::pair<std::int32_t, std::string>;
    EXPECT_EQ(WriteLimited([&](std::string& m) { return Pol(dir / "t.pol", table, m); }, 20),
              Outcome(0, expected));
    EXPECT_EQ(WriteLimited([&](std::string& m) { return Obj(dir / "t.obj", table, m); }, 20),
              Outcome(0, expected));
    // The scene is written first, and fails first.
    EXPECT_EQ(WriteLimited([&](std::string& m) { return Pov(dir / "t.pov", table, m); }, 20),
              Outcome(0, "povファイルの書き込みに失敗しました.\n" + kTooLarge));
    EXPECT_EQ(Contents(dir), before);
}

struct PlaceCase {
    const char* what;
    Writer writer;
    const char* target;
    std::string open;  // the first line when the target cannot be opened
};

const std::vector<PlaceCase>& PlaceCases() {
    static const std::vector<PlaceCase> cases = {
        {"EASTRAY", Pol, "x.pol", "ファイルのオープンに失敗しました."},
        {"OBJ", Obj, "x.obj", "ファイルのオープンに失敗しました."},
        {"POV-Ray", Pov, "x.pov", "povファイルのオープンに失敗しました."},
    };
    return cases;
}

TEST(SaveFailure, FolderInTheWayOrMissingChangesNothing) {
    for (const PlaceCase& c : PlaceCases()) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::filesystem::create_directory(dir / c.target);
        TestTable table;
        AddTriangle(table);
        std::string msg;
        EXPECT_EQ(c.writer(dir / c.target, table, msg), 0);
        EXPECT_EQ(msg, c.open + "\n同じ名前のフォルダーがあります");
        EXPECT_EQ(Names(dir.path()), std::set<std::string>{c.target});
        EXPECT_TRUE(std::filesystem::is_empty(dir / c.target));

        EXPECT_EQ(c.writer(dir / ("missing/" + std::string(c.target)), table, msg), 0);
        EXPECT_EQ(msg, c.open + "\nフォルダーが見つかりません");
        EXPECT_EQ(Names(dir.path()), std::set<std::string>{c.target});
    }
    // The include and the material library have messages of their own.
    TempDir dir;
    const Files before = Earlier(dir, {"s.pov", "c.obj"});
    std::filesystem::create_directory(dir / "s.inc");
    std::filesystem::create_directory(dir / "c.mtl");
    TestTable table;
    AddTriangle(table, 0x00FF00);
    std::string msg;
    EXPECT_EQ(Pov(dir / "s.pov", table, msg), 0);
    EXPECT_EQ(msg, "incファイルのオープンに失敗しました.\n同じ名前のフォルダーがあります");
    EXPECT_EQ(Obj(dir / "c.obj", table, msg), 0);
    EXPECT_EQ(msg, "mtlファイルの書き込みに失敗しました.\n同じ名前のフォルダーがあります");
    Files after = Contents(dir);
    EXPECT_EQ(after.erase("s.inc") + after.erase("c.mtl"), 2u);
    EXPECT_EQ(after, before);
}

// As an unprivileged user (root writes anywhere): a folder the user may
// not write keeps even a file he may.
TEST(SaveFailure, ReadOnlyFolderChangesNothing) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    for (const PlaceCase& c : PlaceCases()) WriteBytes(dir / c.target, "earlier\r\n");
    if (::geteuid() == 0) {
        for (const PlaceCase& c : PlaceCases())
            ASSERT_EQ(::chown((dir / c.target).c_str(), test::kNobody, test::kNobody), 0);
    } else {
        ::chmod(dir.path().c_str(), 0555);
    }
    TestTable table;
    AddTriangle(table);
    const test::ChildOutcome outcome = InChild([&](std::string& messages) {
        if (!test::BecomeUnprivileged()) return 2;
        for (const PlaceCase& c : PlaceCases()) {
            std::string msg;
            if (c.writer(dir / c.target, table, msg) != 0) return 3;
            messages += msg + "|";
        }
        return 0;
    });
    ::chmod(dir.path().c_str(), 0755);
    ASSERT_TRUE(outcome.exited);
    ASSERT_EQ(outcome.status, 0);
    std::string expected;
    for (const PlaceCase& c : PlaceCases()) expected += c.open + "\nアクセスが拒否されました|";
    EXPECT_EQ(outcome.text, expected);
    for (const PlaceCase& c : PlaceCases()) EXPECT_EQ(ReadBytes(dir / c.target), "earlier\r\n");
    EXPECT_EQ(Names(dir.path()).size(), PlaceCases().size());
}

}  // namespace
}  // namespace vertoko
