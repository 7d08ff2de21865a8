// Reading a large drawing on two threads. While the driver reads the file
// from its start, a second thread reads runs of 3DFACE entities further on,
// each into a read context of its own: first the run that begins at an entity
// boundary near the middle, then, when that one is done before the driver
// gets there, a run that begins halfway between the driver and it, and so
// on. When the driver arrives at a run's very start, still among entities and
// outside any block, it takes over what was gathered there as if it had read
// it itself (the objects, in their order, and the line count) and goes on
// reading where the run ended; a run that ended right where the next one
// begins hands that one over too. When a run is taken long before its end,
// what is left of the file is split once more. Anything the driver would see
// differently is given up: it then reads that part itself, so the result is
// always the one a single reader gives.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dxf/input/text_pairs.h"
#include "dxf/read_context.h"
#include "dxf/reader_options.h"
#include "model/mesh_model.h"

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

    // File offset of the first character of the code line "0" that the next
    // run begins with, or -1 when none is pending.
    std::int64_t NextRun() const { return next_.load(std::memory_order_acquire); }

    // Where the driver stands: the offset of the code line it has just read.
    // Runs begin well ahead of it.
    void DriverAt(std::int64_t offset) { driverAt_.store(offset, std::memory_order_relaxed); }

    enum class Outcome {
        Taken,     // the run is in the driver's slots and its input stands after it
        Declined,  // nothing changed: the driver reads on as usual
        Failed,    // the driver's state could not take the run: the message is written
    };

    // Called when the driver, reading into context from pairs, has just
    // read the code line at NextRun(), which is offset, and the value
    // "3DFACE" after it, outside any block; pairs has counted that value
    // line. Waits for the second thread where it is still reading there.
    Outcome Take(std::int64_t offset, ReadContext& context, TextPairs& pairs);

    // Called when the driver has read the code line at offset, at or past
    // NextRun(), and cannot take the run there: the runs that begin up to
    // offset are dropped.
    void Pass(std::int64_t offset);

    // Stops the second thread and drops what it read; returns once the
    // polygons taken over are renumbered.
    void Cancel();

    // Polygons taken over whose corners are yet to be moved up by base.
    struct Renumbering {
        MeshPolygon* first;
        std::int32_t count;
        std::int32_t base;
    };

  private:
    struct Run;

    // A run at the first entity boundary from offset from on and before
    // bound, with a read context of its own; null when there is none.
    std::unique_ptr<Run> MakeRun(std::int64_t from, std::int64_t bound);
    // Queues run, the only one, and starts the second thread on it.
    void StartThread(std::unique_ptr<Run> run);
    // The second thread: reads the earliest run, then looks for another.
    void Work();
    void ReadRun(Run& run);
    // Hands run's objects to the driver, which has counted the run's first
    // counted lines itself.
    Outcome Merge(Run& run, std::int32_t counted, ReadContext& into, TextPairs& pairs);
    void StartRenumbering();

    int fd_ = -1;
    std::int64_t size_ = 0;
    ReaderOptions options_;

    std::mutex mutex_;
    std::condition_variable changed_;
    // The runs not yet taken, the earliest last; the second thread reads the
    // earliest unless it is done. Guarded by mutex_, like the runs' done.
    std::vector<std::unique_ptr<Run>> runs_;
    // The second thread is reading a run or looking for one (guarded too).
    bool working_ = false;
    std::atomic<std::int64_t> next_{-1};  // the earliest run's offset, or -1
    std::atomic<bool> stop_{false};       // drop every run
    std::thread thread_;
    // Written by the driver at every entity, so on a cache line of its own:
    // the second thread reads its flags at every entity too.
    alignas(64) std::atomic<std::int64_t> driverAt_{-1};  // see DriverAt

    std::thread renumber_;                  // renumbering what was taken over
    std::vector<Renumbering> renumbering_;  // its work, untouched while it runs
};

// How many runs the driver has taken over since the process started.
std::int64_t SplitRunsTaken();

// For the tests, which must not depend on timing: the driver waits for each
// whole run instead of taking what is read by the time it arrives, and no
// run is started between the driver and a run done early.
void SplitReadingWaitsForTesting(bool wait);

// For the tests of the runs before the driver: the driver begins only once
// the second thread has read every run it can ahead of it, each run then
// done before the driver gets there. Runs before the driver are started
// then even when the driver waits for whole runs.
void SplitReadingDriverWaitsForTesting(bool wait);

// For the fuzzer, whose inputs are small: files from this size on are read
// on two threads (a negative size restores the usual one).
void SetSplitSizeForTesting(std::int64_t bytes);

}  // namespace vertoko
