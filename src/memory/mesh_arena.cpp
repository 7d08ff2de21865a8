// Chunk management of the block allocator.
#include "memory/mesh_arena.h"

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>

#include "memory/huge_pages.h"

namespace vertoko {

struct ChunkBlock;

struct MeshArenaChunk {
    MeshArenaChunk* next;
    std::size_t size;   // including this header
    ChunkBlock* block;  // the shared block it was cut from; null for a chunk of its own
};

// A huge-page block that small chunks are cut from one after another, so
// that thousands of small objects (multi-object mode) share huge pages
// instead of faulting in 4 KB pages of the heap one by one. It is freed
// when its last reference goes: one per chunk not yet released, and one
// held by the thread cutting from it.
struct ChunkBlock {
    std::atomic<std::size_t> live;
};

namespace {

// Small first chunks keep many small objects and entities cheap. While the
// chunks are small, each further one is twice all the ones before it, so
// that an object needs few chunks: thousands of objects of a few hundred
// faces each would otherwise spend a chunk on every few faces, and every
// walk of their lists wait for each of those chunks in turn. From then on
// a chunk is as large as all before it, which keeps the unused end of the
// last one small.
constexpr std::size_t kFirstChunk = 256;
constexpr std::size_t kLargestChunk = std::size_t{64} << 20;
// Chunks from this size on are aligned to and asked for in huge pages,
// which saves the kernel most of its page faults on large drawings.
constexpr std::size_t kHugePage = kHugePageSize;
constexpr std::size_t kHeader = (sizeof(MeshArenaChunk) + 7) & ~std::size_t{7};

// Chunks below this size come from the shared blocks, so that they too sit
// in huge pages.
constexpr std::size_t kSmallChunk = kHugePage;
constexpr std::size_t kBlockSize = std::size_t{16} << 20;
constexpr std::size_t kBlockHeader = (sizeof(ChunkBlock) + 15) & ~std::size_t{15};

// A large chunk is faulted in this far ahead of the node being cut, on a
// second thread: far enough that the reader never waits for the kernel, near
// enough that the unused end of the last chunk is never made resident.
constexpr std::size_t kPrefaultWindow = std::size_t{4} << 20;

std::atomic<std::int64_t> chunkLimit{-1};

void DropBlock(ChunkBlock* block, std::size_t references) {
    if (block->live.fetch_sub(references, std::memory_order_acq_rel) == references)
        std::free(block);
}

// The block a thread cuts its small chunks from. Each thread has its own,
// so that the two readers of a large drawing, each storing into thousands
// of objects, never wait for each other to get a chunk.
struct BlockCursor {
    ChunkBlock* block = nullptr;
    char* next = nullptr;
    char* end = nullptr;
    // Faulted in up to here: one huge page at a time, ahead of the chunks
    // being cut, so that a small drawing does not make it all resident.
    char* warm = nullptr;

    BlockCursor() = default;
    BlockCursor(const BlockCursor&) = delete;
    BlockCursor& operator=(const BlockCursor&) = delete;
    ~BlockCursor() {
        if (block != nullptr) DropBlock(block, 1);
    }
};

thread_local BlockCursor cursor;

MeshArenaChunk* CutSmallChunk(std::size_t size) {
    BlockCursor& at = cursor;
    // Every chunk of the block released: cutting starts over at its
    // beginning, over pages already faulted in. Only this thread cuts from
    // it, so no chunk can be added meanwhile.
    if (at.block != nullptr && at.block->live.load(std::memory_order_acquire) == 1)
        at.next = reinterpret_cast<char*>(at.block) + kBlockHeader;
    if (at.block == nullptr || static_cast<std::size_t>(at.end - at.next) < size) {
        auto* fresh = static_cast<ChunkBlock*>(AllocateLarge(kBlockSize));
        if (fresh == nullptr) return nullptr;
        new (fresh) ChunkBlock{};
        fresh->live.store(1, std::memory_order_relaxed);
        // The old block lives on until its last chunk is released.
        if (at.block != nullptr) DropBlock(at.block, 1);
        at.block = fresh;
        at.next = reinterpret_cast<char*>(fresh) + kBlockHeader;
        at.end = reinterpret_cast<char*>(fresh) + kBlockSize;
        // Writing the header has faulted in the first huge page.
        at.warm = reinterpret_cast<char*>(fresh) + kHugePage;
    }
    auto* chunk = reinterpret_cast<MeshArenaChunk*>(at.next);
    at.next += size;
    while (at.warm < at.end && at.next + kHugePage / 2 > at.warm) {
        PrefaultInBackground(at.warm, kHugePage);
        at.warm += kHugePage;
    }
    at.block->live.fetch_add(1, std::memory_order_relaxed);
    chunk->block = at.block;
    return chunk;
}

MeshArenaChunk* AllocateChunk(std::size_t size) {
    if (chunkLimit.load(std::memory_order_relaxed) >= 0 &&
        chunkLimit.fetch_sub(1, std::memory_order_relaxed) <= 0) {
        chunkLimit.store(0, std::memory_order_relaxed);
        return nullptr;
    }
    if (size < kSmallChunk) return CutSmallChunk(size);
    auto* chunk = static_cast<MeshArenaChunk*>(AllocateLarge(size));
    if (chunk != nullptr) chunk->block = nullptr;
    return chunk;
}

}  // namespace

void* ArenaAllocateSlow(MeshArena& arena, std::size_t bytes) {
    // The newest chunk still has room past the window handed out so far:
    // the next window opens and the one after it is faulted in.
    if (arena.end != arena.limit) {
        const std::size_t rest = static_cast<std::size_t>(arena.limit - arena.end);
        arena.end += rest < kPrefaultWindow ? rest : kPrefaultWindow;
        if (arena.end != arena.limit) {
            const std::size_t ahead = static_cast<std::size_t>(arena.limit - arena.end);
            PrefaultInBackground(arena.end, ahead < kPrefaultWindow ? ahead : kPrefaultWindow);
        }
        return ArenaAllocate(arena, bytes);
    }
    std::size_t size = arena.reserved < kFirstChunk / 2 ? kFirstChunk
                       : arena.reserved < kSmallChunk   ? 2 * arena.reserved
                                                        : arena.reserved;
    if (size > kLargestChunk) size = kLargestChunk;
    if (size < bytes + kHeader) size = bytes + kHeader;
    if (size >= kHugePage) size = (size + kHugePage - 1) & ~(kHugePage - 1);
    MeshArenaChunk* chunk = AllocateChunk(size);
    if (chunk == nullptr) return nullptr;
    chunk->next = arena.chunks;
    chunk->size = size;
    if (arena.chunks == nullptr) arena.oldest = chunk;
    arena.chunks = chunk;
    arena.reserved += size;
    char* base = reinterpret_cast<char*>(chunk) + kHeader;
    arena.next = base + bytes;
    arena.limit = reinterpret_cast<char*>(chunk) + size;
    arena.end = arena.limit;
    if (chunk->block == nullptr && size > 2 * kPrefaultWindow) {
        arena.end = base + kPrefaultWindow;
        PrefaultInBackground(base, 2 * kPrefaultWindow);
    }
    return base;
}

void* ArenaAllocateApart(MeshArena& arena, std::size_t bytes) {
    bytes = (bytes + 7) & ~std::size_t{7};
    if (arena.chunks == nullptr || static_cast<std::size_t>(arena.limit - arena.next) >= bytes)
        return ArenaAllocate(arena, bytes);
    if (bytes > static_cast<std::size_t>(-1) - kHeader) return nullptr;
    MeshArenaChunk* chunk = AllocateChunk(bytes + kHeader);
    if (chunk == nullptr) return nullptr;
    chunk->size = bytes + kHeader;
    chunk->next = arena.chunks->next;
    arena.chunks->next = chunk;
    if (chunk->next == nullptr) arena.oldest = chunk;
    return reinterpret_cast<char*>(chunk) + kHeader;
}

bool ArenaOwns(const MeshArena& arena, const void* at) {
    const char* const p = static_cast<const char*>(at);
    for (const MeshArenaChunk* chunk = arena.chunks; chunk != nullptr; chunk = chunk->next) {
        const char* const start = reinterpret_cast<const char*>(chunk);
        if (!std::less<const char*>()(p, start) && std::less<const char*>()(p, start + chunk->size))
            return true;
    }
    return false;
}

void ReleaseArena(MeshArena& arena) {
    MeshArena* one = &arena;
    ReleaseArenas(&one, 1);
}

void ReleaseArenas(MeshArena* const* arenas, std::size_t count) {
    // Each chunk header is a wait for memory; walking several arenas' chunk
    // lists in step keeps that many waits going at once. Chunks of the same
    // block in a row give up their references together.
    constexpr std::size_t kInStep = 8;
    ChunkBlock* block = nullptr;
    std::size_t references = 0;
    for (std::size_t from = 0; from < count; from += kInStep) {
        const std::size_t n = count - from < kInStep ? count - from : kInStep;
        MeshArenaChunk* at[kInStep];
        for (std::size_t i = 0; i < n; ++i) at[i] = arenas[from + i]->chunks;
        for (bool more = true; more;) {
            more = false;
            for (std::size_t i = 0; i < n; ++i) {
                MeshArenaChunk* chunk = at[i];
                if (chunk == nullptr) continue;
                at[i] = chunk->next;
                more = true;
                if (chunk->block == nullptr) {
                    std::free(chunk);
                } else if (chunk->block == block) {
                    ++references;
                } else {
                    if (block != nullptr) DropBlock(block, references);
                    block = chunk->block;
                    references = 1;
                }
            }
        }
        for (std::size_t i = 0; i < n; ++i) *arenas[from + i] = {};
    }
    if (block != nullptr) DropBlock(block, references);
}

void AdoptArena(MeshArena& into, MeshArena& from) {
    if (from.chunks == nullptr) return;
    if (into.chunks == nullptr) {
        into = from;
    } else {
        // The adopted chunks go behind into's newest one, which stays the
        // one being filled.
        MeshArenaChunk* const last = from.oldest;
        last->next = into.chunks->next;
        into.chunks->next = from.chunks;
        if (last->next == nullptr) into.oldest = last;
        // The next chunk is sized by into's own filling: counting the adopted
        // bytes would double the next chunk of every object taken over from
        // a second reader, most of it never used.
    }
    from = {};
}

void SetArenaChunkLimitForTesting(std::int64_t chunks) {
    chunkLimit.store(chunks < 0 ? -1 : chunks, std::memory_order_relaxed);
}

}  // namespace vertoko
