#include "game/turn_keys.h"

#include "engine/input_events.h"
#include "game/key_codes.h"
#include "game/key_names.h"
#include "game/players.h"
#include "platform/pad_slots.h"

const std::array<PlayerControl, 2 * PLAYER_SLOTS> DEFAULT_PLAYER_CONTROLS = {{
    {0, EVENT_KEY, KEY_Q, TURN_LEFT},
    {0, EVENT_KEY, KEY_W, TURN_RIGHT},
    {1, EVENT_KEY, KEY_LEFT, TURN_LEFT},
    {1, EVENT_KEY, KEY_RIGHT, TURN_RIGHT},
    {2, EVENT_MOUSE_BUTTON, MOUSE_LEFT, TURN_LEFT},
    {2, EVENT_MOUSE_BUTTON, MOUSE_RIGHT, TURN_RIGHT},
    {3, EVENT_KEY, KEY_U, TURN_LEFT},
    {3, EVENT_KEY, KEY_I, TURN_RIGHT},
}};
std::array<PlayerControl, 2 * PLAYER_SLOTS> player_controls = DEFAULT_PLAYER_CONTROLS;

namespace {

void pads_follow(int32_t slot) {
    const PlayerControl& left = player_controls[2 * slot];
    const PlayerControl& right = player_controls[2 * slot + 1];
    pad_turns_set(slot + 1, {left.kind == EVENT_MOUSE_BUTTON, left.code},
                  {right.kind == EVENT_MOUSE_BUTTON, right.code});
}

} // namespace

const PlayerControl* player_control_find(int32_t kind, int32_t code) {
    for (const PlayerControl& c : player_controls)
        if (c.kind == kind && c.code == code) return &c;
    return nullptr;
}

const PlayerControl* player_control_of(int32_t slot, int32_t direction) {
    for (const PlayerControl& c : player_controls)
        if (c.slot == slot && c.direction == direction) return &c;
    return nullptr;
}

TurnKeyRefusal turn_key_refusal(int32_t slot, int32_t kind, int32_t code) {
    if (kind == EVENT_KEY && (code == KEY_ESCAPE || code == KEY_SPACE || code == KEY_RETURN))
        return TURN_KEY_KEPT;
    if (!key_name_find(kind, code)) return TURN_KEY_UNNAMED;
    const PlayerControl* owner = player_control_find(kind, code);
    return owner && owner->slot != slot ? TURN_KEY_TAKEN : TURN_KEY_FREE;
}

void turn_keys_set(int32_t slot, TurnKey left, TurnKey right) {
    if (slot < 0 || slot >= PLAYER_SLOTS) return;
    player_controls[2 * slot] = {slot, left.kind, left.code, TURN_LEFT};
    player_controls[2 * slot + 1] = {slot, right.kind, right.code, TURN_RIGHT};
    pads_follow(slot);
}

void turn_keys_reset() {
    player_controls = DEFAULT_PLAYER_CONTROLS;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        pads_follow(slot);
}
