#include "game/sprite_make.h"

#include "engine/image_table.h"

Sprite* sprite_make(const char* image, int32_t x, int32_t y, float scale, int32_t visible) {
    Sprite* s = sprite_new();
    if (!s) return nullptr;
    s->visible = visible;
    s->x = x;
    s->y = y;
    s->image = image_find(image);
    s->scale = scale;
    s->rotation = 0.0f;
    return s;
}
