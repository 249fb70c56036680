// Online play from the program's side. A room link on the command line (or the page's address)
// starts a room session at start-up, and the button beside the local menu's sound panel opens a
// room on the server last used. While a session lives it runs every due tick instead of the
// local game; the line at the top shows the room's code and links. A failure is said there and
// on standard error, and the local game's menu comes back. The seat's token is kept per room, so
// the same link brings this machine back into its seat. The room's menu choices are never saved
// as the player's; the player's own come back with the local menu. Main thread only.
#pragma once
#include <cstdint>

// A room link from the command line (quibbet://HOST:PORT/CODE, or .../ to open a room); null
// when the program was started without one. The process entry sets it before app_main.
extern const char* app_room_link;
// `--controller` beside the link: this machine joins that room as a controller, its people's
// turns for its seat and nothing else: no picture of the game, no sound, only the line (and on
// a touch screen the two turn buttons, platform_controller_screen).
extern bool app_room_controller;

// Called by app_start once the engine is up: starts the session if a link was given.
void room_play_start();

// True while a session lives: the room's clock sets the pace then, never the local hurried end.
bool room_play_active();

// True while a controller's session lives: nothing of the game is drawn.
bool room_play_controller();

// Called by main_loop_pass for each due tick: true when a room session ran it, false when the
// local game is to run it as always.
bool room_play_tick();

// Called by main_loop_pass between banner_draw_begin and sprites_render: who sits where, while
// a room's board is shown.
void room_play_draw();

// Called by the window's press handlers as a press is queued, and by main_loop_pass after each
// drawn frame: what the room's figures measure (online/room_figures.h). The figures go to
// standard output as one line when a session ends, and every QUIBBET_ROOM_FIGURES seconds while
// that variable asks.
void room_play_pressed();
void room_play_drawn();

// Called by the window's click handler with the click's virtual point: true when the click
// was on the button that opens a room (and the room is being opened), so the game never sees it.
bool room_play_click(int32_t x, int32_t y);
