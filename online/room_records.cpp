#include "online/room_records.h"

#include "game/key_codes.h"
#include "game/menu.h"
#include "game/rounds.h"
#include "game/turn_keys.h"

namespace {

constexpr uint8_t UNNAMED_KEY_CODE = 0xFF;

// The machine's k-th seat, counting from its lowest.
int seat_of_control_set(int32_t set, uint8_t seat_mask) {
    for (int seat = 0; seat < wire::SEATS; ++seat)
        if (seat_mask & 1u << seat && set-- == 0) return seat;
    return -1;
}

// The seat's key as this machine's turn keys have it now, so a turn reaches the rules as that
// seat's press would. The seat and turn ride with the press, so which key it is never matters
// to the rules; a mouse button stays a key here, as a turn in the menu starts a game.
int16_t turn_key(int32_t seat, int32_t turn) {
    const PlayerControl* c = player_control_of(seat, turn);
    return static_cast<int16_t>(c && c->kind == EVENT_KEY ? c->code : KEY_UNNAMED);
}

} // namespace

bool record_from_press(const TickEvent& press, uint8_t seat_mask, bool owns_menu, bool in_menu,
                       wire::InputRecord* out) {
    *out = {};
    const bool menu_click = in_menu && press.kind == EVENT_MOUSE_BUTTON;
    if (press.seat != SEAT_NONE && press.turn != 0 && !menu_click) {
        const int seat = seat_of_control_set(press.seat, seat_mask);
        if (seat < 0) return false;
        *out = {RECORD_TURN, static_cast<uint8_t>(press.turn > 0), static_cast<uint8_t>(seat), 0, 0};
        return true;
    }
    const int seat = seat_of_control_set(0, seat_mask);
    if (!owns_menu || seat < 0) return false;
    if (press.kind == EVENT_MOUSE_BUTTON) {
        *out = {RECORD_MENU_CLICK, static_cast<uint8_t>(press.code), static_cast<uint8_t>(seat), press.x, press.y};
    } else {
        const bool named = press.code >= 0 && press.code < UNNAMED_KEY_CODE;
        *out = {RECORD_MENU_KEY, named ? static_cast<uint8_t>(press.code) : UNNAMED_KEY_CODE,
                static_cast<uint8_t>(seat), 0, 0};
    }
    return true;
}

void record_to_input(const wire::InputRecord& record, uint8_t menu_owner, TickInput& input) {
    const bool from_owner = record.seat == menu_owner;
    TickEvent e{};
    e.seat = static_cast<int8_t>(SEAT_NONE);
    switch (record.kind) {
    case RECORD_TURN:
        // In the menu any key starts a game, and only the owner may start one.
        if (game_state == STATE_MENU && !from_owner) return;
        e.kind = EVENT_KEY;
        e.seat = static_cast<int8_t>(record.seat);
        e.turn = static_cast<int8_t>(record.code ? TURN_RIGHT : TURN_LEFT);
        e.code = turn_key(record.seat, e.turn);
        break;
    case RECORD_MENU_KEY:
        if (!from_owner || record.code == KEY_ESCAPE || record.code == KEY_SPACE) return;
        e.kind = EVENT_KEY;
        e.code = record.code == UNNAMED_KEY_CODE ? static_cast<int16_t>(KEY_UNNAMED) : static_cast<int16_t>(record.code);
        break;
    case RECORD_MENU_CLICK:
        if (!from_owner || game_state != STATE_MENU || menu_sound_hit(record.x, record.y)) return;
        // Each machine turns with its own keys, so asking for new ones has no place in a room.
        if (record.code == MOUSE_RIGHT && menu_keys_hit(record.x, record.y)) return;
        e.kind = EVENT_MOUSE_BUTTON;
        e.code = record.code;
        e.x = record.x;
        e.y = record.y;
        break;
    default:
        return;
    }
    tick_input_add(input, e);
}
