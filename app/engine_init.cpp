#include "app/app.h"

#include "app/frame_timer.h"
#include "app/viewport.h"
#include "engine/scene.h"

void engine_init() {
    display_configure();
    tick_period = TICK_PERIOD_MS;
    scene_enter("intro");
}
