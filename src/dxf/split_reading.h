// Reading a large drawing on two threads. While the driver reads the file
// from its start, a second thread reads the run of 3DFACE entities that
// begins at an entity boundary near the middle, into a read context of its
// own, up to the first other entity. When the driver arrives at that very
// boundary, still among entities and outside any block, it waits for the
// second reader where it is not done yet, takes over what was read there as
// if it had read it itself (the objects, in their order, and the line
// count) and goes on reading where the run ended. Anything the driver would
// see differently is given up: it then reads that part itself, so the
// result is always the one a single reader gives.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "dxf/input/text_pairs.h"
#include "dxf/read_context.h"
#include "dxf/reader_options.h"
#include "parallel/fork_join.h"

namespace vertoko {

class SplitReading {
  public:
    SplitReading();
    SplitReading(const SplitReading&) = delete;
    SplitReading& operator=(const SplitReading&) = delete;
    ~SplitReading();

    // Starts the second thread when file is a large seekable text file and
    // a boundary is found; otherwise nothing happens.
    void Start(std::FILE* file, const ReaderOptions& options);

    // File offset of the first character of the code line "0" that the run
    // begins with, or -1 when none is pending.
    std::int64_t NextRun() const { return next_; }

    enum class Outcome {
        Taken,     // the run is in the driver's slots and its input stands after it
        Declined,  // nothing changed: the driver reads on as usual
        Failed,    // the driver's context could not take the run: the message is written
    };

    // Called when the driver, reading into context from pairs, has just
    // read the code line at NextRun(), which is offset, and the value
    // "3DFACE" after it, outside any block; pairs has counted that value
    // line.
    Outcome Take(std::int64_t offset, ReadContext& context, TextPairs& pairs);

    // Called when the driver has read a code line at or past NextRun()
    // without taking the run: the run is dropped.
    void Pass();

    // Stops the second thread and drops what it read.
    void Cancel();

  private:
    struct Run;

    void ReadRun(Run& run);
    // Hands the run's objects to the driver.
    Outcome Merge(Run& run, ReadContext& into, TextPairs& pairs);

    std::int64_t next_ = -1;
    ReaderOptions options_;
    std::unique_ptr<Run> run_;
    std::atomic<bool> stop_{false};  // drop the run: end at the next entity
    BackgroundWork reader_;
};

// How many runs the driver has taken over since the process started.
std::int64_t SplitRunsTaken();

// For the tests and the fuzzer, whose inputs are small: files from this size
// on are read on two threads (a negative size restores the usual one).
void SetSplitSizeForTesting(std::int64_t bytes);

}  // namespace vertoko
