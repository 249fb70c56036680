// Watching a recorded game (quibbet --replay): the file is read and checked before the window
// opens, the game starts from the menu as it was recorded, and every tick runs on the recorded
// input (the local presses are dropped) until the menu is back; from then on the program plays
// as usual, with the player's own level, player count and computers back (the recorded ones
// never reach the settings file). Main thread only.
#pragma once
#include "game/tick_input.h"

// Reads the requested replay; false, with one line on standard error, when it cannot be played.
bool replay_watch_load();

// Called once the gameplay scene's menu is open.
void replay_watch_start();

// Puts the player's own choices back, once: at the replay's end, or when the program ends
// during it.
void replay_watch_restore();

// One tick of the main loop: the recorded input while the replay lasts, else the local presses
// with the game recorded.
void app_tick();
