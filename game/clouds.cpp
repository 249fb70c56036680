#include "game/clouds.h"

#include "engine/frame_state.h"
#include "engine/image_table.h"
#include "game/tweens.h"

std::array<Sprite*, CLOUD_COUNT> cloud_sprites;

namespace {

constexpr float CLOUD_SCALE = 0.7f;

struct CloudStart {
    int32_t x, y;
    float dx; // pixels per tick: the first crosses left to right, the others drift back
};
constexpr std::array<CloudStart, CLOUD_COUNT> CLOUD_STARTS{
    {{-551, 0, 4.0f}, {200, 140, -2.0f}, {1000, 140, -2.0f}}};

} // namespace

void clouds_reset() {
    if (!cloud_sprites[0])
        for (Sprite*& s : cloud_sprites)
            s = sprite_new();
    for (int i = 0; i < CLOUD_COUNT; ++i) {
        Sprite* s = cloud_sprites[i];
        if (!s) continue; // no room in the pool at start-up: no cloud
        s->visible = 1;
        s->scale = CLOUD_SCALE;
        s->rotation = 0.0f;
        s->image = image_find("cloud001.png");
        s->x = CLOUD_STARTS[i].x;
        s->y = CLOUD_STARTS[i].y;
        Tween* t = tween_add(s);
        t->frames_left = CLOUD_DRIFT_TICKS;
        t->dx = CLOUD_STARTS[i].dx;
    }
}

void clouds_tick() {
    if (frame_count % CLOUD_CYCLE_TICKS == CLOUD_RESET_PHASE) clouds_reset();
}
