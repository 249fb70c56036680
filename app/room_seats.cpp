#include "app/room_seats.h"

#include "app/room_banner.h"
#include "engine/image_table.h"
#include "game/menu.h"
#include "game/players.h"
#include "game/rounds.h"
#include "online/room_session.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

// Under the controls picture, centred on it, or up to the score panel's tiles when wider.
constexpr int32_t WORD_GAP = 2, CONTROLS_WIDTH = 40, PANEL_X = 600;

constexpr std::array<const char*, 4> WORDS = {"seatyou", "seatfriend", "seatcomputer", "seatfree"};

int32_t image_of(const char* stem, int32_t seat) {
    const std::string name = stem + std::string(seat < 9 ? "00" : "0") + std::to_string(seat + 1) + ".png";
    return image_find(name.c_str());
}

void word_place(SeatSteering steering, int32_t seat, int32_t picture_bottom) {
    const int32_t image = image_of(WORDS[static_cast<size_t>(steering)], seat);
    const ImageRecord* r = image_at(image);
    if (!r) return;
    const int32_t x = std::min(CONTROLS_X + (CONTROLS_WIDTH - r->width) / 2, PANEL_X - r->width);
    banner_place(image, x, picture_bottom + WORD_GAP);
}

} // namespace

void seats_draw(const RoomSession& s) {
    // Until the log up to joining has run, the others' seats would show as free.
    if (s.phase != RoomPhase::in_room || s.request.controller || s.away || s.closed < s.joined_closed) return;
    const bool in_menu = game_state == STATE_MENU;
    for (int32_t seat = 0; seat < PLAYER_SLOTS; ++seat) {
        const SeatSteering steering = room_seat_steering(s, seat);
        const bool in_game = seat < player_count;
        const int32_t top = CONTROLS_TOP + CONTROLS_PITCH * seat;
        const int32_t picture = image_of("computer", seat);
        const ImageRecord* r = image_at(picture);
        const int32_t bottom = top + (r ? r->height : 0);
        if (in_menu) {
            // A person beyond the player count is shown too: the menu's owner may let them in.
            if (in_game || steering == SeatSteering::you || steering == SeatSteering::friend_)
                word_place(steering, seat, bottom);
        } else if (in_game && steering == SeatSteering::computer && (s.room.left >> seat & 1u)) {
            banner_place(picture, CONTROLS_X, top);
            word_place(steering, seat, bottom);
        }
    }
}
