// The real program with one difference: its first scene clears to a colour no bar can have,
// so a screenshot shows exactly where the drawn area lies in the window.
#include "app/app.h"
#include "engine/scene.h"
#include "platform/window.h"

namespace {
void clear_to_probe_colour() {
    clear_red = 255;
    clear_green = 0;
    clear_blue = 255;
}
} // namespace

int main() {
    scene_install("intro", clear_to_probe_colour, clear_to_probe_colour);
    return app_main(SHOW_DEFAULT);
}
