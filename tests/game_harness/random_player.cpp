#include "random_player.h"

#include "game/key_codes.h"
#include "game/rounds.h"
#include "game_harness.h"

#include <array>

namespace {

constexpr int32_t LONGEST_CREDITS_STAY = 100;
constexpr int32_t ANY_KEY = 'S';

struct Rect {
    int32_t left, top, right, bottom;
};
constexpr std::array<Rect, 12> MENU_AREAS{{{268, 289, 330, 311},
                                           {275, 259, 296, 273},
                                           {302, 259, 321, 273},
                                           {267, 197, 289, 219},
                                           {292, 197, 314, 219},
                                           {317, 197, 339, 219},
                                           {278, 445, 300, 467},
                                           {304, 445, 326, 467},
                                           {560, 140, 599, 171}, // the controls pictures
                                           {560, 200, 599, 231},
                                           {560, 260, 599, 291},
                                           {560, 320, 599, 351}}};
constexpr std::array<int32_t, 6> TURN_KEYS = {KEY_Q, KEY_W, KEY_LEFT, KEY_RIGHT, KEY_U, KEY_I};

} // namespace

// Now and then a press, sometimes two in one tick. A second press is never Escape: after a way
// into the credits it would end the program.
void RandomPlayer::act() {
    if (harness_scene() == "credits") {
        if (credits_left == 0) credits_left = 1 + pick(LONGEST_CREDITS_STAY);
        if (--credits_left == 0) harness_press(ANY_KEY);
        return;
    }
    if (pick(6) != 0) return;
    press(true);
    if (pick(2) == 0) press(false);
}

void RandomPlayer::press(bool escape_allowed) {
    const int32_t roll = pick(1000);
    if (roll < 10) {
        if (escape_allowed) harness_press(KEY_ESCAPE);
    } else if (roll < 15) {
        harness_press(KEY_SPACE);
    } else if (roll < 150) {
        click(-80, -80, 719, 559);
    } else if (game_state == STATE_MENU && roll < 850) {
        const Rect& r = MENU_AREAS[static_cast<size_t>(pick(MENU_AREAS.size()))];
        click(r.left, r.top, r.right, r.bottom);
    } else if (roll < 950) {
        harness_press(TURN_KEYS[static_cast<size_t>(pick(TURN_KEYS.size()))]);
    } else {
        harness_press('A' + pick(26));
    }
}

// Somewhere in the rectangle, either button.
void RandomPlayer::click(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    const int32_t x = left + pick(static_cast<uint32_t>(right - left + 1));
    const int32_t y = top + pick(static_cast<uint32_t>(bottom - top + 1));
    harness_click(x, y, pick(2));
}
