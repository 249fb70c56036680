// Online play from the program's side. A room link on the command line (or the page's address)
// starts a room session at start-up, and the button beside the local menu's sound panel opens a
// room on the server last used. While a session lives it runs every due tick instead of the
// local game; the line at the top shows the room's code and links. A failure is said there and
// on standard error, and the local game's menu comes back. The seat's token is kept per room, so
// the same link brings this machine back into its seat. Main thread only.
#pragma once

// A room link from the command line (quibbet://HOST:PORT/CODE, or .../ to open a room); null
// when the program was started without one. The process entry sets it before app_main.
extern const char* app_room_link;

// Called by app_start once the engine is up: starts the session if a link was given.
void room_play_start();

// Called by main_loop_pass for each due tick: the room's tick while a session lives, else the
// local game's.
void room_play_tick();
