// Pointer tables, extents and freeing of the mesh object table.
#include "dxf/mesh_model.h"

#include <cstdlib>

#include "dxf/dxf_reader.h"
#include "dxf/huge_pages.h"
#include "dxf/object_slots.h"

namespace vertoko {

Extents SceneExtents = {};

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
                        const char* name) {
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
        ReaderMessage() = std::string("メモリーが足りません.(") + name + ")\n";
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

std::int32_t BuildVertexTable(MeshObject& object) {
    return BuildTable(object.arena, object.vertices, object.vertexCount, object.vtbl, "vtbl");
}

std::int32_t BuildPolygonTable(MeshObject& object) {
    return BuildTable(object.arena, object.polygons, object.polygonCount, object.ptbl, "ptbl");
}

void ComputeSceneExtents(std::int32_t count, const MeshObject* table) {
    Extents box = {};
    bool first = true;
    for (std::int32_t i = 0; table != nullptr && i < count; ++i) {
        for (const MeshVertex* v = table[i].vertices; v != nullptr; v = v->next) {
            if (first) {
                box.min = {v->x, v->y, v->z};
                box.max = box.min;
                first = false;
                continue;
            }
            if (v->x < box.min.x) {
                box.min.x = v->x;
            } else if (v->x > box.max.x) {
                box.max.x = v->x;
            }
            if (v->y < box.min.y) {
                box.min.y = v->y;
            } else if (v->y > box.max.y) {
                box.max.y = v->y;
            }
            if (v->z < box.min.z) {
                box.min.z = v->z;
            } else if (v->z > box.max.z) {
                box.max.z = v->z;
            }
        }
    }
    box.center = {(box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f,
                  (box.min.z + box.max.z) * 0.5f};
    SceneExtents = box;
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
    for (std::int32_t i = 0; i < count; ++i) {
        FreeTable(table[i].arena, table[i].vtbl);
        FreeTable(table[i].arena, table[i].ptbl);
        if (table[i].arena.chunks != nullptr) {
            ReleaseArena(table[i].arena);
        } else {
            FreeVertexList(table[i].vertices);
            FreePolygonList(table[i].polygons);
        }
    }
    std::free(table);
    table = nullptr;
}

}  // namespace vertoko
