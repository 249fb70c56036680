#include "game/credits.h"

#include "engine/image_table.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "game/clouds.h"
#include "game/credits_place.h"
#include "game/key_codes.h"
#include "game/shutdown.h"
#include "game/sprite_make.h"
#include "platform/window.h"

bool credits_may_quit = true;

namespace {
constexpr const char* CREDITS_IMAGE = "credits320.png";
} // namespace

void credits_enter() {
    sprite_scene_mark = sprite_count;
    Sprite* s = sprite_make(CREDITS_IMAGE, 0, 0, static_cast<float>(CREDITS_SCALE), 1);
    if (!s) return;
    const ImageRecord* image = image_at(s->image);
    const CreditsPlace place = image ? credits_place(image->width, image->height) : credits_place(0, 0);
    s->x = place.x;
    s->y = place.y;
}

void credits_update() {
    clouds_tick();
    while (const InputEvent* e = event_next()) {
        if (e->kind == EVENT_KEY && e->code == KEY_ESCAPE && credits_may_quit) program_end();
        skip_next_enter = 1;
        scene_enter("gameplay");
    }
}

void program_end() {
    program_shutdown();
    platform_quit_post(0); // the loop would end on it; the process ends first
    platform_exit(0);
}
