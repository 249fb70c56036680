// The real program with one difference: it starts in a scene of its own that shows what input
// reached the game.
// The four player sprites turn a quarter for each turn press of their player, and the clear
// colour spells the last event exactly, so a screenshot pixel tells the test what arrived:
//   nothing yet        (0, 0, 40)
//   a key press        (events so far, key code, 80)
//   a mouse press      (events so far, button, 120 inside the virtual screen / 160 outside)
#include "app/app.h"
#include "app/viewport.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "engine/scene.h"
#include "engine/sprite_pool.h"
#include "platform/window.h"

#include <array>

namespace {

constexpr int PLAYERS = 4;
constexpr float QUARTER_TURN = 90.0f;
constexpr int KEY_LEFT = 0x25, KEY_RIGHT = 0x27;
constexpr int32_t NOTHING_BLUE = 40, KEY_BLUE = 80, MOUSE_INSIDE_BLUE = 120, MOUSE_OUTSIDE_BLUE = 160;

// Each player's turn-left and turn-right input: key codes, and for player 3 the mouse buttons.
constexpr std::array<std::array<int, 2>, PLAYERS> turns{
    {{'Q', 'W'}, {KEY_LEFT, KEY_RIGHT}, {0, 1}, {'U', 'I'}}};
constexpr int MOUSE_PLAYER = 2;

std::array<Sprite*, PLAYERS> players{};
int32_t events_seen = 0;

void show_players() {
    clear_red = 0, clear_green = 0, clear_blue = NOTHING_BLUE;
    const char* images[PLAYERS] = {"player001.png", "player002.png", "player003.png", "player004.png"};
    for (int p = 0; p < PLAYERS; ++p) {
        players[p] = sprite_new();
        if (!players[p]) return;
        *players[p] = {1, 1, 130 + 100 * p, 200, image_find(images[p]), 1.0f, 0.0f};
    }
}

void turn(int player, int code) {
    if (players[player]) players[player]->rotation += code == turns[player][0] ? -QUARTER_TURN : QUARTER_TURN;
}

void show_events() {
    while (const InputEvent* e = event_next()) {
        clear_red = ++events_seen % 256;
        clear_green = e->code;
        if (e->kind == EVENT_MOUSE_BUTTON) {
            const bool outside =
                e->x >= VIRTUAL_SCREEN_WIDTH || e->y >= VIRTUAL_SCREEN_HEIGHT || e->x < 0 || e->y < 0;
            clear_blue = outside ? MOUSE_OUTSIDE_BLUE : MOUSE_INSIDE_BLUE;
            turn(MOUSE_PLAYER, e->code);
            continue;
        }
        clear_blue = KEY_BLUE;
        for (int p = 0; p < PLAYERS; ++p)
            if (p != MOUSE_PLAYER && (e->code == turns[p][0] || e->code == turns[p][1])) turn(p, e->code);
    }
}

} // namespace

int main() {
    scene_install("debug", show_players, show_events);
    first_scene = "debug";
    return app_main(SHOW_DEFAULT);
}
