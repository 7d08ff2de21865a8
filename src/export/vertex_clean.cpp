// Vertex cleaning in three steps: sort the vertices by (x, y, z), sweep the
// sorted order to give every vertex a representative within the distance,
// then keep the representatives in their old order and renumber the corners.
#include "export/vertex_clean.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "dxf/dxf_reader.h"

namespace vertoko {

namespace {

constexpr const char* kSortError = "VClearn:Sorting processing error.\n";

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
void SortByKey(std::vector<SortedEntry>& entries) {
    const std::size_t n = entries.size();
    constexpr int kDigits = 6;
    constexpr std::size_t kBuckets = 1 << 16;
    auto digit = [](const SortedEntry& e, int pass) -> std::uint32_t {
        const float coordinate = pass < 2 ? e.z : (pass < 4 ? e.y : e.x);
        const std::uint32_t key = OrderedKey(coordinate);
        return (pass & 1) == 0 ? key & 0xFFFFu : key >> 16;
    };

    std::vector<std::uint32_t> counts(kDigits * kBuckets, 0);
    for (const SortedEntry& e : entries) {
        for (int pass = 0; pass < kDigits; ++pass) ++counts[pass * kBuckets + digit(e, pass)];
    }
    std::vector<SortedEntry> scratch(n);
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
void GroupVertices(const std::vector<SortedEntry>& sorted, float d2,
                   std::vector<std::int32_t>& group) {
    const std::size_t n = sorted.size();
    group.assign(n, -1);

    // runEnd[i]: one past the last position with the same x as position i.
    // Within such a run the entries ascend in y, so once y has passed the
    // representative's y by more than the distance the rest of the run can
    // be skipped without changing any result.
    std::vector<std::int32_t> runEnd(n);
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

}  // namespace

std::int32_t VClearn(MeshObject& object, float distance) {
    const std::int32_t n = object.vertexCount;
    // An object without vertices has nothing to merge: it stays as it is.
    if (n == 0) return 0;
    if (n < 0 || object.vtbl == nullptr) {
        ReaderMessage() = kSortError;
        return 1;
    }

    std::vector<SortedEntry> sorted;
    std::vector<std::int32_t> position;  // position[v]: sorted position of vertex v
    std::vector<std::int32_t> group;     // group[j]: sorted position of j's representative
    try {
        sorted.resize(static_cast<std::size_t>(n));
        position.resize(static_cast<std::size_t>(n));
    } catch (const std::bad_alloc&) {
        ReaderMessage() = kSortError;
        return 1;
    }

    for (std::int32_t v = 0; v < n; ++v) {
        const MeshVertex* node = object.vtbl[v];
        sorted[static_cast<std::size_t>(v)] = {node->x, node->y, node->z, v};
    }
    try {
        SortByKey(sorted);
    } catch (const std::bad_alloc&) {
        ReaderMessage() = kSortError;
        return 1;
    }
    for (std::int32_t j = 0; j < n; ++j)
        position[static_cast<std::size_t>(sorted[static_cast<std::size_t>(j)].vertex)] = j;
    std::fputc('.', stderr);

    const float d2 = distance * distance;
    try {
        GroupVertices(sorted, d2, group);
    } catch (const std::bad_alloc&) {
        ReaderMessage() = kSortError;
        return 1;
    }
    std::fputc('.', stderr);

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

    if (c < n) {
        TruncateVertexList(object, c);
        object.vertexCount = c;
        // A table that cannot be rebuilt fails the cleaning with the table
        // builder's message: the object must not be used without it.
        if (BuildVertexTable(object) != c) {
            if (ReaderMessage().empty()) ReaderMessage() = kSortError;
            return 1;
        }
    }
    std::fputc('.', stderr);

    for (MeshPolygon* polygon = object.polygons; polygon != nullptr; polygon = polygon->next) {
        for (std::int32_t k = 0; k < polygon->cornerCount; ++k) {
            const std::int32_t v = polygon->p[k];
            // A corner outside the list (a malformed face record) has no
            // vertex to follow and is left as it is.
            if (v < 0 || v >= n) continue;
            const std::int32_t rep =
                group[static_cast<std::size_t>(position[static_cast<std::size_t>(v)])];
            polygon->p[k] = sorted[static_cast<std::size_t>(rep)].vertex;
        }
    }
    return 0;
}

}  // namespace vertoko
