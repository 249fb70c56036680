#include "game/logo.h"

#include "assets/embedded.h"
#include "engine/frame_state.h"
#include "engine/input_events.h"
#include "engine/layout_records.h"
#include "engine/scene.h"
#include "game/clouds.h"
#include "game/music_request.h"
#include "game/rounds.h"
#include "game/tweens.h"

int32_t logo_start_frame = -1;

namespace {

// The fade aims three quarters of a step above the sky blue's red and blue, so that the truncated
// colour at LOGO_FADE_END is the sky blue exactly.
constexpr double FADE_RED = SKY_RED + 0.75, FADE_GREEN = SKY_GREEN, FADE_BLUE = SKY_BLUE + 0.75;

void fade(int32_t age) {
    if (age > LOGO_FADE_END) {
        clear_red = SKY_RED;
        clear_green = SKY_GREEN;
        clear_blue = SKY_BLUE;
    } else if (age > LOGO_FADE_START) {
        const double t = static_cast<double>(age - LOGO_FADE_START) / (LOGO_FADE_END - LOGO_FADE_START);
        clear_red = static_cast<int32_t>(FADE_RED * t);
        clear_green = static_cast<int32_t>(FADE_GREEN * t);
        clear_blue = static_cast<int32_t>(FADE_BLUE * t);
    }
}

} // namespace

void logo_enter() {
    sprite_scene_mark = sprite_count;
    if (const EmbeddedAsset* layout = embedded_asset_find(LOGO_LAYOUT_ASSET))
        layout_read({layout->data, layout->size});
    music_request_start();
}

void logo_update() {
    if (logo_start_frame < 0) logo_start_frame = frame_count;
    clouds_tick();
    tweens_step();
    if (event_next()) {
        scene_enter("gameplay");
        return;
    }
    const int32_t age = frame_count - logo_start_frame;
    if (age > LOGO_STAY_TICKS) {
        scene_enter("gameplay");
        return;
    }
    fade(age);
}
