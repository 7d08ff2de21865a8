// Sharing work with the second core: a piece run on a second thread while
// the caller runs another, or work started on a second thread now and
// joined later. When the system gives no thread, the caller does the work
// itself, in the order the pieces are given, so that what a stage produces
// never depends on whether a thread was had.
#pragma once

#include <exception>
#include <functional>
#include <new>
#include <thread>

namespace vertoko {

// Work started on a second thread while the caller goes on, and joined
// later; what it throws comes out of Join.
class BackgroundWork {
  public:
    BackgroundWork() = default;
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;
    // Waits for work still running. What it threw is dropped then: the
    // caller is leaving by an exception of its own.
    ~BackgroundWork();

    // Starts a copy of work on a second thread and returns true; returns
    // false, and runs nothing, when no thread can be started or the copy
    // cannot be held. For work that must not run on the caller, such as work
    // that waits for it. Requires !Running().
    template <typename Work>
    bool TryStart(Work&& work) {
        try {
            work_ = work;  // a copy: work is still whole for the caller when this fails
        } catch (const std::bad_alloc&) {
            return false;
        }
        return StartThread();
    }

    // Starts a copy of work on a second thread, or, when none can be
    // started, runs work here before returning. Either way what it throws
    // comes out of Join. Requires !Running().
    template <typename Work>
    void Start(Work&& work) {
        if (TryStart(work)) return;
        try {
            work();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    // Whether work started on a second thread has not been joined.
    bool Running() const { return thread_.joinable(); }

    // Waits for the work to end, then rethrows what it threw; does nothing
    // when nothing was started. Afterwards the object can start other work.
    void Join();

  private:
    bool StartThread();
    void Run() noexcept;

    std::function<void()> work_;
    std::exception_ptr failure_;
    std::thread thread_;
};

// Runs first on the calling thread and second on a second thread, and
// returns once both are done; when no thread can be started the caller runs
// first, then second. Both always run to their end; then what first threw,
// or else what second threw, is rethrown.
template <typename First, typename Second>
void ForkJoin(First&& first, Second&& second) {
    BackgroundWork job;
    // One reference, held in place: this fails only for want of a thread.
    const bool started = job.TryStart([&second] { second(); });
    std::exception_ptr failure;
    try {
        first();
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        if (started) {
            job.Join();
        } else {
            second();
        }
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (failure) std::rethrow_exception(failure);
}

// For the tests of the paths taken without a second thread: while refuse is
// true no thread is started, as when the system has none to give.
void RefuseThreadsForTesting(bool refuse);

}  // namespace vertoko
