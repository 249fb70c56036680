#include "engine/sprite_pool.h"

std::array<Sprite, SPRITE_POOL_SIZE> sprite_pool;
int32_t sprite_count;

Sprite* sprite_new() {
    if (sprite_count >= SPRITE_POOL_SIZE) return nullptr;
    Sprite* s = &sprite_pool[sprite_count++];
    s->used = 1;
    return s;
}
