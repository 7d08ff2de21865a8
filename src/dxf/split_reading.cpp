// The second reader of a drawing and the hand-over of what it read.
#include "dxf/split_reading.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <system_error>
#include <vector>

#include "dxf/binary_dxf_input.h"
#include "dxf/dxf_numbers.h"
#include "dxf/face_entity.h"
#include "dxf/object_slots.h"
#include "dxf/read_state.h"

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
// How far past the middle a boundary is looked for.
constexpr std::int64_t kSearchSpan = std::int64_t{1} << 20;
constexpr std::size_t kWindow = std::size_t{64} << 10;

std::atomic<std::int64_t> runsTaken{0};
std::atomic<bool> waitForRun{false};

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

// Finds the first entity boundary at or after from: the offset of a "0"
// code line, at the start of its line after blanks, followed by "3DFACE".
std::int64_t FindBoundary(int fd, std::int64_t from, std::int64_t fileSize) {
#if defined(__unix__)
    std::string window(kWindow, '\0');
    const std::int64_t last = from + kSearchSpan < fileSize ? from + kSearchSpan : fileSize;
    // Windows overlap by a line's worth, so a boundary across two is seen.
    constexpr std::int64_t kOverlap = 64;
    for (std::int64_t start = from; start < last; start += kWindow - kOverlap) {
        const std::size_t got = ReadFully(fd, window.data(), kWindow, start);
        if (got == 0) break;
        for (std::size_t i = 1; i < got; ++i) {
            if (window[i - 1] != '\n') continue;
            std::size_t at = i;
            while (at < got && (window[at] == ' ' || window[at] == '\t')) ++at;
            if (at < got && window[at] == '0' && IsFaceStart(window.data(), got, at))
                return start + static_cast<std::int64_t>(at);
        }
    }
#else
    (void)fd;
    (void)from;
    (void)fileSize;
#endif
    return -1;
}

}  // namespace

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
    char head[BinaryDxfInput::kSentinelSize];
    if (ReadFully(fd, head, sizeof head, begin) != sizeof head ||
        BinaryDxfInput::StartsWithSentinel(head, sizeof head))
        return;
    offset_ = FindBoundary(fd, begin + (size - begin) / 2, size);
    if (offset_ < 0) return;
    try {
        state_ = std::make_unique<DxfReadState>();
    } catch (const std::bad_alloc&) {
        offset_ = -1;
        return;
    }
    state_->options = options;
    if (!CreateSlots(state_->slots, options.dxfMulti != 0)) {
        state_.reset();
        offset_ = -1;
        return;
    }
    stop_.store(false);
    finish_.store(false);
    usable_ = false;
    try {
        thread_ = std::thread([this, fd, multi = options.dxfMulti] { Run(fd, multi); });
    } catch (const std::system_error&) {
        FreeSlots(state_->slots);
        state_.reset();
        offset_ = -1;
    }
#else
    (void)file;
    (void)options;
#endif
}

void SplitReading::Run(int fd, int multi) {
    ThreadReadState(state_.get());
    DxfReadState& state = *state_;
    DxfInput& input = state.input;
    input.ResetAt(fd, offset_);
    std::string_view line;
    char name[16];
    ++input.lineCounter;
    bool ok = input.ReadCodeLine(line) == LineStatus::Ok && ParseIntPrefix(line) == 0 &&
              input.LastLineOffset() == offset_ && !input.LastLineCut();
    std::int32_t faces = 0;
    while (ok) {
        // Between two entities: the driver may go on from here.
        const DxfInput::Mark mark = input.Here();
        const std::int32_t lines = input.lineCounter;
        if (stop_.load(std::memory_order_relaxed)) break;
        if (finish_.load(std::memory_order_relaxed)) {
            end_ = mark;
            lines_ = lines;
            usable_ = faces > 0;
            break;
        }
        ++input.lineCounter;
        bool face = input.ReadValueLine(line) == LineStatus::Ok && !input.LastLineCut();
        if (face) {
            face = TokenView(line, name, sizeof name) == "3DFACE";
        }
        if (!face) {
            // Whatever comes now is the driver's to read.
            end_ = mark;
            lines_ = lines;
            usable_ = faces > 0;
            break;
        }
        // A face that fails fails the whole read when the driver reads it;
        // a code line cut at 127 characters leaves the driver a rest to skip.
        ok = Read3DFace(nullptr, multi, state.message) != 0 && !input.LastLineCut();
        ++faces;
    }
    ThreadReadState(nullptr);
}

SplitReading::Outcome SplitReading::Take() {
    if (!thread_.joinable()) return Outcome::Declined;
    // What is read by now is taken; the driver reads the rest.
    if (!waitForRun.load()) finish_.store(true);
    thread_.join();
    const Outcome outcome = usable_ ? Merge() : Outcome::Declined;
    if (outcome == Outcome::Taken) runsTaken.fetch_add(1);
    StopRun();
    return outcome;
}

namespace {

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

SplitReading::Outcome SplitReading::Merge() {
    DxfReadState& into = ReadState();
    SlotArray& from = state_->slots;
    const bool multi = state_->options.dxfMulti != 0;
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

    const std::int32_t linesBefore = into.input.lineCounter;
    if (!into.input.JumpTo(end_)) return Outcome::Declined;
    // The driver has counted the code line at offset_ and the value line
    // after it, the run's lines 1 and 2.
    into.input.lineCounter = linesBefore - 2 + lines_;

    // The corners of the taken polygons are renumbered on a thread of their
    // own while the driver reads on: nothing reads them before the read ends.
    renumbering_.clear();
    Outcome outcome = Outcome::Taken;

    for (std::int32_t i = 0; i < from.count; ++i) {
        ObjectSlot& part = from.slots[i];
        // A slot is made for a face it takes, so only the single object of
        // the second reader can be empty.
        if (part.vertexHead == nullptr && part.polygonHead == nullptr) continue;
        std::int32_t index = 0;
        if (multi) {
            index = set_obj(part.layer, part.color);
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
        SpliceVertices(slot, vertexChain);
        SplicePolygons(slot, polygonChain);
        AdoptArena(slot.arena, part.arena);
        part.vertexHead = part.vertexTail = nullptr;
        part.polygonHead = part.polygonTail = nullptr;
        part.vertexCount = part.polygonCount = 0;
    }
    if (!renumbering_.empty()) {
        try {
            renumber_ = std::thread([jobs = &renumbering_] { RenumberAll(*jobs); });
        } catch (const std::system_error&) {
            RenumberAll(renumbering_);
        }
    }
    return outcome;
}

void SplitReading::Cancel() {
    StopRun();
    if (renumber_.joinable()) renumber_.join();
    renumbering_.clear();
}

void SplitReading::StopRun() {
    if (thread_.joinable()) {
        stop_.store(true);
        thread_.join();
    }
    if (state_ != nullptr) {
        FreeSlots(state_->slots);
        state_.reset();
    }
    offset_ = -1;
}

std::int64_t SplitRunsTaken() { return runsTaken.load(); }

void SplitReadingWaitsForTesting(bool wait) { waitForRun.store(wait); }

void SetSplitSizeForTesting(std::int64_t bytes) { splitSize.store(bytes < 0 ? kSplitSize : bytes); }

}  // namespace vertoko
