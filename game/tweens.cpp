#include "game/tweens.h"

#include "engine/image_table.h"

std::array<Tween, TWEEN_TABLE_SIZE> tween_table;
int32_t tween_count;

namespace {

void tween_finish(Tween& t) {
    t.used = TWEEN_FREE;
    t.sprite->scale = t.scale;
    if (t.hide_at_end) t.sprite->visible = 0;
}

Tween& tween_take() {
    for (int32_t i = 0; i < tween_count; ++i)
        if (tween_table[i].used == TWEEN_FREE) return tween_table[i];
    if (tween_count < TWEEN_TABLE_SIZE) return tween_table[tween_count++];
    Tween* nearest = &tween_table[0];
    for (Tween& t : tween_table)
        if (t.frames_left < nearest->frames_left) nearest = &t;
    tween_finish(*nearest);
    return *nearest;
}

} // namespace

Tween* tween_add(Sprite* sprite) {
    Tween& t = tween_take();
    t = Tween{};
    t.used = TWEEN_ACTIVE;
    t.sprite = sprite;
    t.x = static_cast<float>(sprite->x);
    t.y = static_cast<float>(sprite->y);
    t.scale = t.base_scale = sprite->scale;
    t.rotation = sprite->rotation;
    return &t;
}

void tweens_step() {
    for (int32_t i = 0; i < tween_count; ++i) {
        Tween& t = tween_table[i];
        if (t.used != TWEEN_ACTIVE) continue;
        if (t.frames_left <= t.turn_at) {
            t.dx = -t.dx;
            t.dy = -t.dy;
            t.dscale = -t.dscale;
            t.turn_at = 0;
        }
        t.x += t.dx;
        t.y += t.dy;
        t.scale += t.dscale;
        t.rotation += t.drot;
        Sprite& s = *t.sprite;
        s.x = static_cast<int32_t>(t.x);
        s.y = static_cast<int32_t>(t.y);
        s.scale = t.scale;
        if (t.drot != 0) s.rotation = t.rotation;
        // Growing about the image box's centre: move the corner back by the growth of half the
        // full image (integer halves, as the image table sizes are).
        if (const float grown = t.scale - t.base_scale; grown != 0) {
            const ImageRecord* img = image_at(s.image);
            const int32_t half_w = img ? img->width / 2 : 0, half_h = img ? img->height / 2 : 0;
            s.x = static_cast<int32_t>(static_cast<float>(s.x) - grown * static_cast<float>(half_w));
            s.y = static_cast<int32_t>(static_cast<float>(s.y) - grown * static_cast<float>(half_h));
        }
        if (t.frames_left > 1) {
            --t.frames_left;
        } else {
            tween_finish(t);
            if (t.frames_left == 1) t.frames_left = 0;
        }
    }
}
