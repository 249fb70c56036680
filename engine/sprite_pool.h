// The sprite pool: 5000 sprites used like a stack. Groups are dropped by lowering
// sprite_count to a saved mark; entries are never cleared. Main thread only.
#pragma once
#include <array>
#include <cstdint>

constexpr int SPRITE_POOL_SIZE = 5000;

struct Sprite {
    int32_t used;
    int32_t visible;
    int32_t x, y;  // top-left of the full image box, virtual pixels
    int32_t image; // index into image_table
    float scale;
    float rotation; // degrees clockwise; exactly 0 takes the axis-aligned path
};
static_assert(sizeof(Sprite) == 7 * 4);

extern std::array<Sprite, SPRITE_POOL_SIZE> sprite_pool;
extern int32_t sprite_count;

// Null when the pool is full. Every field but used keeps its previous value.
Sprite* sprite_new();

// The pool entry at a kept index, or null when the index lies outside the pool (a group that
// found the pool full when it was made).
inline Sprite* sprite_at(int32_t index) {
    return index >= 0 && index < SPRITE_POOL_SIZE ? &sprite_pool[index] : nullptr;
}
