#include "game/intro.h"

#include "engine/frame_state.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "game/clouds.h"
#include "game/sprite_make.h"
#include "game/tweens.h"

int32_t intro_start_frame = -1;

namespace {
constexpr int32_t TREE_X = 288, TREE_Y = 160;
constexpr int32_t LETTERING_X = 220, LETTERING_Y = 250;
constexpr int32_t PRESENTS_X = 214, PRESENTS_Y = 210;
} // namespace

void intro_enter() {
    sprite_scene_mark = sprite_count;
    intro_start_frame = -1;
    clear_red = clear_green = clear_blue = 0;
    sprite_make("qz5tree.png", TREE_X, TREE_Y, 1.0f, 1);
    sprite_make("qz5labswhite213x60.png", LETTERING_X, LETTERING_Y, 1.0f, 1);
}

void intro_update() {
    clouds_tick();
    if (intro_start_frame < 0) intro_start_frame = frame_count;
    tweens_step();
    // Only presses are queued, so any event skips the splash; a second press in the same tick
    // is left for the title screen's first update.
    if (event_next()) {
        scene_enter("logo");
        return;
    }
    const int32_t age = frame_count - intro_start_frame;
    if (age == INTRO_PRESENTS_TICK) {
        sprite_count = sprite_scene_mark; // "presents" takes the tree's pool entry
        sprite_make("presents.png", PRESENTS_X, PRESENTS_Y, 1.0f, 1);
    }
    if (age > INTRO_LAST_TICK) scene_enter("logo");
}
