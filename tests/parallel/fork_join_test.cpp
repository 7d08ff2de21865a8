// Work shared with a second thread: both pieces run, the second really on
// another thread and at the same time as the caller's, and without a thread
// the caller does both in the order given, with the same exceptions.
#include "parallel/fork_join.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "parallel/no_threads.h"

namespace vertoko::test {
namespace {

// The effects of the pieces in the order they happened, and the thread of
// each.
class Journal {
  public:
    void Note(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(what);
        threads_.push_back(std::this_thread::get_id());
    }
    std::vector<std::string> Entries() {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }
    std::thread::id ThreadOf(const std::string& what) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i] == what) return threads_[i];
        return {};
    }

  private:
    std::mutex mutex_;
    std::vector<std::string> entries_;
    std::vector<std::thread::id> threads_;
};

// Waits up to a minute for flag: long enough for a busy machine, short
// enough that a missing thread fails the test instead of hanging it.
bool WaitFor(const std::atomic<bool>& flag) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(ForkJoin, RunsFirstHereAndSecondOnAnotherThreadAtTheSameTime) {
    Journal journal;
    std::atomic<bool> secondStarted{false};
    bool firstSawSecond = false;
    ForkJoin(
        [&] {
            // Only a second piece running meanwhile can set the flag.
            firstSawSecond = WaitFor(secondStarted);
            journal.Note("first");
        },
        [&] {
            secondStarted.store(true);
            journal.Note("second");
        });
    EXPECT_TRUE(firstSawSecond);
    EXPECT_EQ(journal.Entries().size(), 2u);
    EXPECT_EQ(journal.ThreadOf("first"), std::this_thread::get_id());
    EXPECT_NE(journal.ThreadOf("second"), std::this_thread::get_id());
}

TEST(ForkJoin, BothPiecesAreDoneWhenItReturns) {
    // The second piece finishes well after the first: the join waits for it.
    std::vector<int> halves(2, 0);
    ForkJoin([&] { halves[0] = 1; },
             [&] {
                 std::this_thread::sleep_for(std::chrono::milliseconds(20));
                 halves[1] = 2;
             });
    EXPECT_EQ(halves, (std::vector<int>{1, 2}));
}

TEST(ForkJoin, WithoutAThreadTheCallerDoesFirstThenSecond) {
    NoThreads none;
    Journal journal;
    ForkJoin([&] { journal.Note("first"); }, [&] { journal.Note("second"); });
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(journal.ThreadOf("first"), std::this_thread::get_id());
    EXPECT_EQ(journal.ThreadOf("second"), std::this_thread::get_id());
}

TEST(ForkJoin, ExceptionsComeOutAfterBothPiecesRanFirstOneWinning) {
    for (const bool threads : {true, false}) {
        const NoThreads refused(!threads);
        SCOPED_TRACE(threads ? "two threads" : "no thread");
        bool firstRan = false;
        bool secondRan = false;
        // The second's exception, once the first is done.
        EXPECT_THROW(ForkJoin([&] { firstRan = true; },
                              [&] {
                                  secondRan = true;
                                  throw std::runtime_error("second");
                              }),
                     std::runtime_error);
        EXPECT_TRUE(firstRan);
        EXPECT_TRUE(secondRan);

        // The first's, and the second still runs to its end.
        firstRan = secondRan = false;
        EXPECT_THROW(ForkJoin([&] { throw std::logic_error("first"); },
                              [&] {
                                  std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                  secondRan = true;
                              }),
                     std::logic_error);
        EXPECT_TRUE(secondRan);

        // Both throw: the first piece's exception wins.
        try {
            ForkJoin([] { throw std::runtime_error("first"); },
                     [] { throw std::runtime_error("second"); });
            ADD_FAILURE() << "nothing thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "first");
        }
    }
}

TEST(BackgroundWork, RunsWhileTheCallerGoesOnUntilJoined) {
    std::atomic<bool> callerWent{false};
    std::atomic<bool> done{false};
    std::thread::id where;
    BackgroundWork work;
    EXPECT_FALSE(work.Running());
    ASSERT_TRUE(work.TryStart([&] {
        // Ends only once the caller has gone on after starting it.
        WaitFor(callerWent);
        where = std::this_thread::get_id();
        done.store(true);
    }));
    EXPECT_TRUE(work.Running());
    EXPECT_FALSE(done.load());
    callerWent.store(true);
    work.Join();
    EXPECT_TRUE(done.load());
    EXPECT_FALSE(work.Running());
    EXPECT_NE(where, std::this_thread::get_id());
}

TEST(BackgroundWork, CanStartAgainAfterJoin) {
    BackgroundWork work;
    int runs = 0;
    for (int i = 0; i < 3; ++i) {
        work.Start([&] { ++runs; });
        work.Join();
    }
    EXPECT_EQ(runs, 3);
}

TEST(BackgroundWork, DestructionWaitsForTheWork) {
    std::atomic<bool> done{false};
    {
        BackgroundWork work;
        work.Start([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            done.store(true);
        });
    }
    EXPECT_TRUE(done.load());
}

TEST(BackgroundWork, WithoutAThreadTryStartRunsNothing) {
    NoThreads none;
    BackgroundWork work;
    bool ran = false;
    EXPECT_FALSE(work.TryStart([&] { ran = true; }));
    EXPECT_FALSE(work.Running());
    work.Join();
    EXPECT_FALSE(ran);
}

TEST(BackgroundWork, WithoutAThreadStartRunsTheWorkBeforeReturning) {
    NoThreads none;
    Journal journal;
    BackgroundWork work;
    work.Start([&] { journal.Note("work"); });
    journal.Note("caller goes on");
    work.Join();
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"work", "caller goes on"}));
    EXPECT_EQ(journal.ThreadOf("work"), std::this_thread::get_id());
}

TEST(BackgroundWork, JoinRethrowsWhatTheWorkThrewOnce) {
    for (const bool threads : {true, false}) {
        const NoThreads refused(!threads);
        SCOPED_TRACE(threads ? "two threads" : "no thread");
        BackgroundWork work;
        // Started without a thread, the work throws inside Start, which
        // keeps the exception for Join all the same.
        EXPECT_NO_THROW(work.Start([] { throw std::runtime_error("work"); }));
        EXPECT_THROW(work.Join(), std::runtime_error);
        EXPECT_NO_THROW(work.Join());
    }
}

TEST(BackgroundWork, KeepsItsOwnCopyOfTheWork) {
    // The work's captures are gone from the caller before it runs.
    std::atomic<bool> go{false};
    std::string seen;
    BackgroundWork work;
    {
        const std::string text(100, 'x');  // too long to be held in place
        work.Start([text, &go, &seen] {
            WaitFor(go);
            seen = text;
        });
    }
    go.store(true);
    work.Join();
    EXPECT_EQ(seen, std::string(100, 'x'));
}

}  // namespace
}  // namespace vertoko::test
