// Huge-page allocations and the background thread that faults pages in.
#include "memory/huge_pages.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace vertoko {

namespace {

#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
constexpr bool kCanPrefault = true;
#else
constexpr bool kCanPrefault = false;
#endif

struct Range {
    std::uintptr_t start;
    std::size_t bytes;
};

// One thread for the process, started on first use and never stopped: it
// sleeps while there is nothing to fault in. The state is never destroyed,
// so the thread cannot outlive it at exit.
class Prefaulter {
  public:
    void Add(Range range) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!started_) {
            started_ = true;
            try {
                std::thread([this] { Run(); }).detach();
                running_ = true;
            } catch (const std::system_error&) {
                running_ = false;  // no second thread: the pages fault as they are used
            }
        }
        if (!running_) return;
        pending_.push_back(range);
        wake_.notify_one();
    }

  private:
    void Run() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return !pending_.empty(); });
            Range range = pending_.front();
            pending_.pop_front();
            lock.unlock();
            // One huge page at a time from the start, the order the range is
            // filled in, so the filling thread soon finds every page present.
            for (std::size_t done = 0; done < range.bytes; done += kHugePageSize) {
                const std::size_t step =
                    range.bytes - done < kHugePageSize ? range.bytes - done : kHugePageSize;
                if (!Populate(range.start + done, step)) break;
            }
            lock.lock();
        }
    }

    static bool Populate(std::uintptr_t start, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
        // Faulting in writable pages leaves what they hold as it is.
        const std::uintptr_t page = 4096;
        const std::uintptr_t first = start & ~(page - 1);
        return madvise(reinterpret_cast<void*>(first), start + bytes - first,
                       MADV_POPULATE_WRITE) == 0;
#else
        (void)start;
        (void)bytes;
        return false;
#endif
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Range> pending_;
    bool started_ = false;
    bool running_ = false;
};

// Released huge-page blocks kept for reuse, newest last. The sanitizer
// builds keep none, so that a use after release is still caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kKeptBlocks = 0;
#else
constexpr int kKeptBlocks = 4;
#endif

class KeptBlocks {
  public:
    void* Take(std::size_t size) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (int i = count_ - 1; i >= 0; --i) {
            if (blocks_[i].size != size) continue;
            void* at = blocks_[i].at;
            for (int j = i; j + 1 < count_; ++j) blocks_[j] = blocks_[j + 1];
            --count_;
            return at;
        }
        return nullptr;
    }

    bool Keep(void* at, std::size_t size) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (count_ >= kKeptBlocks) return false;
        blocks_[count_++] = {at, size};
        return true;
    }

  private:
    struct Block {
        void* at;
        std::size_t size;
    };
    std::mutex mutex_;
    Block blocks_[kKeptBlocks > 0 ? kKeptBlocks : 1] = {};
    int count_ = 0;
};

// Never destroyed: blocks may be released while the process ends.
KeptBlocks& Kept() {
    static KeptBlocks* kept = new KeptBlocks;
    return *kept;
}

std::size_t HugeRounded(std::size_t bytes) {
    return (bytes + kHugePageSize - 1) & ~(kHugePageSize - 1);
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
    if (bytes < kLargeAllocation) return std::malloc(bytes == 0 ? 1 : bytes);
    if (bytes > static_cast<std::size_t>(-1) - kHugePageSize) return nullptr;
    const std::size_t size = HugeRounded(bytes);
    if (size <= kReusedBlock) {
        if (void* kept = Kept().Take(size)) return kept;
    }
    void* at = std::aligned_alloc(kHugePageSize, size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (at != nullptr) madvise(at, size, MADV_HUGEPAGE);
#endif
    return at;
}

void ReleaseLarge(void* at, std::size_t bytes) {
    if (at == nullptr) return;
    if (bytes >= kLargeAllocation && bytes <= kReusedBlock && Kept().Keep(at, HugeRounded(bytes)))
        return;
    std::free(at);
}

void PrefaultInBackground(void* at, std::size_t bytes) {
    if (!kCanPrefault || at == nullptr || bytes == 0) return;
    static Prefaulter* prefaulter = new Prefaulter;
    prefaulter->Add({reinterpret_cast<std::uintptr_t>(at), bytes});
}

}  // namespace vertoko
