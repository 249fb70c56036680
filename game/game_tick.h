// One update tick of the whole game, a pure function of the game's tables and the tick's input:
// frame_count advances, the input's presses are queued in order for the scenes (a room's change
// of who steers a seat is made at once instead), and the current scene runs (scene_dispatch). The main loop runs it with the local presses; a recording or a
// network may give the input instead, and a restored snapshot may be run on again from any tick.
// Main thread only.
#pragma once
#include "game/tick_input.h"

void game_tick(const TickInput& input);
