#include "mesh/object_preparation.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "mesh/face_orientation.h"
#include "mesh/vertex_clean.h"
#include "parallel/fork_join.h"
#include "parallel/thresholds.h"

namespace vertoko {

namespace {

bool PrepareObject(MeshObject& object, int clean, float distance, int orient,
                   std::string& message) {
    bool ok = BuildVertexTable(object, message) == object.vertexCount &&
              BuildPolygonTable(object, message) == object.polygonCount;
    if (ok && clean) ok = VClearn(object, distance, message) == 0;
    if (ok && orient) ok = OrientFaces(object, message) == 0;
    return ok;
}

// Each object's vertices are added to the box right after its preparation,
// while they are still in the cache.
bool PrepareInOrder(std::int32_t count, MeshObject* table, int clean, float distance, int orient,
                    Extents& extents, std::string& message) {
    VertexBox box;
    for (std::int32_t i = 0; i < count; ++i) {
        if (!PrepareObject(table[i], clean, distance, orient, message)) return false;
        AddToBox(box, table[i]);
    }
    extents = JoinBoxes(&box, 1);
    return true;
}

// Prepares [first, end), counting each object's dots, and stops at the first
// failure. Returns the index of the failed object, or end.
std::int32_t PrepareRange(MeshObject* table, std::int32_t first, std::int32_t end, int clean,
                          float distance, int orient, std::vector<int>& dots, VertexBox& box,
                          std::string& message) {
    for (std::int32_t i = first; i < end; ++i) {
        CountCleaningDots(&dots[static_cast<std::size_t>(i)]);
        const bool ok = PrepareObject(table[i], clean, distance, orient, message);
        CountCleaningDots(nullptr);
        if (!ok) return i;
        AddToBox(box, table[i]);
    }
    return end;
}

}  // namespace

bool PrepareObjects(std::int32_t count, MeshObject* table, int clean, float distance, int orient,
                    Extents& extents, std::string& message) {
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < count; ++i) total += table[i].vertexCount;
    if (count < 2 || total < kSharedPreparationVertices)
        return PrepareInOrder(count, table, clean, distance, orient, extents, message);

    // The second thread takes the objects from about half the vertices on.
    std::int32_t split = 1;
    for (std::int64_t before = table[0].vertexCount; split < count - 1 && 2 * before < total;
         ++split)
        before += table[split].vertexCount;

    std::vector<int> dots;
    try {
        dots.assign(static_cast<std::size_t>(count), 0);
    } catch (const std::bad_alloc&) {
        // Too short of memory for a second thread: one after another.
        return PrepareInOrder(count, table, clean, distance, orient, extents, message);
    }
    std::string secondMessage;
    std::int32_t firstFailed = split;
    std::int32_t secondFailed = count;
    VertexBox boxes[2];
    ForkJoin(
        [&] {
            firstFailed =
                PrepareRange(table, 0, split, clean, distance, orient, dots, boxes[0], message);
        },
        [&] {
            secondFailed = PrepareRange(table, split, count, clean, distance, orient, dots,
                                        boxes[1], secondMessage);
        });

    // What one thread would have shown: the dots up to the first failure.
    const std::int32_t failed = firstFailed < split ? firstFailed : secondFailed;
    const std::int32_t shown = failed < count ? failed + 1 : count;
    // Gathered into few writes: stderr is unbuffered, and thousands of small
    // objects would cost a system call each.
    char line[4096];
    std::size_t used = 0;
    for (std::int32_t i = 0; i < shown; ++i) {
        for (int d = dots[static_cast<std::size_t>(i)]; d > 0; --d) {
            if (used == sizeof line) {
                std::fwrite(line, 1, used, stderr);
                used = 0;
            }
            line[used++] = '.';
        }
    }
    if (used > 0) std::fwrite(line, 1, used, stderr);
    if (failed == count) {
        extents = JoinBoxes(boxes, 2);
        return true;
    }
    if (failed >= split) message = secondMessage;
    return false;
}

}  // namespace vertoko
