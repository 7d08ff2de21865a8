// The second reader of a drawing and the hand-over of what it read.
#include "dxf/split_reading.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>
#include <vector>

#include "dxf/entities/face_entity.h"
#include "dxf/input/binary_pairs.h"
#include "dxf/input/value_words.h"
#include "dxf/object_slots.h"

#if defined(__unix__)
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vertoko {

namespace {

// Below this size one reader is done before a second one pays off.
constexpr std::int64_t kSplitSize = std::int64_t{2} << 20;
std::atomic<std::int64_t> splitSize{kSplitSize};
// A run done before the driver gets there has another begin halfway between
// the two from this many times the split size between them on (the second
// thread is running already), and it must still begin a split size ahead of
// the driver once found. What is left of the file after a run taken early is
// split once more from this many times the split size on (a new thread
// takes a while to start).
constexpr std::int64_t kBackwardFactor = 4;
constexpr std::int64_t kRoundFactor = 8;
// How far past the middle a boundary is looked for.
constexpr std::int64_t kSearchSpan = std::int64_t{1} << 20;
constexpr std::size_t kWindow = std::size_t{64} << 10;

std::atomic<std::int64_t> runsTaken{0};
std::atomic<bool> waitForRun{false};
std::atomic<bool> driverWaits{false};

#if defined(__unix__)
std::size_t ReadFully(int fd, char* out, std::size_t size, std::int64_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd, out + done, size - done, static_cast<off_t>(offset) + done);
        if (got > 0) {
            done += static_cast<std::size_t>(got);
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    return done;
}
#endif

// True when the line "0" begins at text[at] and the next line is "3DFACE",
// each ended by LF or CR LF. Only a proposal: the second reader reads the
// lines there as the driver would before it trusts them.
bool IsFaceStart(const char* text, std::size_t size, std::size_t at) {
    static constexpr std::string_view kCrLf = "0\r\n3DFACE\r\n";
    static constexpr std::string_view kLf = "0\n3DFACE\n";
    const std::string_view rest(text + at, size - at);
    return rest.starts_with(kCrLf) || rest.starts_with(kLf);
}

// Finds the first entity boundary at or after from and before limit (within
// kSearchSpan): the offset of a "0" code line, at the start of its line
// after blanks, followed by "3DFACE"; -1 when there is none.
std::int64_t FindBoundary(int fd, std::int64_t from, std::int64_t limit) {
#if defined(__unix__)
    std::string window(kWindow, '\0');
    const std::int64_t last = from + kSearchSpan < limit ? from + kSearchSpan : limit;
    // Windows overlap by a line's worth, so a boundary across two is seen.
    constexpr std::int64_t kOverlap = 64;
    for (std::int64_t start = from; start < last; start += kWindow - kOverlap) {
        const std::size_t got = ReadFully(fd, window.data(), kWindow, start);
        if (got == 0) break;
        for (std::size_t i = 1; i < got; ++i) {
            if (window[i - 1] != '\n') continue;
            std::size_t at = i;
            while (at < got && (window[at] == ' ' || window[at] == '\t')) ++at;
            if (at < got && window[at] == '0' && IsFaceStart(window.data(), got, at)) {
                const std::int64_t found = start + static_cast<std::int64_t>(at);
                return found < limit ? found : -1;
            }
        }
    }
#else
    (void)fd;
    (void)from;
    (void)limit;
#endif
    return -1;
}

void Renumber(const SplitReading::Renumbering& job) {
    MeshPolygon* polygon = job.first;
    for (std::int32_t i = 0; i < job.count; ++i) {
        for (std::int32_t k = 0; k < polygon->cornerCount; ++k) polygon->p[k] += job.base;
        // The last one's link is the driver's to write.
        if (i + 1 < job.count) polygon = polygon->next;
    }
}

void RenumberAll(const std::vector<SplitReading::Renumbering>& jobs) {
    for (const SplitReading::Renumbering& job : jobs) Renumber(job);
}

}  // namespace

struct SplitReading::Run {
    std::int64_t offset = -1;        // of the code line "0" it begins with
    std::int64_t bound = INT64_MAX;  // the next run's offset, where it ends at the latest
    std::unique_ptr<ReadContext> context;
    std::unique_ptr<TextPairs> pairs;
    std::atomic<bool> finish{false};  // end at the next entity
    bool done = false;                // the second thread is through with it
    // Filled by the second thread: whether the run may be taken, where the
    // input stands after the code line that ended it, how many lines it
    // counted from its first code line (1) to that one, and whether that one
    // is the next run's first.
    bool usable = false;
    TextLines::Mark end;
    std::int32_t lines = 0;
    bool joinsNext = false;
};

SplitReading::SplitReading() = default;

SplitReading::~SplitReading() { Cancel(); }

void SplitReading::Start(std::FILE* file, const ReaderOptions& options) {
#if defined(__unix__)
    // Style numbers of drawing colours are given out in reading order by
    // one table for the whole file: such reads stay with one reader.
    if (file == nullptr || options.dxfColor != 0) return;
    const int fd = fileno(file);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return;
    const std::int64_t begin = ftello(file);
    const std::int64_t size = info.st_size;
    if (begin < 0 || size - begin < splitSize.load() || size - begin < 1) return;
    char head[BinaryPairs::kSentinel.size()];
    if (ReadFully(fd, head, sizeof head, begin) != sizeof head ||
        std::string_view(head, sizeof head) == BinaryPairs::kSentinel)
        return;
    fd_ = fd;
    size_ = size;
    options_ = options;
    stop_.store(false);
    driverAt_.store(begin);
    StartThread(MakeRun(begin + (size - begin) / 2, INT64_MAX));
    if (driverWaits.load()) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !working_; });
    }
#else
    (void)file;
    (void)options;
#endif
}

std::unique_ptr<SplitReading::Run> SplitReading::MakeRun(std::int64_t from, std::int64_t bound) {
    const std::int64_t offset = FindBoundary(fd_, from, bound < size_ ? bound : size_);
    if (offset < 0) return nullptr;
    try {
        auto run = std::make_unique<Run>();
        run->offset = offset;
        run->bound = bound;
        run->context = std::make_unique<ReadContext>(options_);
        if (!CreateSlots(run->context->slots, options_.dxfMulti != 0)) return nullptr;
        run->pairs = std::make_unique<TextPairs>(fd_, offset);
        return run;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void SplitReading::StartThread(std::unique_ptr<Run> run) {
    if (run == nullptr) return;
    std::lock_guard<std::mutex> lock(mutex_);
    try {
        runs_.push_back(std::move(run));
    } catch (const std::bad_alloc&) {
        return;
    }
    working_ = true;
    try {
        thread_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        runs_.pop_back();
        working_ = false;
        return;
    }
    next_.store(runs_.back()->offset, std::memory_order_release);
}

void SplitReading::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_.load() && !runs_.empty()) {
        Run& run = *runs_.back();
        if (!run.done) {
            lock.unlock();
            ReadRun(run);
            lock.lock();
            run.done = true;
            changed_.notify_all();
            // Taken or passed by the driver: nothing before it is left.
            if (run.finish.load()) break;
            continue;
        }
        // Done before the driver got there: the next run begins halfway
        // between the two, when that is far enough ahead of the driver.
        // Where that is depends on the driver's progress, so the tests that
        // wait for whole runs start none unless the driver waits too.
        if (waitForRun.load() && !driverWaits.load()) break;
        const std::int64_t before = run.offset;
        const std::int64_t ahead = splitSize.load();
        const std::int64_t driver = driverAt_.load(std::memory_order_relaxed);
        if (before - driver < kBackwardFactor * ahead) break;
        lock.unlock();
        std::unique_ptr<Run> earlier = MakeRun(driver + (before - driver) / 2, before);
        lock.lock();
        // Meanwhile the driver may have taken the run or come near.
        if (earlier == nullptr || stop_.load() || runs_.empty() || runs_.back()->offset != before ||
            earlier->offset - driverAt_.load(std::memory_order_relaxed) < ahead)
            break;
        try {
            runs_.push_back(std::move(earlier));
        } catch (const std::bad_alloc&) {
            break;
        }
        next_.store(runs_.back()->offset, std::memory_order_release);
    }
    working_ = false;
    changed_.notify_all();
}

void SplitReading::ReadRun(Run& run) {
    ReadContext& context = *run.context;
    TextPairs& pairs = *run.pairs;
    TextLines& input = pairs.Lines();
    std::string_view line;
    char name[16];
    std::int32_t code = -1;
    bool ok = pairs.Code(code) == PairStatus::Ok && code == 0 &&
              input.LastLineOffset() == run.offset && !input.LastLineCut();
    std::int32_t faces = 0;
    while (ok) {
        // Between two entities: the driver may go on from here.
        const TextLines::Mark mark = input.Here();
        const std::int32_t lines = pairs.Counted();
        if (stop_.load(std::memory_order_relaxed)) break;
        // The code line just read begins the next run: the driver goes on
        // with that one.
        const bool atBound = input.LastLineOffset() == run.bound;
        if (atBound || run.finish.load(std::memory_order_relaxed)) {
            run.end = mark;
            run.lines = lines;
            run.usable = faces > 0;
            run.joinsNext = atBound;
            break;
        }
        // Past the next run's start without landing on it: this run began
        // at no true boundary, and the driver will pass it.
        if (mark.offset > run.bound) break;
        bool face = pairs.Text(line) == PairStatus::Ok && !input.LastLineCut();
        if (face) {
            face = TokenView(line, name, sizeof name) == "3DFACE";
        }
        if (!face) {
            // Whatever comes now is the driver's to read.
            run.end = mark;
            run.lines = lines;
            run.usable = faces > 0;
            break;
        }
        // A face that fails fails the whole read when the driver reads it;
        // a code line cut at 127 characters leaves the driver a rest to skip.
        ok = Read3DFace(context, pairs) && !input.LastLineCut();
        ++faces;
    }
}

SplitReading::Outcome SplitReading::Take(std::int64_t offset, ReadContext& context,
                                         TextPairs& pairs) {
    // The renumbering of runs taken before is over before its work list is
    // used again.
    if (renumber_.joinable()) renumber_.join();
    renumbering_.clear();

    Outcome outcome = Outcome::Declined;
    // The driver has read the first run's code line and the value after it.
    std::int32_t counted = 2;
    std::int64_t end = -1;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!runs_.empty() && runs_.back()->offset == offset) {
        Run& run = *runs_.back();
        if (!run.done) {
            // What is read by now is taken; the driver reads the rest.
            if (!waitForRun.load()) run.finish.store(true);
            changed_.wait(lock, [&run] { return run.done; });
        }
        std::unique_ptr<Run> taken = std::move(runs_.back());
        runs_.pop_back();
        next_.store(runs_.empty() ? -1 : runs_.back()->offset, std::memory_order_release);
        lock.unlock();
        const Outcome merged =
            taken->usable ? Merge(*taken, counted, context, pairs) : Outcome::Declined;
        lock.lock();
        if (merged != Outcome::Taken) {
            if (merged == Outcome::Failed) outcome = merged;
            break;
        }
        outcome = Outcome::Taken;
        runsTaken.fetch_add(1);
        end = taken->end.offset;
        driverAt_.store(end, std::memory_order_relaxed);
        if (!taken->joinsNext) break;
        // The run ended on the next one's code line, which the driver has
        // now counted as the run's last line.
        offset = taken->bound;
        counted = 1;
    }
    // A run taken long before its end: what is left is split once more.
    const bool again = outcome == Outcome::Taken && runs_.empty() && !working_ && !stop_.load();
    lock.unlock();
    if (again) {
        if (thread_.joinable()) thread_.join();
        const std::int64_t rest = size_ - end;
        if (rest > 0 && rest >= kRoundFactor * splitSize.load())
            StartThread(MakeRun(end + rest / 2, INT64_MAX));
    }
    StartRenumbering();
    return outcome;
}

SplitReading::Outcome SplitReading::Merge(Run& run, std::int32_t counted, ReadContext& into,
                                          TextPairs& pairs) {
    SlotArray& from = run.context->slots;
    const bool multi = options_.dxfMulti != 0;
    // Counts that could pass 32 bits are left to the driver, which reads
    // them one by one.
    std::int64_t vertices = 0;
    std::int64_t polygons = 0;
    for (std::int32_t i = 0; i < into.slots.count; ++i) {
        vertices += into.slots.slots[i].vertexCount;
        polygons += into.slots.slots[i].polygonCount;
    }
    for (std::int32_t i = 0; i < from.count; ++i) {
        vertices += from.slots[i].vertexCount;
        polygons += from.slots[i].polygonCount;
    }
    if (vertices > INT32_MAX || polygons > INT32_MAX) return Outcome::Declined;

    const std::int32_t linesBefore = pairs.Counted();
    if (!pairs.Lines().JumpTo(run.end)) return Outcome::Declined;
    // The driver has counted the run's first lines: its code line and,
    // unless the run before ended on it, the value line after it.
    pairs.SetCounted(linesBefore - counted + run.lines);

    // The corners of the taken polygons are renumbered on a thread of their
    // own while the driver reads on: nothing reads them before the read ends.
    Outcome outcome = Outcome::Taken;

    for (std::int32_t i = 0; i < from.count; ++i) {
        ObjectSlot& part = from.slots[i];
        // A slot is made for a face it takes, so only the single object of
        // the second reader can be empty.
        if (part.vertexHead == nullptr && part.polygonHead == nullptr) continue;
        std::int32_t index = 0;
        if (multi) {
            index = set_obj(into.slots, part.layer, part.color, into.message);
            if (index < 0) {
                outcome = Outcome::Failed;
                break;
            }
        }
        ObjectSlot& slot = into.slots.slots[index];
        // The second reader numbered its vertices from 0.
        const std::int32_t first = slot.vertexCount;
        if (first != 0 && part.polygonCount > 0) {
            const Renumbering job{part.polygonHead, part.polygonCount, first};
            try {
                renumbering_.push_back(job);
            } catch (const std::bad_alloc&) {
                Renumber(job);
            }
        }
        Chain<MeshVertex> vertexChain{part.vertexHead, part.vertexTail, part.vertexCount};
        Chain<MeshPolygon> polygonChain{part.polygonHead, part.polygonTail, part.polygonCount};
        SpliceInto(slot, vertexChain, polygonChain, part.arena);
        part.vertexHead = part.vertexTail = nullptr;
        part.polygonHead = part.polygonTail = nullptr;
        part.vertexCount = part.polygonCount = 0;
    }
    return outcome;
}

void SplitReading::Pass(std::int64_t offset) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!runs_.empty() && runs_.back()->offset <= offset) {
        Run& run = *runs_.back();
        if (!run.done) {
            run.finish.store(true);
            changed_.wait(lock, [&run] { return run.done; });
        }
        runs_.pop_back();
    }
    next_.store(runs_.empty() ? -1 : runs_.back()->offset, std::memory_order_release);
}

void SplitReading::StartRenumbering() {
    if (renumbering_.empty()) return;
    try {
        renumber_ = std::thread([jobs = &renumbering_] { RenumberAll(*jobs); });
    } catch (const std::system_error&) {
        RenumberAll(renumbering_);
    }
}

void SplitReading::Cancel() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_.store(true);
        next_.store(-1, std::memory_order_release);
    }
    if (thread_.joinable()) thread_.join();
    runs_.clear();
    if (renumber_.joinable()) renumber_.join();
    renumbering_.clear();
}

std::int64_t SplitRunsTaken() { return runsTaken.load(); }

void SplitReadingWaitsForTesting(bool wait) { waitForRun.store(wait); }

void SplitReadingDriverWaitsForTesting(bool wait) { driverWaits.store(wait); }

void SetSplitSizeForTesting(std::int64_t bytes) { splitSize.store(bytes < 0 ? kSplitSize : bytes); }

}  // namespace vertoko
