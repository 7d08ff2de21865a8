#include "mesh/layer_filter.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace vertoko {

namespace {

constexpr const char* kNoMemory = "メモリーが足りません.(layer)\n";

bool Kept(const std::vector<bool>& keep, std::int32_t layer) {
    return layer < 0 || static_cast<std::size_t>(layer) >= keep.size() || keep[layer];
}

// A polygon whose corners name no vertex of its object cannot be renumbered;
// it is left out rather than given another vertex.
bool CornersValid(const MeshPolygon& polygon, std::int32_t vertexCount) {
    for (std::int32_t k = 0; k < polygon.cornerCount; ++k) {
        if (polygon.p[k] < 0 || polygon.p[k] >= vertexCount) return false;
    }
    return true;
}

bool Wanted(const MeshPolygon& polygon, const std::vector<bool>& keep, std::int32_t vertexCount) {
    return Kept(keep, polygon.layer) && CornersValid(polygon, vertexCount);
}

// Fills target (all zero) with the kept polygons of source and the vertices
// they use; false when memory is short, with what was built left in target
// for the caller to free. renumber is scratch room, reused between objects.
bool CopyKept(const MeshObject& source, const std::vector<bool>& keep,
              std::vector<std::int32_t>& renumber, MeshObject& target, std::string& message) {
    renumber.assign(static_cast<std::size_t>(std::max(source.vertexCount, 0)), -1);
    std::int32_t polygons = 0;
    for (const MeshPolygon* p = source.polygons; p != nullptr; p = p->next) {
        if (!Wanted(*p, keep, source.vertexCount)) continue;
        for (std::int32_t k = 0; k < p->cornerCount; ++k) renumber[p->p[k]] = 0;
        ++polygons;
    }
    if (polygons == 0) return true;

    MeshVertex** vertexTail = &target.vertices;
    std::int32_t index = 0;
    for (const MeshVertex* v = source.vertices; v != nullptr && index < source.vertexCount;
         v = v->next, ++index) {
        if (renumber[index] < 0) continue;
        MeshVertex* node = ArenaVertex(target.arena, v->x, v->y, v->z);
        if (node == nullptr) {
            message = kNoMemory;
            return false;
        }
        *vertexTail = node;
        vertexTail = &node->next;
        renumber[index] = target.vertexCount++;
    }

    MeshPolygon** polygonTail = &target.polygons;
    for (const MeshPolygon* p = source.polygons; p != nullptr; p = p->next) {
        if (!Wanted(*p, keep, source.vertexCount)) continue;
        MeshPolygon* node = ArenaPolygon(target.arena);
        std::int32_t* corners =
            node != nullptr ? ArenaCorners(target.arena, p->cornerCount) : nullptr;
        if (corners == nullptr) {
            message = kNoMemory;
            return false;
        }
        for (std::int32_t k = 0; k < p->cornerCount; ++k) corners[k] = renumber[p->p[k]];
        node->cornerCount = p->cornerCount;
        node->color = p->color;
        node->p = corners;
        node->layer = p->layer;
        *polygonTail = node;
        polygonTail = &node->next;
        ++target.polygonCount;
    }
    return BuildVertexTable(target, message) == target.vertexCount &&
           BuildPolygonTable(target, message) == target.polygonCount;
}

}  // namespace

bool KeepsEveryLayer(const std::vector<bool>& keep) {
    return std::find(keep.begin(), keep.end(), false) == keep.end();
}

bool FilterLayers(std::int32_t count, const MeshObject* table, const std::vector<bool>& keep,
                  const std::vector<ObjectLabel>& labels, FilteredTable& out,
                  std::string& message) {
    out = {};
    if (table == nullptr || count <= 0) return true;
    const bool labelled = labels.size() == static_cast<std::size_t>(count);
    // At most one new object per object; the unused end is never touched.
    out.objects =
        static_cast<MeshObject*>(std::calloc(static_cast<std::size_t>(count), sizeof(MeshObject)));
    if (out.objects == nullptr) {
        message = kNoMemory;
        return false;
    }
    try {
        // Only these two allocate from the heap; both before anything of the
        // current object, which is still all zero when they throw.
        if (labelled) out.labels.reserve(static_cast<std::size_t>(count));
        std::vector<std::int32_t> renumber;
        for (std::int32_t i = 0; i < count; ++i) {
            MeshObject& target = out.objects[out.count];
            if (!CopyKept(table[i], keep, renumber, target, message)) {
                ++out.count;  // the half-built object is freed with the rest
                FreeFilteredTable(out);
                return false;
            }
            if (target.polygonCount == 0) continue;
            ++out.count;
            if (labelled) out.labels.push_back(labels[static_cast<std::size_t>(i)]);
        }
    } catch (const std::bad_alloc&) {
        FreeFilteredTable(out);
        message = kNoMemory;
        return false;
    }
    if (out.count == 0) FreeFilteredTable(out);
    return true;
}

void FreeFilteredTable(FilteredTable& out) {
    if (out.objects != nullptr) FreeObjectTable(out.count, out.objects);
    out = {};
}

}  // namespace vertoko
