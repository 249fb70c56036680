// Who sits where in a room, written over the game's picture: in the room's menu a word under
// each seat's controls picture, in the seat's colour (YOU at this machine, FRIEND at another,
// COMPUTER, FREE for nobody), also for a seat beyond the player count that a person holds; in
// play, beside the score panel, the computer's picture and word by each seat the computer took
// over from a person who left or went silent, until that person is back. Overlay sprites
// (banner_place), never the game's own, so no snapshot holds them. Main thread only.
#pragma once

struct RoomSession;

// Called between banner_draw_begin and sprites_render while the room's board is shown.
void seats_draw(const RoomSession& session);
