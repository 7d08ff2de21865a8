#include "parallel/fork_join.h"

#include <atomic>
#include <system_error>
#include <utility>

namespace vertoko {

namespace {

std::atomic<bool> refuseThreads{false};

}  // namespace

BackgroundWork::~BackgroundWork() {
    if (thread_.joinable()) thread_.join();
}

bool BackgroundWork::StartThread() {
    if (refuseThreads.load(std::memory_order_relaxed)) return false;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    } catch (const std::bad_alloc&) {
        // The thread's own record could not be had: no thread either.
        return false;
    }
    return true;
}

void BackgroundWork::Run() noexcept {
    try {
        work_();
    } catch (...) {
        failure_ = std::current_exception();
    }
}

void BackgroundWork::Join() {
    if (thread_.joinable()) thread_.join();
    // What the work holds goes now, on the thread that gave it.
    work_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void RefuseThreadsForTesting(bool refuse) { refuseThreads.store(refuse); }

}  // namespace vertoko
