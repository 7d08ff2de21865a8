#include "dxf/entities/entity_builder.h"

namespace vertoko {

MeshVertex* NewVertex(MeshArena& arena, float x, float y, float z, std::string& message) {
    MeshVertex* vertex = ArenaVertex(arena, x, y, z);
    if (vertex == nullptr) message = "メモリーが足りません.(ver)\n";
    return vertex;
}

MeshPolygon* NewPolygon(MeshArena& arena, std::int32_t n, std::string& message) {
    // Taken in the order of the messages: the polygon, then its corners.
    MeshPolygon* polygon = ArenaPolygon(arena);
    if (polygon == nullptr) {
        message = "メモリーが足りません.(pol)\n";
        return nullptr;
    }
    polygon->p = ArenaCorners(arena, n);
    if (polygon->p == nullptr) {
        message = "メモリーが足りません.(pol->p)\n";
        return nullptr;
    }
    polygon->cornerCount = n;
    return polygon;
}

std::int32_t EntityBuilder::SlotFor(const EntityKey& key, const SlotCursor* cursor) {
    if (!context_.Keyed()) return 0;
    if (cursor != nullptr && cursor->Hashed())
        return set_obj(context_.slots, key.layer, key.color, cursor->Hash(), cursor->Slot(),
                       context_.message);
    return set_obj(context_.slots, key.layer, key.color, context_.message);
}

bool EntityBuilder::AddFace(const EntityKey& key, const float (*corners)[3], int n,
                            const SlotCursor* cursor) {
    const std::int32_t index = SlotFor(key, cursor);
    if (index < 0) return false;
    ObjectSlot& slot = context_.slots.slots[index];
    std::string& message = context_.message;

    // The polygon first, then its vertices, as the messages name them.
    MeshPolygon* polygon = NewPolygon(slot.arena, n, message);
    if (polygon == nullptr) return false;
    polygon->color = StyleOf(key);
    for (int k = 0; k < n; ++k) polygon->p[k] = -1;
    AppendPolygon(slot, polygon);

    for (int k = 0; k < n; ++k) {
        MeshVertex* vertex =
            NewVertex(slot.arena, corners[k][0], corners[k][1], corners[k][2], message);
        if (vertex == nullptr) return false;
        polygon->p[k] = slot.vertexCount;
        AppendVertex(slot, vertex);
    }
    return true;
}

bool PendingMesh::AddVertex(float x, float y, float z, std::string& message) {
    MeshVertex* vertex = NewVertex(arena_, x, y, z, message);
    if (vertex == nullptr) return false;
    vertices_.Append(vertex);
    return true;
}

MeshPolygon* PendingMesh::AddPolygon(std::int32_t n, std::string& message) {
    MeshPolygon* polygon = NewPolygon(arena_, n, message);
    if (polygon != nullptr) polygons_.Append(polygon);
    return polygon;
}

bool PendingMesh::Commit(EntityBuilder& builder, const EntityKey& key) {
    const std::int32_t index = builder.SlotFor(key);
    if (index < 0) return false;
    ObjectSlot& slot = builder.Context().slots.slots[index];
    const std::int32_t base = slot.vertexCount;
    const std::uint32_t style = builder.StyleOf(key);
    for (MeshPolygon* polygon = polygons_.head; polygon != nullptr; polygon = polygon->next) {
        for (std::int32_t k = 0; k < polygon->cornerCount; ++k) polygon->p[k] += base;
        if (polygon->color == 0) polygon->color = style;
    }
    SpliceInto(slot, vertices_, polygons_, arena_);
    return true;
}

}  // namespace vertoko
