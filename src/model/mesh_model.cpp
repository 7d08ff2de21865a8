// Pointer tables, extents and freeing of the mesh object table.
#include "model/mesh_model.h"

#include <cstdlib>

#include "memory/huge_pages.h"

namespace vertoko {

namespace {

// Releases a table unless it was cut from the object's arena, which frees
// it with the object.
void FreeTable(const MeshArena& arena, void* table) {
    if (table != nullptr && !ArenaOwns(arena, table)) std::free(table);
}

// Shared by both table builders: size by the count on the first build, by
// the list on a rebuild; fills in list order and returns the number filled.
template <typename Node>
std::int32_t BuildTable(MeshArena& arena, Node* head, std::int32_t count, Node**& table,
                        const char* name, std::string& message) {
    std::int32_t size = count;
    if (table != nullptr) {
        size = 0;
        for (Node* node = head; node != nullptr; node = node->next) ++size;
        FreeTable(arena, table);
        table = nullptr;
    }
    if (size < 0) size = 0;
    // One spare entry keeps malloc(0) from giving a null table for an empty list.
    const std::size_t bytes = (static_cast<std::size_t>(size) + 1) * sizeof(Node*);
    // A small table is cut from the object's arena: thousands of small
    // objects would otherwise fault in fresh heap pages one by one.
    void* memory = arena.chunks != nullptr && bytes < kLargeAllocation
                       ? ArenaAllocateApart(arena, bytes)
                       : AllocateLarge(bytes);
    table = static_cast<Node**>(memory);
    if (table == nullptr) {
        message = std::string("メモリーが足りません.(") + name + ")\n";
        return 0;
    }
    // The back half of a large table is faulted in on the second thread
    // while this one fills the front half.
    if (bytes >= 2 * kHugePageSize) PrefaultInBackground(table + size / 2, bytes / 2);
    std::int32_t filled = 0;
    for (Node* node = head; node != nullptr && filled < size; node = node->next)
        table[filled++] = node;
    return filled;
}

}  // namespace

std::int32_t BuildVertexTable(MeshObject& object, std::string& message) {
    return BuildTable(object.arena, object.vertices, object.vertexCount, object.vtbl, "vtbl",
                      message);
}

std::int32_t BuildPolygonTable(MeshObject& object, std::string& message) {
    return BuildTable(object.arena, object.polygons, object.polygonCount, object.ptbl, "ptbl",
                      message);
}

void TruncateVertexTable(MeshObject& object, std::int32_t count) {
    if (object.vtbl == nullptr || ArenaOwns(object.arena, object.vtbl)) return;
    // Shrinking keeps the entries where they are; should the heap still
    // refuse, the larger table serves as well.
    const std::size_t bytes =
        (static_cast<std::size_t>(count < 0 ? 0 : count) + 1) * sizeof(MeshVertex*);
    if (void* shrunk = std::realloc(object.vtbl, bytes))
        object.vtbl = static_cast<MeshVertex**>(shrunk);
}

namespace {

// Widens min and max by one vertex; a NaN fails both comparisons.
inline void Widen(float* min, float* max, const MeshVertex& v) {
    min[0] = v.x < min[0] ? v.x : min[0];
    max[0] = v.x > max[0] ? v.x : max[0];
    min[1] = v.y < min[1] ? v.y : min[1];
    max[1] = v.y > max[1] ? v.y : max[1];
    min[2] = v.z < min[2] ? v.z : min[2];
    max[2] = v.z > max[2] ? v.z : max[2];
}

// Takes the other extremes into min and max only where they lie outside,
// so that of equal values the earlier one stays.
inline void Join(float* min, float* max, const float* otherMin, const float* otherMax) {
    for (int a = 0; a < 3; ++a) {
        if (otherMin[a] < min[a]) min[a] = otherMin[a];
        if (otherMax[a] > max[a]) max[a] = otherMax[a];
    }
}

}  // namespace

void AddToBox(VertexBox& box, const MeshObject& object) {
    const MeshVertex* v = object.vertices;
    if (v != nullptr && !box.any) {
        box.any = true;
        box.first[0] = v->x;
        box.first[1] = v->y;
        box.first[2] = v->z;
    }
    for (; v != nullptr; v = v->next) Widen(box.min, box.max, *v);
}

Extents JoinBoxes(const VertexBox* runs, std::size_t count) {
    Extents box = {};
    float min[3] = {};
    float max[3] = {};
    bool started = false;
    for (std::size_t i = 0; i < count; ++i) {
        const VertexBox& run = runs[i];
        if (!run.any) continue;
        if (started) {
            Join(min, max, run.min, run.max);
            continue;
        }
        started = true;
        for (int a = 0; a < 3; ++a) {
            // A NaN first value is the box's for good.
            const bool nan = run.first[a] != run.first[a];
            min[a] = nan ? run.first[a] : run.min[a];
            max[a] = nan ? run.first[a] : run.max[a];
        }
    }
    box.min = {min[0], min[1], min[2]};
    box.max = {max[0], max[1], max[2]};
    box.center = {(box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f,
                  (box.min.z + box.max.z) * 0.5f};
    return box;
}

Extents ComputeExtents(std::int32_t count, const MeshObject* table) {
    VertexBox box;
    for (std::int32_t i = 0; table != nullptr && i < count; ++i) AddToBox(box, table[i]);
    return JoinBoxes(&box, 1);
}

void FreeVertexList(MeshVertex* head) {
    while (head != nullptr) {
        MeshVertex* next = head->next;
        std::free(head);
        head = next;
    }
}

void FreePolygonList(MeshPolygon* head) {
    while (head != nullptr) {
        MeshPolygon* next = head->next;
        std::free(head->p);
        std::free(head);
        head = next;
    }
}

MeshPolygon* NewPolygonNode(MeshObject& object) {
    if (object.arena.chunks != nullptr) return ArenaPolygon(object.arena);
    return static_cast<MeshPolygon*>(std::calloc(1, sizeof(MeshPolygon)));
}

std::int32_t* NewCornerArray(MeshObject& object, std::int32_t count) {
    if (object.arena.chunks != nullptr) return ArenaCorners(object.arena, count);
    const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 1;
    return static_cast<std::int32_t*>(std::malloc(n * sizeof(std::int32_t)));
}

void FreeObjectTable(std::int32_t count, MeshObject*& table) {
    if (table == nullptr) return;
    // The arenas go in batches, which ReleaseArenas walks side by side.
    constexpr std::int32_t kBatch = 64;
    MeshArena* arenas[kBatch];
    std::int32_t gathered = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        FreeTable(table[i].arena, table[i].vtbl);
        FreeTable(table[i].arena, table[i].ptbl);
        if (table[i].arena.chunks != nullptr) {
            arenas[gathered++] = &table[i].arena;
            if (gathered == kBatch) {
                ReleaseArenas(arenas, static_cast<std::size_t>(gathered));
                gathered = 0;
            }
        } else {
            FreeVertexList(table[i].vertices);
            FreePolygonList(table[i].polygons);
        }
    }
    ReleaseArenas(arenas, static_cast<std::size_t>(gathered));
    std::free(table);
    table = nullptr;
}

}  // namespace vertoko
