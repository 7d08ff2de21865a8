#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace vertoko {
namespace {

std::string TempDirectory(const char* name) {
    std::string dir =
        testing::TempDir() + "vertoko_lock_" + std::to_string(::getpid()) + "_" + name;
    ::mkdir(dir.c_str(), 0700);
    return dir;
}

// Sets XDG_RUNTIME_DIR for one test and puts the old value back.
class RuntimeDirectory {
  public:
    explicit RuntimeDirectory(const char* value) {
        const char* old = std::getenv("XDG_RUNTIME_DIR");
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value != nullptr) {
            ::setenv("XDG_RUNTIME_DIR", value, 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }
    ~RuntimeDirectory() {
        if (had_) {
            ::setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
    }

  private:
    bool had_ = false;
    std::string old_;
};

TEST(SingleInstanceLockPath, LiesInTheRuntimeDirectory) {
    const std::string dir = TempDirectory("runtime");
    RuntimeDirectory runtime(dir.c_str());
    EXPECT_EQ(SingleInstanceLockPath("UniqueName"), dir + "/vertoko-UniqueName.lock");
}

TEST(SingleInstanceLockPath, FallsBackToTmpWithTheUserId) {
    const std::string expected = "/tmp/vertoko-UniqueName-" + std::to_string(::getuid()) + ".lock";
    {
        RuntimeDirectory runtime(nullptr);
        EXPECT_EQ(SingleInstanceLockPath("UniqueName"), expected);
    }
    {
        RuntimeDirectory runtime("");
        EXPECT_EQ(SingleInstanceLockPath("UniqueName"), expected);
    }
    {
        RuntimeDirectory runtime("/nonexistent/vertoko/runtime");
        EXPECT_EQ(SingleInstanceLockPath("UniqueName"), expected);
    }
}

TEST(SingleInstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    const std::string path = TempDirectory("pair") + "/test.lock";
    SingleInstanceLock first(path);
    SingleInstanceLock second(path);
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.Held());
    EXPECT_FALSE(second.Acquire());
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_FALSE(first.Held());
    EXPECT_TRUE(second.Acquire());
}

TEST(SingleInstanceLock, DestructionReleases) {
    const std::string path = TempDirectory("scope") + "/test.lock";
    {
        SingleInstanceLock scoped(path);
        ASSERT_TRUE(scoped.Acquire());
    }
    SingleInstanceLock next(path);
    EXPECT_TRUE(next.Acquire());
}

TEST(SingleInstanceLock, FileThatCannotBeCreatedRefusesTheStart) {
    SingleInstanceLock lock(TempDirectory("missing") + "/no/such/dir/test.lock");
    EXPECT_FALSE(lock.Acquire());
    EXPECT_FALSE(lock.Held());
}

TEST(SingleInstanceLock, KilledHolderLeavesTheLockFree) {
    const std::string path = TempDirectory("killed") + "/test.lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstanceLock held(path);
        const char ok = held.Acquire() ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        for (;;) ::pause();
    }
    ::close(ready[1]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(ok, '1');

    SingleInstanceLock mine(path);
    EXPECT_FALSE(mine.Acquire());
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(mine.Acquire());
}

}  // namespace
}  // namespace vertoko
