// The block allocator behind an object's vertex and polygon nodes and corner
// arrays: nodes are cut one after another from large chunks, so that adding
// a face costs no call to malloc, and the whole object is released at once.
//
// A MeshArena is a plain record: all zero is an empty arena, and it may be
// copied bitwise along with the slot or object that holds it, as long as
// only one copy is used and released afterwards.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vertoko {

struct MeshArenaChunk;

struct MeshArena {
    MeshArenaChunk* chunks;  // newest first; null for an empty arena
    char* next;              // free room of the newest chunk
    char* end;               // where the slow path next looks in: at most limit
    char* limit;             // the end of the newest chunk
    std::size_t reserved;    // bytes of the chunks it filled, which sets the next chunk's size
    MeshArenaChunk* oldest;  // the last chunk of the list, so that adopting walks none
};

// Takes bytes (rounded up to 8) from the arena; null when no chunk can be
// had. The memory is not cleared.
void* ArenaAllocateSlow(MeshArena& arena, std::size_t bytes);
inline void* ArenaAllocate(MeshArena& arena, std::size_t bytes) {
    bytes = (bytes + 7) & ~std::size_t{7};
    if (static_cast<std::size_t>(arena.end - arena.next) >= bytes) {
        void* at = arena.next;
        arena.next += bytes;
        return at;
    }
    return ArenaAllocateSlow(arena, bytes);
}

// Takes bytes from the newest chunk when they fit there, otherwise from a
// chunk of their own, which leaves the newest chunk the one being filled
// and the size of later chunks as it was: for a table that an object needs
// once, whose size would otherwise double the object's next chunk. Null
// when no chunk can be had.
void* ArenaAllocateApart(MeshArena& arena, std::size_t bytes);

// True when at lies in one of the arena's chunks.
bool ArenaOwns(const MeshArena& arena, const void* at);

// Frees every chunk and leaves the arena empty.
void ReleaseArena(MeshArena& arena);

// The same for many arenas at once, faster than one by one.
void ReleaseArenas(MeshArena* const* arenas, std::size_t count);

// Moves every chunk of from into into, leaving from empty. The nodes keep
// their addresses; into goes on filling its own newest chunk.
void AdoptArena(MeshArena& into, MeshArena& from);

// For the tests of the out-of-memory paths: after this many more chunks
// every chunk allocation fails, as if memory had run out. A negative limit
// lifts it.
void SetArenaChunkLimitForTesting(std::int64_t chunks);

}  // namespace vertoko
