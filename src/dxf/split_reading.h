// Reading a large drawing on two threads. While the driver reads the file
// from its start, a second thread reads the run of 3DFACE entities that
// begins at an entity boundary near the middle, into a read state of its
// own. When the driver arrives at that very boundary, still among entities
// and outside any block, it takes over what the second thread gathered as if
// it had read it itself (the objects, in their order, and the line count)
// and goes on reading where the run ended. Anything the driver would see
// differently is given up: it then reads the second half itself, so the
// result is always the one a single reader gives.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "dxf/dxf_input.h"
#include "dxf/mesh_model.h"
#include "dxf/reader_options.h"

namespace vertoko {

struct DxfReadState;

class SplitReading {
  public:
    SplitReading();
    SplitReading(const SplitReading&) = delete;
    SplitReading& operator=(const SplitReading&) = delete;
    ~SplitReading();

    // Starts the second thread when file is a large seekable text file and
    // a boundary is found; otherwise nothing happens.
    void Start(std::FILE* file, const ReaderOptions& options);

    // True while a run is being read or waits to be taken.
    bool Pending() const { return thread_.joinable(); }

    // File offset of the first character of the code line "0" that the run
    // begins with.
    std::int64_t Offset() const { return offset_; }

    enum class Outcome {
        Taken,     // the run is in the driver's slots and its input stands after it
        Declined,  // nothing changed: the driver reads on as usual
        Failed,    // the driver's state could not take the run: the message is written
    };

    // Called when the driver has just read the code line at Offset() and
    // the value "3DFACE" after it, outside any block; lineCounter counts
    // that value line. Waits for the second thread.
    Outcome Take();

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
    void Run(int fd, int multi);
    Outcome Merge();
    void StopRun();

    std::int64_t offset_ = -1;
    std::thread thread_;
    std::thread renumber_;                  // renumbering what was taken over
    std::vector<Renumbering> renumbering_;  // its work, untouched while it runs
    std::atomic<bool> stop_{false};         // drop the run
    std::atomic<bool> finish_{false};       // end the run at the next entity
    std::unique_ptr<DxfReadState> state_;
    // Filled by the second thread: whether the run may be taken, where the
    // input stands after the code line that ended it, and how many lines it
    // counted from the code line at offset_ (1) to that code line.
    bool usable_ = false;
    DxfInput::Mark end_;
    std::int32_t lines_ = 0;
};

// How many runs the driver has taken over since the process started.
std::int64_t SplitRunsTaken();

// For the tests, which must not depend on timing: the driver waits for the
// whole run instead of taking what is read by the time it arrives.
void SplitReadingWaitsForTesting(bool wait);

// For the fuzzer, whose inputs are small: files from this size on are read
// on two threads (a negative size restores the usual one).
void SetSplitSizeForTesting(std::int64_t bytes);

}  // namespace vertoko
