// The real program with one difference: once started, its first scene draws nothing and clears
// to a colour no bar can have, so a screenshot shows exactly where the drawn area lies in the
// window.
#include "app/app.h"
#include "engine/scene.h"
#include "engine/sprite_pool.h"
#include "platform/window.h"

namespace {
void clear_to_probe_colour() {
    clear_red = 255;
    clear_green = 0;
    clear_blue = 255;
    sprite_count = 0; // the clouds and whatever the scene made would cover the colour
}

// After the game has installed its own scenes, the first one becomes the probe.
void probe_the_first_scene() {
    scene_install("intro", clear_to_probe_colour, clear_to_probe_colour);
    clear_to_probe_colour();
}
} // namespace

int main() {
    return app_run(SHOW_DEFAULT, probe_the_first_scene);
}
