// Making a sprite with every field set: a pool entry keeps the fields of its last use, so the
// game never relies on what an entry held before. Main thread only.
#pragma once
#include "engine/sprite_pool.h"

#include <cstdint>

// A new pool sprite showing the named image (image_find; null names no image) at (x, y),
// unturned. Null when the pool is full.
Sprite* sprite_make(const char* image, int32_t x, int32_t y, float scale, int32_t visible);
