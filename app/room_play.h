// Online play from the program's side. A room link on the command line (or the page's address)
// starts a room session at start-up; while it lives, the session runs every due tick instead of
// the local loop. Opening a room prints the links to share; a failure is said on standard error
// and the local game's menu comes back. The seat's token is kept per room, so the same link
// brings this machine back into its seat. Main thread only.
#pragma once

// A room link from the command line (quibbet://HOST:PORT/CODE, or .../ to open a room); null
// when the program was started without one. The process entry sets it before app_main.
extern const char* app_room_link;

// Called by app_start once the engine is up: starts the session if a link was given.
void room_play_start();

// Called by main_loop_pass for each due tick: true when a room session ran it, false when the
// local game is to run it as always.
bool room_play_tick();
