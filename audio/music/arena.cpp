// The arena as a chain of zero-filled blocks: small records are carved from the current block,
// a record larger than a block gets a block of its own.
#include "audio/music/arena.h"

#include <cstdint>
#include <cstdlib>

namespace {

constexpr size_t ARENA_BLOCK_BYTES = size_t{1} << 20;
constexpr size_t ARENA_ALIGN = alignof(std::max_align_t);

struct ArenaBlock {
    ArenaBlock* previous;
    size_t capacity; // usable bytes after the header
    size_t used;
};
constexpr size_t ARENA_HEADER_BYTES = (sizeof(ArenaBlock) + ARENA_ALIGN - 1) / ARENA_ALIGN * ARENA_ALIGN;

bool arena_exists = false;
ArenaBlock* arena_top = nullptr; // newest block, the one small records come from
size_t arena_total = 0;          // bytes of all blocks, headers included

ArenaBlock* arena_add_block(size_t capacity) {
    if (capacity > ARENA_LIMIT || arena_total + ARENA_HEADER_BYTES + capacity > ARENA_LIMIT) return nullptr;
    void* memory = std::calloc(1, ARENA_HEADER_BYTES + capacity);
    if (!memory) return nullptr;
    auto* block = static_cast<ArenaBlock*>(memory);
    block->capacity = capacity;
    arena_total += ARENA_HEADER_BYTES + capacity;
    return block;
}

uint8_t* block_data(ArenaBlock* block) {
    return reinterpret_cast<uint8_t*>(block) + ARENA_HEADER_BYTES;
}

} // namespace

bool arena_create() {
    arena_exists = true;
    return true;
}

void* arena_alloc(size_t bytes) {
    if (!arena_exists || bytes > ARENA_LIMIT) return nullptr;
    size_t rounded = (bytes + ARENA_ALIGN - 1) / ARENA_ALIGN * ARENA_ALIGN;
    if (rounded == 0) rounded = ARENA_ALIGN;
    if (arena_top && arena_top->capacity - arena_top->used >= rounded) {
        void* result = block_data(arena_top) + arena_top->used;
        arena_top->used += rounded;
        return result;
    }
    ArenaBlock* block = arena_add_block(rounded > ARENA_BLOCK_BYTES / 4 ? rounded : ARENA_BLOCK_BYTES);
    if (!block) return nullptr;
    block->used = rounded;
    if (rounded > ARENA_BLOCK_BYTES / 4 && arena_top) {
        // A big record sits below the current block, which keeps serving small ones.
        block->previous = arena_top->previous;
        arena_top->previous = block;
    } else {
        block->previous = arena_top;
        arena_top = block;
    }
    return block_data(block);
}

void arena_destroy() {
    while (arena_top) {
        ArenaBlock* previous = arena_top->previous;
        std::free(arena_top);
        arena_top = previous;
    }
    arena_total = 0;
    arena_exists = false;
}
