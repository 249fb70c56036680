#include "game/sounds.h"

#include "audio/sfx.h"

bool tick_silent;

void effect_play(const char* name) {
    if (!tick_silent) sfx_play(name);
}

void effect_send_now() {
    if (!tick_silent) sfx_pump();
}
