// For the tests of the paths taken without a second thread.
#pragma once

#include "parallel/fork_join.h"

namespace vertoko::test {

// While it lives no thread can be started (unless refuse is false), as when
// the system has none to give.
class NoThreads {
  public:
    explicit NoThreads(bool refuse = true) { RefuseThreadsForTesting(refuse); }
    ~NoThreads() { RefuseThreadsForTesting(false); }
    NoThreads(const NoThreads&) = delete;
    NoThreads& operator=(const NoThreads&) = delete;
};

}  // namespace vertoko::test
