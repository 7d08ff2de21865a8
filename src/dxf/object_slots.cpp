// Slot array management and list appending for the reader.
#include "dxf/object_slots.h"

#include <cstdlib>
#include <cstring>

#include "dxf/read_state.h"

namespace vertoko {

namespace {

constexpr std::int32_t kSlotGrowth = 24;

}  // namespace

bool CreateSlots(SlotArray& array, bool multi) {
    const std::int32_t capacity = multi ? kSlotGrowth : 1;
    array.slots = static_cast<ObjectSlot*>(
        std::calloc(static_cast<std::size_t>(capacity), sizeof(ObjectSlot)));
    if (array.slots == nullptr) {
        array.count = 0;
        array.capacity = 0;
        return false;
    }
    array.capacity = capacity;
    array.count = multi ? 0 : 1;
    return true;
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

void FreeSlots(SlotArray& array) {
    if (array.slots != nullptr) {
        for (std::int32_t i = 0; i < array.capacity; ++i) {
            FreeVertexList(array.slots[i].vertexHead);
            FreePolygonList(array.slots[i].polygonHead);
        }
        std::free(array.slots);
    }
    array.slots = nullptr;
    array.count = 0;
    array.capacity = 0;
}

void AppendVertex(ObjectSlot& slot, MeshVertex* vertex) {
    if (slot.vertexTail != nullptr) {
        slot.vertexTail->next = vertex;
    } else {
        slot.vertexHead = vertex;
    }
    slot.vertexTail = vertex;
    ++slot.vertexCount;
}

void AppendPolygon(ObjectSlot& slot, MeshPolygon* polygon) {
    if (slot.polygonTail != nullptr) {
        slot.polygonTail->next = polygon;
    } else {
        slot.polygonHead = polygon;
    }
    slot.polygonTail = polygon;
    ++slot.polygonCount;
}

std::int32_t set_obj(const char* layer, std::int32_t color) {
    SlotArray& array = ReadState().slots;
    for (std::int32_t i = 0; i < array.count; ++i) {
        const ObjectSlot& slot = array.slots[i];
        if (slot.color == color && std::strcmp(slot.layer, layer) == 0) return i;
    }
    // The array keeps one free slot beyond the count at all times.
    if (array.count + 1 >= array.capacity) {
        const std::int32_t capacity = array.capacity + kSlotGrowth;
        void* grown =
            std::realloc(array.slots, static_cast<std::size_t>(capacity) * sizeof(ObjectSlot));
        if (grown == nullptr) {
            ReadState().message = "set_obj:Memory allocation failed.";
            return -1;
        }
        array.slots = static_cast<ObjectSlot*>(grown);
        std::memset(array.slots + array.capacity, 0,
                    static_cast<std::size_t>(kSlotGrowth) * sizeof(ObjectSlot));
        array.capacity = capacity;
    }
    const std::int32_t index = array.count++;
    ObjectSlot& slot = array.slots[index];
    std::strncpy(slot.layer, layer, kLayerCapacity - 1);
    slot.layer[kLayerCapacity - 1] = '\0';
    slot.color = color;
    return index;
}

}  // namespace vertoko
