// Vertex cleaning in three steps: sort the vertices by (x, y, z), sweep the
// sorted order to give every vertex a representative within the distance,
// then keep the representatives in their old order and renumber the corners.
#include "mesh/vertex_clean.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "memory/huge_pages.h"
#include "parallel/fork_join.h"
#include "parallel/thresholds.h"

namespace vertoko {

namespace {

constexpr const char* kSortError = "VClearn:Sorting processing error.\n";
constexpr std::size_t kSmallObject = 4096;

// The three progress marks of an object's cleaning, counted as the steps
// pass and written together when cleaning ends: the same characters in one
// write instead of three, which matters with thousands of small objects.
thread_local int* dotCount = nullptr;

struct ProgressDots {
    int count = 0;
    void Mark() { ++count; }
    ~ProgressDots() {
        if (dotCount != nullptr) {
            *dotCount += count;
        } else if (count > 0) {
            std::fwrite("...", 1, static_cast<std::size_t>(count), stderr);
        }
    }
};

// One vertex in key order, its coordinates copied so that the sort and the
// sweep run over a flat array instead of chasing list nodes.
struct SortedEntry {
    float x;
    float y;
    float z;
    std::int32_t vertex;  // index before cleaning
};

// Maps a coordinate to an unsigned key whose order is the float order:
// negative zero is zero, and every NaN sorts after every number.
inline std::uint32_t OrderedKey(float value) {
    if (value == 0.0f) value = 0.0f;
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (std::isnan(value)) return 0xFFFFFFFFu;
    return (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
}

// Sorts into key order x, then y, then z, equal points by index: a stable
// least-significant-digit radix sort over 16-bit digits of z, y and x,
// starting from index order. Digits that are the same for every entry are
// passed over.
void SortByKey(LargeVector<SortedEntry>& entries) {
    const std::size_t n = entries.size();
    // The digit counts alone would outweigh a small object: compare instead,
    // by the same keys and then the index, which gives the same order.
    if (n < kSmallObject) {
        std::sort(entries.begin(), entries.end(), [](const SortedEntry& a, const SortedEntry& b) {
            const std::uint32_t ka[4] = {OrderedKey(a.x), OrderedKey(a.y), OrderedKey(a.z),
                                         static_cast<std::uint32_t>(a.vertex)};
            const std::uint32_t kb[4] = {OrderedKey(b.x), OrderedKey(b.y), OrderedKey(b.z),
                                         static_cast<std::uint32_t>(b.vertex)};
            return std::lexicographical_compare(ka, ka + 4, kb, kb + 4);
        });
        return;
    }
    constexpr int kDigits = 6;
    constexpr std::size_t kBuckets = 1 << 16;
    auto digit = [](const SortedEntry& e, int pass) -> std::uint32_t {
        const float coordinate = pass < 2 ? e.z : (pass < 4 ? e.y : e.x);
        const std::uint32_t key = OrderedKey(coordinate);
        return (pass & 1) == 0 ? key & 0xFFFFu : key >> 16;
    };

    LargeVector<std::uint32_t> counts(kDigits * kBuckets, 0);
    for (const SortedEntry& e : entries) {
        for (int pass = 0; pass < kDigits; ++pass) ++counts[pass * kBuckets + digit(e, pass)];
    }
    LargeVector<SortedEntry> scratch(n);
    for (int pass = 0; pass < kDigits; ++pass) {
        std::uint32_t* count = counts.data() + pass * kBuckets;
        if (count[digit(entries[0], pass)] == n) continue;
        std::size_t offset = 0;
        for (std::size_t b = 0; b < kBuckets; ++b) {
            const std::size_t c = count[b];
            count[b] = static_cast<std::uint32_t>(offset);
            offset += c;
        }
        for (const SortedEntry& e : entries) scratch[count[digit(e, pass)]++] = e;
        entries.swap(scratch);
    }
}

// Assigns every sorted position the sorted position of its representative.
// The representative of a group is the first unassigned entry in key order;
// it takes every later unassigned entry whose squared distance, summed in
// single precision as dx² + dy² + dz², does not exceed d².
void GroupVertices(const LargeVector<SortedEntry>& sorted, float d2,
                   LargeVector<std::int32_t>& group) {
    const std::size_t n = sorted.size();
    group.assign(n, -1);

    // runEnd[i]: one past the last position with the same x as position i.
    // Within such a run the entries ascend in y, so once y has passed the
    // representative's y by more than the distance the rest of the run can
    // be skipped without changing any result.
    LargeVector<std::int32_t> runEnd(n);
    for (std::size_t i = n; i-- > 0;) {
        const bool sameAsNext = i + 1 < n && sorted[i + 1].x == sorted[i].x;
        runEnd[i] = sameAsNext ? runEnd[i + 1] : static_cast<std::int32_t>(i + 1);
    }

    for (std::size_t i = 0; i < n; ++i) {
        if (group[i] != -1) continue;
        group[i] = static_cast<std::int32_t>(i);
        const SortedEntry& rep = sorted[i];
        std::size_t j = i + 1;
        while (j < n) {
            const SortedEntry& other = sorted[j];
            const float dx = rep.x - other.x;
            const float dx2 = dx * dx;
            // Sorted by x: once the x gap alone is too wide, so is every later
            // one. A NaN gap ends the sweep too: NaN coordinates sort last and
            // never merge.
            if (!(dx2 <= d2)) break;
            if (group[j] != -1) {
                ++j;
                continue;
            }
            const float dy = rep.y - other.y;
            const float dy2 = dy * dy;
            float s = dx2 + dy2;
            if (!(s <= d2)) {
                if (other.y > rep.y && dy2 > d2) {
                    j = static_cast<std::size_t>(runEnd[j]);
                    continue;
                }
                ++j;
                continue;
            }
            const float dz = rep.z - other.z;
            s = s + dz * dz;
            if (s <= d2) group[j] = static_cast<std::int32_t>(i);
            ++j;
        }
    }
}

// Cuts the vertex list after count nodes. The nodes cut off stay in the
// object's arena until the object is freed; hand-built objects free them.
void TruncateVertexList(MeshObject& object, std::int32_t count) {
    MeshVertex* rest = nullptr;
    if (count == 0) {
        rest = object.vertices;
        object.vertices = nullptr;
    } else {
        MeshVertex* last = object.vtbl[count - 1];
        rest = last->next;
        last->next = nullptr;
    }
    if (object.arena.chunks != nullptr) return;
    while (rest != nullptr) {
        MeshVertex* next = rest->next;
        std::free(rest);
        rest = next;
    }
}

// Cleaning by sorting, for any distance: the vertices are sorted by key,
// grouped by a sweep and compacted in place. On success returns the number
// of survivors and leaves in target the new index of every vertex's
// representative; -1 with the message written on failure.
std::int32_t CleanBySorting(MeshObject& object, float distance, LargeVector<std::int32_t>& target,
                            ProgressDots& dots) {
    const std::int32_t n = object.vertexCount;
    LargeVector<SortedEntry> sorted;
    LargeVector<std::int32_t>& position = target;  // position[v]: sorted position of vertex v
    LargeVector<std::int32_t> group;  // group[j]: sorted position of j's representative
    try {
        sorted.resize(static_cast<std::size_t>(n));
        position.resize(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        return -1;
    }

    for (std::int32_t v = 0; v < n; ++v) {
        const MeshVertex* node = object.vtbl[v];
        sorted[static_cast<std::size_t>(v)] = {node->x, node->y, node->z, v};
    }
    try {
        SortByKey(sorted);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    for (std::int32_t j = 0; j < n; ++j)
        position[static_cast<std::size_t>(sorted[static_cast<std::size_t>(j)].vertex)] = j;
    dots.Mark();

    const float d2 = distance * distance;
    try {
        GroupVertices(sorted, d2, group);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    dots.Mark();

    // Representatives keep their old relative order; the vertex field of a
    // representative's entry now takes its new index. c never passes v, so
    // no node is overwritten before it has been read.
    std::int32_t c = 0;
    for (std::int32_t v = 0; v < n; ++v) {
        const std::int32_t j = position[static_cast<std::size_t>(v)];
        if (group[static_cast<std::size_t>(j)] != j) continue;
        if (c != v) {
            const MeshVertex* from = object.vtbl[v];
            MeshVertex* to = object.vtbl[c];
            to->x = from->x;
            to->y = from->y;
            to->z = from->z;
        }
        sorted[static_cast<std::size_t>(j)].vertex = c;
        ++c;
    }
    for (std::int32_t v = 0; v < n; ++v) {
        std::int32_t& t = target[static_cast<std::size_t>(v)];
        t = sorted[static_cast<std::size_t>(group[static_cast<std::size_t>(t)])].vertex;
    }
    return c;
}

// 2^-50: two different floats of at least this size (or zero) differ by at
// least 2^-73, whose square 2^-146 is still above zero in single precision.
constexpr float kTiny = 8.8817841970012523e-16f;

inline std::uint64_t PointHash(const MeshVertex& v) {
    // Adding zero turns -0 into +0, which the sweep treats as equal.
    const std::uint64_t x = std::bit_cast<std::uint32_t>(v.x + 0.0f);
    const std::uint64_t y = std::bit_cast<std::uint32_t>(v.y + 0.0f);
    const std::uint64_t z = std::bit_cast<std::uint32_t>(v.z + 0.0f);
    std::uint64_t h = (x | y << 32) * 0x9E3779B97F4A7C15u;
    h ^= (z + (h >> 29)) * 0xC2B2AE3D27D4EB4Fu;
    return h ^ (h >> 32);
}

inline bool IsTiny(float magnitude) { return magnitude < kTiny && magnitude != 0.0f; }

constexpr float kLargest = std::numeric_limits<float>::max();

// A hash table of the first copies met in one run of vertices, probing
// linearly. An entry holds the low 32 bits of its point's hash, which place
// it and are compared before the coordinates, so that a probe past other
// points rarely needs their nodes, which lie anywhere in memory.
class FirstCopyTable {
  public:
    explicit FirstCopyTable(MeshVertex* const* vtbl) : vtbl_(vtbl) {}

    // Allocates the table for a run of the given length; false when memory
    // is short. Start, which fills it, does not allocate, so that it can run
    // on another thread while the memory still comes from the allocating one:
    // released on another thread, memory would stay with that thread's pool.
    bool Reserve(std::size_t vertices) {
        std::size_t size = 64;
        while (size < vertices / 2) size *= 2;
        try {
            slots_.reserve(size);
        } catch (const std::bad_alloc&) {
            return false;
        }
        mask_ = size - 1;
        return true;
    }

    void Start() { slots_.assign(mask_ + 1, Slot{0, -1}); }

    // Starts fetching the entries where a point of this hash would be.
    void Fetch(std::uint32_t hash) const { __builtin_prefetch(&slots_[hash & mask_]); }

    // The vertex entered with a point equal to point, or -1.
    std::int32_t Find(std::uint32_t hash, const MeshVertex& point) const {
        for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
            const Slot slot = slots_[i];
            if (slot.vertex < 0) return -1;
            if (slot.hash == hash && Equal(*vtbl_[slot.vertex], point)) return slot.vertex;
        }
    }

    // The vertex entered with a point equal to that of vertex v, or v itself,
    // entered now; -1 when the table cannot grow.
    std::int32_t FindOrAdd(std::uint32_t hash, std::int32_t v) {
        const MeshVertex& point = *vtbl_[v];
        std::size_t i = hash & mask_;
        for (;; i = (i + 1) & mask_) {
            const Slot slot = slots_[i];
            if (slot.vertex < 0) break;
            if (slot.hash == hash && Equal(*vtbl_[slot.vertex], point)) return slot.vertex;
        }
        slots_[i] = {hash, v};
        low_ = {std::min(low_.x, point.x), std::min(low_.y, point.y), std::min(low_.z, point.z)};
        high_ = {std::max(high_.x, point.x), std::max(high_.y, point.y),
                 std::max(high_.z, point.z)};
        if (2 * ++used_ > slots_.size() && !Resize(2 * slots_.size())) return -1;
        return v;
    }

    // False when no entered point can equal point: it lies outside the box
    // around them.
    bool MayHold(const MeshVertex& point) const {
        return point.x >= low_.x && point.x <= high_.x && point.y >= low_.y && point.y <= high_.y &&
               point.z >= low_.z && point.z <= high_.z;
    }

    void Release() { LargeVector<Slot>().swap(slots_); }

  private:
    struct Slot {
        std::uint32_t hash;
        std::int32_t vertex;  // -1: empty
    };

    static bool Equal(const MeshVertex& a, const MeshVertex& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z;
    }

    bool Resize(std::size_t size) {
        LargeVector<Slot> grown;
        try {
            grown.reserve(size);
            grown.assign(size, Slot{0, -1});
        } catch (const std::bad_alloc&) {
            return false;
        }
        mask_ = size - 1;
        for (const Slot& slot : slots_) {
            if (slot.vertex < 0) continue;
            std::size_t j = slot.hash & mask_;
            while (grown[j].vertex >= 0) j = (j + 1) & mask_;
            grown[j] = slot;
        }
        slots_.swap(grown);
        return true;
    }

    MeshVertex* const* vtbl_;
    LargeVector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t used_ = 0;
    Point3f low_{kLargest, kLargest, kLargest};
    Point3f high_{-kLargest, -kLargest, -kLargest};
};

enum class PassEnd { kDone, kTiny, kNoMemory, kStopped };

// Walks the vertices [begin, end) in blocks: a block of vertices is hashed
// and their table entries are fetched, and they are looked up only after the
// next block has been hashed, so that the misses into a table far larger
// than the caches overlap. visit(hash, v) looks up one vertex; a vertex that
// is not finite (it merges with nothing) is passed to single(v) instead.
// Only a vertex for which keep(v) holds is walked at all, and with inBox
// only one whose point lies in the table's box. Stops at the first tiny
// coordinate, at the first failed visit, or when stop is set.
template <typename Keep, typename Single, typename Visit>
PassEnd WalkBlocks(MeshVertex* const* vtbl, std::int32_t begin, std::int32_t end,
                   const FirstCopyTable& table, bool inBox, const std::atomic<bool>& stop,
                   Keep keep, Single single, Visit visit) {
    struct Item {
        std::uint32_t hash;
        std::int32_t vertex;
    };
    constexpr int kBlock = 64;
    Item blocks[2][kBlock];
    Item* ready = blocks[0];
    Item* fetched = blocks[1];
    int readyCount = 0;
    for (std::int32_t v = begin; v < end || readyCount > 0;) {
        if (stop.load(std::memory_order_relaxed)) return PassEnd::kStopped;
        int count = 0;
        for (; v < end && count < kBlock; ++v) {
            if (!keep(v)) continue;
            const MeshVertex& point = *vtbl[v];
            const float ax = std::fabs(point.x);
            const float ay = std::fabs(point.y);
            const float az = std::fabs(point.z);
            if (IsTiny(ax) || IsTiny(ay) || IsTiny(az)) return PassEnd::kTiny;
            if (!(ax <= kLargest && ay <= kLargest && az <= kLargest)) {
                single(v);
                continue;
            }
            if (inBox && !table.MayHold(point)) continue;
            const auto hash = static_cast<std::uint32_t>(PointHash(point));
            table.Fetch(hash);
            fetched[count++] = {hash, v};
        }
        for (int k = 0; k < readyCount; ++k) {
            if (!visit(ready[k].hash, ready[k].vertex)) return PassEnd::kNoMemory;
        }
        std::swap(ready, fetched);
        readyCount = count;
    }
    return PassEnd::kDone;
}

// Writes into first[v], for every vertex of [begin, end), the first vertex
// of the run with a point equal to v's (v itself when there is none before
// it, or when v is not finite). Leaves the run's first copies in table.
PassEnd FindFirstCopies(MeshVertex* const* vtbl, std::int32_t begin, std::int32_t end,
                        FirstCopyTable& table, std::int32_t* first, const std::atomic<bool>& stop) {
    table.Start();
    return WalkBlocks(
        vtbl, begin, end, table, false, stop, [](std::int32_t) { return true; },
        [first](std::int32_t v) { first[v] = v; },
        [&table, first](std::uint32_t hash, std::int32_t v) {
            const std::int32_t found = table.FindOrAdd(hash, v);
            first[v] = found;
            return found >= 0;
        });
}

// Cleaning at distance 0 without sorting. There the sweep merges exactly
// the points whose every squared coordinate difference rounds to zero:
// equal points (with -0 equal to 0), never one with an infinite or NaN
// coordinate, and, through underflow, points less than about 2^-75 apart.
// When no coordinate lies strictly between 0 and kTiny the last cannot
// happen, merging is equality, and the group of a point is all its copies
// with the first copy (the smallest in key order: equal keys go by index) as
// representative. A hash pass finds every vertex's first copy; one pass in
// index order then numbers the first copies and maps the others. A large
// object is split into two halves, each hashed on a thread of its own; the
// first copies of the second half are then looked up among those of the
// first. Returns the number of survivors with target filled as
// CleanBySorting does, or -1 (nothing changed, nothing written) when the
// drawing has tiny coordinates or memory is short, for CleanBySorting to
// take over.
std::int32_t CleanEqualPoints(MeshObject& object, LargeVector<std::int32_t>& target,
                              ProgressDots& dots, std::int32_t splitFrom) {
    const std::int32_t n = object.vertexCount;
    MeshVertex* const* vtbl = object.vtbl;
    try {
        target.reserve(static_cast<std::size_t>(n));
        target.resize(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    // first[v]: the first copy of v, written in place of target.
    std::int32_t* const first = target.data();
    const std::int32_t half = n >= splitFrom && n >= 2 ? n / 2 : n;

    const std::int32_t middle = half + (n - half) / 2;

    // Each half is hashed into a table of its own. A first copy of the second
    // half whose point the first half has too then takes that first copy, the
    // other vertices of the second half reaching it through their own first
    // copy in the numbering below; both threads look up a share of the second
    // half once both halves are done, passing over the points outside the box
    // around the first half's (a drawing stored row by row has few inside).
    FirstCopyTable tables[2] = {FirstCopyTable(vtbl), FirstCopyTable(vtbl)};
    if (!tables[0].Reserve(static_cast<std::size_t>(half))) return -1;
    if (half < n && !tables[1].Reserve(static_cast<std::size_t>(n - half))) return -1;
    std::atomic<bool> stop{false};
    auto hashHalf = [&](int part) {
        const std::int32_t begin = part == 0 ? 0 : half;
        const std::int32_t end = part == 0 ? half : n;
        if (FindFirstCopies(vtbl, begin, end, tables[part], first, stop) != PassEnd::kDone)
            stop.store(true, std::memory_order_relaxed);
        if (part == 1) tables[1].Release();
    };
    auto lookUpShare = [&](std::int32_t begin, std::int32_t end) {
        if (stop.load(std::memory_order_relaxed)) return;
        WalkBlocks(
            vtbl, begin, end, tables[0], true, stop,
            [first](std::int32_t v) { return first[v] == v; }, [](std::int32_t) {},
            [&tables, first, vtbl](std::uint32_t hash, std::int32_t v) {
                const std::int32_t found = tables[0].Find(hash, *vtbl[v]);
                if (found >= 0) first[v] = found;
                return true;
            });
    };
    if (half < n) {
        ForkJoin([&] { hashHalf(0); }, [&] { hashHalf(1); });
        if (!stop.load())
            ForkJoin([&] { lookUpShare(half, middle); }, [&] { lookUpShare(middle, n); });
    } else {
        hashHalf(0);
    }
    if (stop.load()) return -1;
    tables[0].Release();
    dots.Mark();
    dots.Mark();

    // The first copies are numbered in index order and move down to their new
    // places, a new index never passing the old one; every other vertex takes
    // the number its first copy, an earlier vertex, already has. first[v] is
    // read before target[v], the same entry, is written.
    std::int32_t c = 0;
    for (std::int32_t v = 0; v < n; ++v) {
        const std::int32_t f = first[v];
        if (f != v) {
            target[static_cast<std::size_t>(v)] = target[static_cast<std::size_t>(f)];
            continue;
        }
        if (c != v) {
            const MeshVertex* from = vtbl[v];
            MeshVertex* to = vtbl[c];
            to->x = from->x;
            to->y = from->y;
            to->z = from->z;
        }
        target[static_cast<std::size_t>(v)] = c++;
    }
    return c;
}

}  // namespace

std::int32_t VClearn(MeshObject& object, float distance, std::string& message) {
    return VClearn(object, distance, message, kSharedCleaningVertices);
}

std::int32_t VClearn(MeshObject& object, float distance, std::string& message,
                     std::int32_t splitFrom) {
    const std::int32_t n = object.vertexCount;
    // An object without vertices has nothing to merge: it stays as it is.
    if (n == 0) return 0;
    if (n < 0 || object.vtbl == nullptr) {
        message = kSortError;
        return 1;
    }

    ProgressDots dots;
    LargeVector<std::int32_t> target;  // target[v]: new index of v's representative
    std::int32_t c = distance == 0.0f ? CleanEqualPoints(object, target, dots, splitFrom) : -1;
    if (c < 0) c = CleanBySorting(object, distance, target, dots);
    if (c < 0) {
        message = kSortError;
        return 1;
    }

    if (c < n) {
        TruncateVertexList(object, c);
        TruncateVertexTable(object, c);
        object.vertexCount = c;
    }
    dots.Mark();

    for (MeshPolygon* polygon = object.polygons; polygon != nullptr; polygon = polygon->next) {
        for (std::int32_t k = 0; k < polygon->cornerCount; ++k) {
            const std::int32_t v = polygon->p[k];
            // A corner outside the list (a malformed face record) has no
            // vertex to follow and is left as it is.
            if (v < 0 || v >= n) continue;
            polygon->p[k] = target[static_cast<std::size_t>(v)];
        }
    }
    return 0;
}

void CountCleaningDots(int* count) { dotCount = count; }

}  // namespace vertoko
