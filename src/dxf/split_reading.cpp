// The second reader of a drawing and the hand-over of what it read.
#include "dxf/split_reading.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
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
// How far past the middle a boundary is looked for.
constexpr std::int64_t kSearchSpan = std::int64_t{1} << 20;
constexpr std::size_t kWindow = std::size_t{64} << 10;

std::atomic<std::int64_t> runsTaken{0};

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

}  // namespace

struct SplitReading::Run {
    std::int64_t offset = -1;  // of the code line "0" it begins with
    std::unique_ptr<ReadContext> context;
    std::unique_ptr<TextPairs> pairs;
    // Filled by the second thread: whether the run may be taken, where the
    // input stands after the code line that ended it, and how many lines it
    // counted from its first code line (1) to that one.
    bool usable = false;
    TextLines::Mark end;
    std::int32_t lines = 0;
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
    const std::int64_t offset = FindBoundary(fd, begin + (size - begin) / 2, size);
    if (offset < 0) return;
    options_ = options;
    try {
        run_ = std::make_unique<Run>();
        run_->offset = offset;
        run_->context = std::make_unique<ReadContext>(options_);
        // It has not seen the header: the driver decodes the names it met.
        run_->context->layers.SetDecoding(nullptr);
        if (!CreateSlots(run_->context->slots, options_.dxfMulti != 0)) {
            run_.reset();
            return;
        }
        run_->pairs = std::make_unique<TextPairs>(fd, offset);
    } catch (const std::bad_alloc&) {
        run_.reset();
        return;
    }
    stop_.store(false);
    Run* run = run_.get();
    if (!reader_.TryStart([this, run] { ReadRun(*run); })) {
        run_.reset();
        return;
    }
    next_ = offset;
#else
    (void)file;
    (void)options;
#endif
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
    while (ok && !stop_.load(std::memory_order_relaxed)) {
        // Between two entities: the driver may go on from here.
        const TextLines::Mark mark = input.Here();
        const std::int32_t lines = pairs.Counted();
        const bool face =
            pairs.Text(line) == PairStatus::Ok && TokenView(line, name, sizeof name) == "3DFACE";
        if (!face) {
            // Whatever comes now is the driver's to read.
            run.end = mark;
            run.lines = lines;
            run.usable = faces > 0;
            break;
        }
        // A face that fails fails the whole read when the driver reads it;
        // a code line cut at 127 characters is left to the driver too.
        ok = Read3DFace(context, pairs) && !input.LastLineCut();
        ++faces;
    }
}

SplitReading::Outcome SplitReading::Take(std::int64_t offset, ReadContext& context,
                                         TextPairs& pairs) {
    if (run_ == nullptr || offset != next_) return Outcome::Declined;
    next_ = -1;
    bool read = true;
    try {
        reader_.Join();
    } catch (...) {
        read = false;  // memory ran short over there: the driver reads it all
    }
    Outcome outcome = read && run_->usable ? Merge(*run_, context, pairs) : Outcome::Declined;
    if (outcome == Outcome::Taken) runsTaken.fetch_add(1);
    run_.reset();
    return outcome;
}

SplitReading::Outcome SplitReading::Merge(Run& run, ReadContext& into, TextPairs& pairs) {
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

    // The second reader numbered the layers it met itself: each becomes
    // the driver's layer of the same group 8 value, met here in the same
    // order as the driver would meet it.
    const LayerTable& runLayers = run.context->layers;
    std::vector<std::int32_t> layerOf(static_cast<std::size_t>(runLayers.Count()));
    bool renumbered = false;
    for (std::int32_t i = 0; i < runLayers.Count(); ++i) {
        const std::int32_t id = into.layers.IdOf(runLayers.Value(i));
        // Faces the driver would leave out: it reads the run itself.
        if (into.layers.OmissionOf(id) != Omission::None) return Outcome::Declined;
        layerOf[static_cast<std::size_t>(i)] = id;
        renumbered = renumbered || id != i;
    }
    if (multi) {
        // Two of its layers that are one to the driver would have their
        // faces interleaved in one object: the driver reads them itself.
        std::vector<char> taken(static_cast<std::size_t>(into.layers.Count()), 0);
        for (const std::int32_t id : layerOf) {
            if (taken[static_cast<std::size_t>(id)] != 0) return Outcome::Declined;
            taken[static_cast<std::size_t>(id)] = 1;
        }
    }

    const std::int32_t linesBefore = pairs.Counted();
    if (!pairs.Lines().JumpTo(run.end)) return Outcome::Declined;
    // The driver has counted the run's first two lines, its code line and
    // the value line after it.
    pairs.SetCounted(linesBefore - 2 + run.lines);

    for (std::int32_t i = 0; i < from.count; ++i) {
        ObjectSlot& part = from.slots[i];
        // A slot is made for a face it takes, so only the single object of
        // the second reader can be empty.
        if (part.vertexHead == nullptr && part.polygonHead == nullptr) continue;
        std::int32_t index = 0;
        if (multi) {
            index = set_obj(into.slots, layerOf[static_cast<std::size_t>(part.layer)], part.color,
                            into.message);
            if (index < 0) return Outcome::Failed;
        }
        ObjectSlot& slot = into.slots.slots[index];
        // The second reader numbered its vertices from 0.
        if (const std::int32_t first = slot.vertexCount; first != 0 || renumbered) {
            for (MeshPolygon* p = part.polygonHead; p != nullptr; p = p->next) {
                for (std::int32_t k = 0; k < p->cornerCount; ++k) p->p[k] += first;
                p->layer = layerOf[static_cast<std::size_t>(p->layer)];
            }
        }
        Chain<MeshVertex> vertexChain{part.vertexHead, part.vertexTail, part.vertexCount};
        Chain<MeshPolygon> polygonChain{part.polygonHead, part.polygonTail, part.polygonCount};
        SpliceInto(slot, vertexChain, polygonChain, part.arena);
        part.vertexHead = part.vertexTail = nullptr;
        part.polygonHead = part.polygonTail = nullptr;
        part.vertexCount = part.polygonCount = 0;
    }
    return Outcome::Taken;
}

void SplitReading::Pass() { Cancel(); }

void SplitReading::Cancel() {
    next_ = -1;
    stop_.store(true);
    try {
        reader_.Join();
    } catch (...) {
        // What the dropped run could not do no longer matters.
    }
    run_.reset();
}

std::int64_t SplitRunsTaken() { return runsTaken.load(); }

void SetSplitSizeForTesting(std::int64_t bytes) { splitSize.store(bytes < 0 ? kSplitSize : bytes); }

}  // namespace vertoko
