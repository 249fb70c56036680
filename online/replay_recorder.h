// Recording the games as they are played: a game is taken from the tick that starts it (its
// header: level, players, computer slots, scores, tick and seed) through every later tick's
// input to the tick in which the menu comes back, and then kept (replay_keep). A game left by
// quitting is not kept: it has no end to watch. Main thread only.
#pragma once
#include "game/tick_input.h"
#include "online/replay_format.h"

// The header a game starting now has: call it in the tick that started it.
ReplayHeader replay_header_now();

// game_tick with the recording around it. Off (a plain game_tick) while a replay plays.
void recorded_tick(const TickInput& input);

// Stops or resumes recording; a game under way when it stops is dropped.
void replay_recording_set(bool on);
