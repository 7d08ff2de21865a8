#include "dxf/entities/entity_builder.h"

namespace vertoko {

std::int32_t EntityBuilder::KeyedSlot(const EntityKey& key, const SlotCursor* cursor) {
    if (cursor != nullptr && cursor->Hashed())
        return set_obj(context_.slots, key.layer, key.color, cursor->Hash(), cursor->Slot(),
                       context_.message);
    return set_obj(context_.slots, key.layer, key.color, context_.message);
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
