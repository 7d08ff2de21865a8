// The reader's working objects: one slot per object while a file is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/mesh_model.h"

namespace vertoko {

// What a face touches comes first, so that with thousands of objects a face
// stores itself from two cache lines of its slot.
struct ObjectSlot {
    std::int32_t color;        // -1 when the entity gave none
    std::int32_t layer;        // the layer's id in the read's LayerTable (keyed slots)
    std::int32_t vertexCount;  // also the index of the next vertex
    std::int32_t polygonCount;
    MeshVertex* vertexTail;
    MeshPolygon* polygonTail;
    MeshArena arena;  // the nodes and corner arrays of the lists
    MeshVertex* vertexHead;
    MeshPolygon* polygonHead;
};

struct SlotIndex;

// A malloc'd array of zero-filled slots that grows by half (at least 24), and the index that
// finds a slot by its key in multi-object mode. Copying the record moves
// both; the source must then be emptied or no longer used.
struct SlotArray {
    ObjectSlot* slots = nullptr;
    std::int32_t count = 0;
    std::int32_t capacity = 0;
    SlotIndex* index = nullptr;  // built by set_obj
};

// Multi-object mode: 24 empty slots, none in use. Single-object mode: one
// slot in use. False when the array cannot be allocated.
bool CreateSlots(SlotArray& array, bool multi);

// Frees the lists of every slot (each slot's arena whole), the index, then
// the array.
void FreeSlots(SlotArray& array);

// Links vertex (its next already null) after the slot's tail; it takes
// index vertexCount, which then rises by one.
void AppendVertex(ObjectSlot& slot, MeshVertex* vertex);

// Links polygon after the slot's polygon tail and counts it.
void AppendPolygon(ObjectSlot& slot, MeshPolygon* polygon);

// A singly linked chain with its tail and length, as an entity gathers its
// nodes before it knows which object takes them.
template <typename Node>
struct Chain {
    Node* head = nullptr;
    Node* tail = nullptr;
    std::int32_t length = 0;

    void Append(Node* node) {
        if (tail != nullptr) {
            tail->next = node;
        } else {
            head = node;
        }
        tail = node;
        ++length;
    }
};

// Links a whole chain after the slot's list and counts it; the chain is left
// empty. The polygons' corners must already be the slot's indices.
void SpliceVertices(ObjectSlot& slot, Chain<MeshVertex>& chain);
void SplicePolygons(ObjectSlot& slot, Chain<MeshPolygon>& chain);

// Both chains spliced, and the arena that holds their nodes moved into the
// slot's: the nodes now belong to the slot. All three are left empty.
void SpliceInto(ObjectSlot& slot, Chain<MeshVertex>& vertices, Chain<MeshPolygon>& polygons,
                MeshArena& arena);

// The slot of the object keyed by (layer, color) in array, added at the end
// when new, so the slots keep the order in which their keys first appeared.
// A hash index finds the slot in constant time. Returns -1 with message
// written when the array or the index cannot grow.
std::int32_t set_obj(SlotArray& array, std::int32_t layer, std::int32_t color,
                     std::string& message);

// The same with the key's hash (SlotKeyHash) already known, and a slot that
// the hash's index entry gave (PrefetchSlot), or -1: when that slot holds the
// key, neither the hash nor the index is looked at again.
std::int32_t set_obj(SlotArray& array, std::int32_t layer, std::int32_t color, std::uint32_t hash,
                     std::int32_t hinted, std::string& message);

// What set_obj and the appending will touch, fetched ahead of time (see
// SlotCursor in entities/entity_builder.h): the key's hash, whose index
// entry PrefetchSlotIndex starts loading; PrefetchSlot then starts loading
// the slot the entry gives (by the hash alone) and returns its index, or -1;
// PrefetchSlotEnd starts loading where that slot's next nodes go.
std::uint32_t SlotKeyHash(std::int32_t layer, std::int32_t color);
void PrefetchSlotIndex(const SlotArray& array, std::uint32_t hash);
std::int32_t PrefetchSlot(const SlotArray& array, std::uint32_t hash);
void PrefetchSlotEnd(const SlotArray& array, std::int32_t slot);

// Moves every slot's lists and arena into a new table of array.count
// objects (counts, lists and arenas; no pointer tables yet) and frees the
// slots. Null with the out-of-memory message when the table cannot be had,
// the slots freed all the same.
MeshObject* MoveSlotsToTable(SlotArray& array, std::string& message);

}  // namespace vertoko
