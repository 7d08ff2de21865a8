#include "export/save_transaction.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "support/child_process.h"
#include "support/mesh_builder.h"

namespace vertoko {
namespace {

namespace fs = std::filesystem;
using test::InChild;
using test::Names;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

using NameSet = std::set<std::string>;

// Opens target in save and writes text to it.
bool Put(SaveTransaction& save, const std::string& target, const std::string& text) {
    OutputFile file;
    if (!save.Open(file, target)) return false;
    file.Buffer() = text;
    return save.Close(file);
}

bool IsTemporary(const std::string& name) {
    return name.size() > 1 && name[0] == '.' && name.find(".vertoko-") != std::string::npos &&
           name.ends_with(".tmp");
}

std::size_t TemporaryCount(const fs::path& folder) {
    std::size_t count = 0;
    for (const std::string& name : Names(folder)) count += IsTemporary(name) ? 1 : 0;
    return count;
}

mode_t Bits(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(SaveTransaction, TargetsChangeOnlyAtTheCommitAndAllTogether) {
    TempDir dir;
    WriteBytes(dir / "a.obj", "old a");
    WriteBytes(dir / "c.obj", "old c");
    ::chmod((dir / "c.obj").c_str(), 0640);
    const mode_t mask = ::umask(027);
    {
        SaveTransaction save;
        ASSERT_TRUE(Put(save, dir / "a.obj", "new a"));
        ASSERT_TRUE(Put(save, dir / "b.obj", std::string(600000, 'b')));
        ASSERT_TRUE(Put(save, dir / "c.obj", "new c"));
        // Written and closed, and still nothing to see but temporaries.
        EXPECT_EQ(ReadBytes(dir / "a.obj"), "old a");
        EXPECT_FALSE(fs::exists(dir / "b.obj"));
        EXPECT_EQ(TemporaryCount(dir.path()), 3u);
        ASSERT_TRUE(save.Commit());
        EXPECT_EQ(save.Error(), 0);
    }
    ::umask(mask);
    EXPECT_EQ(ReadBytes(dir / "a.obj"), "new a");
    EXPECT_EQ(ReadBytes(dir / "b.obj"), std::string(600000, 'b'));
    EXPECT_EQ(ReadBytes(dir / "c.obj"), "new c");
    EXPECT_EQ(Names(dir.path()), (NameSet{"a.obj", "b.obj", "c.obj"}));
    // A new file as the user's mask makes it, a replaced one with its bits.
    EXPECT_EQ(Bits(dir / "b.obj"), 0640u);
    EXPECT_EQ(Bits(dir / "c.obj"), 0640u);
    ::chmod((dir / "a.obj").c_str(), 0604);
    SaveTransaction again;
    ASSERT_TRUE(Put(again, dir / "a.obj", "newer a"));
    ASSERT_TRUE(again.Commit());
    EXPECT_EQ(Bits(dir / "a.obj"), 0604u);
    EXPECT_EQ(ReadBytes(dir / "a.obj"), "newer a");
}

TEST(SaveTransaction, DroppedOrAbortedSaveLeavesEverythingAsItWas) {
    TempDir dir;
    WriteBytes(dir / "a.pov", "old scene");
    {
        SaveTransaction save;
        ASSERT_TRUE(Put(save, dir / "a.pov", "new scene"));
        ASSERT_TRUE(Put(save, dir / "a.inc", "new include"));
    }
    EXPECT_EQ(Names(dir.path()), NameSet{"a.pov"});
    EXPECT_EQ(ReadBytes(dir / "a.pov"), "old scene");

    SaveTransaction save;
    ASSERT_TRUE(Put(save, dir / "a.pov", "new scene"));
    // Left open: the file still holds its descriptor when the save is undone.
    OutputFile file;
    ASSERT_TRUE(save.Open(file, dir / "a.inc"));
    file.Buffer().assign(300000, 'i');
    file.Commit();
    save.Abort();
    file.Close();
    EXPECT_EQ(Names(dir.path()), NameSet{"a.pov"});
    EXPECT_EQ(ReadBytes(dir / "a.pov"), "old scene");
}

TEST(SaveTransaction, FailedOpenEndsTheSaveAndChangesNoTarget) {
    TempDir dir;
    WriteBytes(dir / "m001.obj", "old 1");
    fs::create_directory(dir / "m002.obj");
    SaveTransaction save;
    ASSERT_TRUE(Put(save, dir / "m001.obj", "new 1"));
    EXPECT_FALSE(Put(save, dir / "m002.obj", "new 2"));
    EXPECT_EQ(save.Error(), EISDIR);
    // Nothing more is opened once the save failed, and it commits nothing.
    EXPECT_FALSE(Put(save, dir / "m003.obj", "new 3"));
    EXPECT_FALSE(save.Commit());
    EXPECT_EQ(save.Error(), EISDIR);
    EXPECT_EQ(Names(dir.path()), (NameSet{"m001.obj", "m002.obj"}));
    EXPECT_EQ(ReadBytes(dir / "m001.obj"), "old 1");

    SaveTransaction missing;
    EXPECT_FALSE(Put(missing, dir / "no/such.obj", "x"));
    EXPECT_EQ(missing.Error(), ENOENT);
    SaveTransaction folder;
    EXPECT_FALSE(Put(folder, dir.path().string() + "/", "x"));
    EXPECT_EQ(folder.Error(), EISDIR);
    SaveTransaction inFile;
    EXPECT_FALSE(Put(inFile, dir / "m001.obj/x.obj", "x"));
    EXPECT_EQ(inFile.Error(), ENOTDIR);
    EXPECT_EQ(Names(dir.path()), (NameSet{"m001.obj", "m002.obj"}));
}

// The file a link points to is replaced and the link stays; so for a chain
// of links, a relative one into another folder, and one whose file is not
// there yet. A loop of links fails as opening it would.
TEST(SaveTransaction, SymbolicLinksKeepPointingAtTheNewText) {
    TempDir dir;
    fs::create_directory(dir / "real");
    WriteBytes(dir / "real/model.obj", "old");
    fs::create_symlink("real/model.obj", dir / "first.obj");
    fs::create_symlink(dir / "first.obj", dir / "second.obj");
    fs::create_symlink("real/later.obj", dir / "dangling.obj");
    fs::create_symlink("loop2.obj", dir / "loop1.obj");
    fs::create_symlink("loop1.obj", dir / "loop2.obj");

    SaveTransaction save;
    ASSERT_TRUE(Put(save, dir / "second.obj", "new"));
    ASSERT_TRUE(Put(save, dir / "dangling.obj", "made"));
    // The temporaries lie beside the files they replace.
    EXPECT_EQ(TemporaryCount(dir / "real"), 2u);
    ASSERT_TRUE(save.Commit());
    EXPECT_TRUE(fs::is_symlink(dir / "first.obj"));
    EXPECT_TRUE(fs::is_symlink(dir / "second.obj"));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.obj"));
    EXPECT_EQ(ReadBytes(dir / "real/model.obj"), "new");
    EXPECT_EQ(ReadBytes(dir / "real/later.obj"), "made");
    EXPECT_EQ(Names(dir / "real"), (NameSet{"later.obj", "model.obj"}));

    SaveTransaction loop;
    EXPECT_FALSE(Put(loop, dir / "loop1.obj", "x"));
    EXPECT_EQ(loop.Error(), ELOOP);

    // A link of /proc, whose size the system gives as 0 or 64, to a path
    // longer than that: read whole.
    fs::path deep = dir.path();
    for (int i = 0; i < 3; ++i) deep /= std::string(100, static_cast<char>('a' + i));
    fs::create_directories(deep);
    WriteBytes((deep / "far.obj").string(), "old");
    const int descriptor = ::open((deep / "far.obj").c_str(), O_RDONLY);
    ASSERT_GE(descriptor, 0);
    SaveTransaction far;
    ASSERT_TRUE(Put(far, "/proc/self/fd/" + std::to_string(descriptor), "new"));
    ASSERT_TRUE(far.Commit());
    ::close(descriptor);
    EXPECT_EQ(ReadBytes(deep / "far.obj"), "new");
    EXPECT_EQ(Names(deep), NameSet{"far.obj"});
}

TEST(SaveTransaction, DevicesAreWrittenNotReplaced) {
    SaveTransaction save;
    ASSERT_TRUE(Put(save, "/dev/null", "into nothing"));
    ASSERT_TRUE(save.Commit());
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST(SaveTransaction, TemporaryNamesAreHiddenMarkedAndShortEnough) {
    EXPECT_EQ(SaveTransaction::TemporaryName("/d/car.obj", "Ab12Cd"),
              "/d/.car.obj.vertoko-Ab12Cd.tmp");
    EXPECT_EQ(SaveTransaction::TemporaryName("car.obj", "XXXXXX"), ".car.obj.vertoko-XXXXXX.tmp");
    // At most 100 bytes of the target's name, cut before a character: 33
    // three-byte characters are 99 bytes, the 34th would pass 100.
    std::string japanese;
    for (int i = 0; i < 40; ++i) japanese += "住";
    std::string kept;
    for (int i = 0; i < 33; ++i) kept += "住";
    EXPECT_EQ(SaveTransaction::TemporaryName("/d/" + japanese, "XXXXXX"),
              "/d/." + kept + ".vertoko-XXXXXX.tmp");
    const std::string longest(255, 'n');
    EXPECT_LE(SaveTransaction::TemporaryName(longest, "XXXXXX").size(), 255u);

    // The temporaries of two saves of one target do not meet.
    TempDir dir;
    SaveTransaction first;
    SaveTransaction second;
    ASSERT_TRUE(Put(first, dir / "t.obj", "1"));
    ASSERT_TRUE(Put(second, dir / "t.obj", "2"));
    EXPECT_EQ(TemporaryCount(dir.path()), 2u);
    ASSERT_TRUE(first.Commit());
    ASSERT_TRUE(second.Commit());
    EXPECT_EQ(ReadBytes(dir / "t.obj"), "2");
    EXPECT_EQ(Names(dir.path()), NameSet{"t.obj"});
}

// Root may write anything: the folder's and the file's permissions are met
// as an unprivileged user, in a child.
TEST(SaveTransaction, ReadOnlyFolderAndReadOnlyTargetAreRefused) {
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    fs::create_directory(dir / "ro");
    fs::create_directory(dir / "rw");
    WriteBytes(dir / "ro/t.obj", "old");
    WriteBytes(dir / "rw/locked.obj", "locked");
    ::chmod((dir / "rw/locked.obj").c_str(), 0444);
    if (::geteuid() == 0) {
        // Only the folder forbids the save: the file is nobody's own.
        ASSERT_EQ(::chown((dir / "ro/t.obj").c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chown((dir / "rw").c_str(), test::kNobody, test::kNobody), 0);
        ASSERT_EQ(::chown((dir / "rw/locked.obj").c_str(), test::kNobody, test::kNobody), 0);
    } else {
        ::chmod((dir / "ro").c_str(), 0555);
    }
    const test::ChildOutcome outcome = InChild([&](std::string& text) {
        if (!test::BecomeUnprivileged()) return 2;
        SaveTransaction folder;
        if (Put(folder, dir / "ro/t.obj", "new")) return 3;
        text = std::to_string(folder.Error());
        SaveTransaction file;
        if (Put(file, dir / "rw/locked.obj", "new")) return 4;
        text += " " + std::to_string(file.Error());
        return 0;
    });
    ::chmod((dir / "ro").c_str(), 0755);
    ASSERT_TRUE(outcome.exited);
    ASSERT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.text, std::to_string(EACCES) + " " + std::to_string(EACCES));
    EXPECT_EQ(Names(dir / "ro"), NameSet{"t.obj"});
    EXPECT_EQ(Names(dir / "rw"), NameSet{"locked.obj"});
    EXPECT_EQ(ReadBytes(dir / "ro/t.obj"), "old");
    EXPECT_EQ(ReadBytes(dir / "rw/locked.obj"), "locked");
}

TEST(SaveTransaction, ReplacedFileKeepsItsOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root gives files to others";
    TempDir dir;
    WriteBytes(dir / "theirs.obj", "old");
    ASSERT_EQ(::chown((dir / "theirs.obj").c_str(), test::kNobody, test::kNobody), 0);
    ::chmod((dir / "theirs.obj").c_str(), 02664);
    SaveTransaction save;
    ASSERT_TRUE(Put(save, dir / "theirs.obj", "new"));
    ASSERT_TRUE(save.Commit());
    struct stat info {};
    ASSERT_EQ(::stat((dir / "theirs.obj").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, test::kNobody);
    EXPECT_EQ(info.st_gid, test::kNobody);
    // Set after the owner, which would have cleared the set-group bit.
    EXPECT_EQ(info.st_mode & 07777, 02664u);
}

// What a signal handler of the converter calls: every save under way loses
// its temporaries, and the targets stay.
TEST(SaveTransaction, RemovingAtExitTakesEveryTemporaryOfEverySave) {
    TempDir dir;
    WriteBytes(dir / "a.obj", "old a");
    const test::ChildOutcome outcome = InChild([&](std::string&) {
        SaveTransaction first;
        SaveTransaction second;
        if (!Put(first, dir / "a.obj", "new a") || !Put(first, dir / "b.obj", "new b") ||
            !Put(second, dir / "c.obj", "new c"))
            return 2;
        if (TemporaryCount(dir.path()) != 3) return 3;
        RemoveTemporariesAtExit();
        ::_exit(0);
    });
    ASSERT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(Names(dir.path()), NameSet{"a.obj"});
    EXPECT_EQ(ReadBytes(dir / "a.obj"), "old a");
}

TEST(SystemReason, EachCommonFailureInWordsAndTheRestByName) {
    EXPECT_EQ(SystemReason(ENOSPC), "ディスクの空き容量が足りません");
    EXPECT_EQ(SystemReason(EACCES), "アクセスが拒否されました");
    EXPECT_EQ(SystemReason(EPERM), "アクセスが拒否されました");
    const std::set<std::string> distinct = {
        SystemReason(ENOSPC),  SystemReason(EACCES), SystemReason(EFBIG),
        SystemReason(EROFS),   SystemReason(ENOENT), SystemReason(EISDIR),
        SystemReason(EDQUOT),  SystemReason(EIO),    SystemReason(ENAMETOOLONG),
        SystemReason(ENOTDIR), SystemReason(ELOOP)};
    EXPECT_EQ(distinct.size(), 11u);
    for (const std::string& reason : distinct) {
        EXPECT_FALSE(reason.empty());
        EXPECT_EQ(reason.find('\n'), std::string::npos);
    }
    const std::string other = SystemReason(ENODEV);
    EXPECT_EQ(other.rfind("システムのエラーです: ", 0), 0u) << other;
    EXPECT_NE(other.find("No such device"), std::string::npos) << other;
    EXPECT_NE(other.find("ENODEV"), std::string::npos) << other;

    EXPECT_EQ(SaveFailureMessage("ファイルの書き込みに失敗しました.", ENOSPC),
              "ファイルの書き込みに失敗しました.\nディスクの空き容量が足りません");
}

}  // namespace
}  // namespace vertoko
