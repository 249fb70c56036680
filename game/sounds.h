// The game's sounds leave through here and through the music requests. A tick whose sounds
// have been heard already (one run again after a restore) or must not be heard (the headless
// replay player) runs with tick_silent set, and then nothing goes out; the game's tables change
// exactly as in a sounding tick. Main thread only.
#pragma once

extern bool tick_silent;

// sfx_play, unless silent.
void effect_play(const char* name);
// sfx_pump at once, unless silent: the deciding fall goes out before the round handles the end.
void effect_send_now();
