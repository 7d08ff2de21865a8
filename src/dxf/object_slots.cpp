// Slot array management and list appending for the reader.
#include "dxf/object_slots.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "memory/huge_pages.h"

namespace vertoko {

// Open addressing over a power-of-two table, at most half full. An entry
// holds a slot's key hash and index; -1 marks an empty entry. The slots
// themselves keep the order of first appearance, so the index only has to
// find a key, never to order anything.
struct SlotIndex {
    struct Entry {
        std::uint32_t hash;
        std::int32_t slot;
    };
    std::vector<Entry> entries;
    std::int32_t used = 0;
};

std::uint32_t SlotKeyHash(std::int32_t layer, std::int32_t color) {
    std::uint32_t h = static_cast<std::uint32_t>(layer) * 0x85EBCA77u;
    h ^= static_cast<std::uint32_t>(color) * 0x9E3779B1u;
    h ^= h >> 15;
    return h * 0x85EBCA6Bu;
}

namespace {

constexpr std::int32_t kSlotGrowth = 24;

// The first slot entered under hash that matches, or -1.
template <typename Match>
std::int32_t ProbeIndex(const SlotIndex& index, std::uint32_t hash, Match matches) {
    const std::size_t mask = index.entries.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const SlotIndex::Entry& entry = index.entries[i];
        if (entry.slot < 0) return -1;
        if (entry.hash == hash && matches(entry.slot)) return entry.slot;
    }
}

// The slot keyed by (layer, color), or -1.
std::int32_t FindSlot(const SlotArray& array, std::int32_t layer, std::int32_t color,
                      std::uint32_t hash) {
    return ProbeIndex(*array.index, hash, [&](std::int32_t at) {
        const ObjectSlot& slot = array.slots[at];
        return slot.color == color && slot.layer == layer;
    });
}

void PlaceEntry(SlotIndex& index, std::uint32_t hash, std::int32_t slot) {
    const std::size_t mask = index.entries.size() - 1;
    std::size_t i = hash & mask;
    while (index.entries[i].slot >= 0) i = (i + 1) & mask;
    index.entries[i] = {hash, slot};
    ++index.used;
}

// Enters the slot's key, unless an earlier slot has the same one, which the
// search must keep finding. False when the table cannot grow.
bool IndexSlot(SlotArray& array, std::int32_t slot) {
    SlotIndex& index = *array.index;
    try {
        if (2 * (static_cast<std::size_t>(index.used) + 1) > index.entries.size()) {
            std::vector<SlotIndex::Entry> old(
                index.entries.size() < 32 ? 64 : 2 * index.entries.size(), SlotIndex::Entry{0, -1});
            old.swap(index.entries);
            index.used = 0;
            for (const SlotIndex::Entry& entry : old) {
                if (entry.slot >= 0) PlaceEntry(index, entry.hash, entry.slot);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    const ObjectSlot& stored = array.slots[slot];
    const std::uint32_t hash = SlotKeyHash(stored.layer, stored.color);
    if (FindSlot(array, stored.layer, stored.color, hash) < 0) PlaceEntry(index, hash, slot);
    return true;
}

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

void FreeSlots(SlotArray& array) {
    if (array.slots != nullptr) {
        for (std::int32_t i = 0; i < array.capacity; ++i) {
            ObjectSlot& slot = array.slots[i];
            if (slot.arena.chunks != nullptr) {
                ReleaseArena(slot.arena);
            } else {
                FreeVertexList(slot.vertexHead);
                FreePolygonList(slot.polygonHead);
            }
        }
        std::free(array.slots);
    }
    delete array.index;
    array.index = nullptr;
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

namespace {

// Links chain after the list of head and tail and adds its length to count.
template <typename Node>
void Splice(Node*& head, Node*& tail, std::int32_t& count, Chain<Node>& chain) {
    if (chain.head == nullptr) return;
    if (tail != nullptr) {
        tail->next = chain.head;
    } else {
        head = chain.head;
    }
    tail = chain.tail;
    count += chain.length;
    chain = {};
}

}  // namespace

void SpliceVertices(ObjectSlot& slot, Chain<MeshVertex>& chain) {
    Splice(slot.vertexHead, slot.vertexTail, slot.vertexCount, chain);
}

void SplicePolygons(ObjectSlot& slot, Chain<MeshPolygon>& chain) {
    Splice(slot.polygonHead, slot.polygonTail, slot.polygonCount, chain);
}

void SpliceInto(ObjectSlot& slot, Chain<MeshVertex>& vertices, Chain<MeshPolygon>& polygons,
                MeshArena& arena) {
    AdoptArena(slot.arena, arena);
    SpliceVertices(slot, vertices);
    SplicePolygons(slot, polygons);
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

std::int32_t set_obj(SlotArray& array, std::int32_t layer, std::int32_t color,
                     std::string& message) {
    return set_obj(array, layer, color, SlotKeyHash(layer, color), -1, message);
}

std::int32_t set_obj(SlotArray& array, std::int32_t layer, std::int32_t color, std::uint32_t hash,
                     std::int32_t hinted, std::string& message) {
    if (hinted >= 0 && hinted < array.count) {
        const ObjectSlot& slot = array.slots[hinted];
        if (slot.color == color && slot.layer == layer) return hinted;
    }
    if (array.index == nullptr) {
        array.index = new (std::nothrow) SlotIndex();
        // Slots made before the index existed (none, as a rule) enter it now.
        bool ok = array.index != nullptr;
        for (std::int32_t i = 0; ok && i < array.count; ++i) ok = IndexSlot(array, i);
        if (!ok) {
            message = "set_obj:Memory allocation failed.";
            return -1;
        }
    }
    if (array.index->used > 0) {
        const std::int32_t found = FindSlot(array, layer, color, hash);
        if (found >= 0) return found;
    }
    // The array keeps one free slot beyond the count at all times.
    if (array.count + 1 >= array.capacity) {
        // By half again, at least 24: growing by a fixed step would copy the
        // array once per step, a quadratic cost with thousands of objects.
        const std::int32_t step =
            array.capacity / 2 > kSlotGrowth
                ? std::min(array.capacity / 2,
                           std::numeric_limits<std::int32_t>::max() - array.capacity)
                : kSlotGrowth;
        if (step <= 0) {
            message = "set_obj:Memory allocation failed.";
            return -1;
        }
        const std::int32_t capacity = array.capacity + step;
        const std::size_t bytes = static_cast<std::size_t>(capacity) * sizeof(ObjectSlot);
        // A large array moves into huge pages: thousands of slots would
        // otherwise be faulted in one 4 KB page at a time.
        void* grown =
            bytes < kLargeAllocation ? std::realloc(array.slots, bytes) : AllocateLarge(bytes);
        if (grown == nullptr) {
            message = "set_obj:Memory allocation failed.";
            return -1;
        }
        if (bytes >= kLargeAllocation) {
            std::memcpy(grown, array.slots,
                        static_cast<std::size_t>(array.capacity) * sizeof(ObjectSlot));
            std::free(array.slots);
        }
        array.slots = static_cast<ObjectSlot*>(grown);
        std::memset(array.slots + array.capacity, 0,
                    static_cast<std::size_t>(step) * sizeof(ObjectSlot));
        array.capacity = capacity;
    }
    const std::int32_t index = array.count++;
    ObjectSlot& slot = array.slots[index];
    slot.layer = layer;
    slot.color = color;
    if (!IndexSlot(array, index)) {
        message = "set_obj:Memory allocation failed.";
        return -1;
    }
    return index;
}

void PrefetchSlotIndex(const SlotArray& array, std::uint32_t hash) {
    if (array.index == nullptr || array.index->used == 0) return;
    const SlotIndex& index = *array.index;
    __builtin_prefetch(&index.entries[hash & (index.entries.size() - 1)]);
}

std::int32_t PrefetchSlot(const SlotArray& array, std::uint32_t hash) {
    if (array.index == nullptr || array.index->used == 0) return -1;
    // By the hash alone: a hint needs no comparison of names.
    const std::int32_t slot = ProbeIndex(*array.index, hash, [](std::int32_t) { return true; });
    if (slot >= 0) {
        const char* at = reinterpret_cast<const char*>(array.slots + slot);
        __builtin_prefetch(at, 1);
        __builtin_prefetch(at + 64, 1);
    }
    return slot;
}

void PrefetchSlotEnd(const SlotArray& array, std::int32_t slot) {
    if (slot < 0 || slot >= array.count) return;
    const ObjectSlot& at = array.slots[slot];
    // The tails are linked to the new nodes, which a four-corner face cuts
    // from the 136 bytes after next.
    __builtin_prefetch(at.polygonTail, 1);
    __builtin_prefetch(at.vertexTail, 1);
    const char* next = at.arena.next;
    if (next == nullptr) return;
    __builtin_prefetch(next, 1);
    __builtin_prefetch(next + 64, 1);
    __builtin_prefetch(next + 128, 1);
}

MeshObject* MoveSlotsToTable(SlotArray& array, std::string& message) {
    const std::int32_t count = array.count;
    // In huge pages when large (a table of thousands of objects), cleared.
    const std::size_t bytes = static_cast<std::size_t>(count) * sizeof(MeshObject);
    auto* table = static_cast<MeshObject*>(AllocateLarge(bytes));
    if (table == nullptr) {
        FreeSlots(array);
        message = "メモリーが足りません.(pobj)\n";
        return nullptr;
    }
    std::memset(static_cast<void*>(table), 0, bytes);
    // Every list goes to the table first, so that one free releases all.
    for (std::int32_t i = 0; i < count; ++i) {
        ObjectSlot& slot = array.slots[i];
        table[i].vertexCount = slot.vertexCount;
        table[i].polygonCount = slot.polygonCount;
        table[i].vertices = slot.vertexHead;
        table[i].polygons = slot.polygonHead;
        table[i].arena = slot.arena;
        slot.arena = {};
        slot.vertexHead = slot.vertexTail = nullptr;
        slot.polygonHead = slot.polygonTail = nullptr;
    }
    FreeSlots(array);
    return table;
}

}  // namespace vertoko
