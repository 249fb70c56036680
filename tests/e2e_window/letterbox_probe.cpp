// The real program with one difference: it starts in a scene of its own that draws nothing and
// clears to a colour no bar can have, so a screenshot shows exactly where the drawn area lies in
// the window.
#include "app/app.h"
#include "engine/scene.h"
#include "engine/sprite_pool.h"
#include "platform/window.h"

namespace {
void clear_to_probe_colour() {
    clear_red = 255;
    clear_green = 0;
    clear_blue = 255;
    sprite_count = 0; // the clouds would cover the colour
}
} // namespace

int main() {
    // The game has no use for the empty "debug" scene, so nothing installs over the probe.
    scene_install("debug", clear_to_probe_colour, clear_to_probe_colour);
    first_scene = "debug";
    return app_main(SHOW_DEFAULT);
}
