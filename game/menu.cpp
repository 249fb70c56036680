#include "game/menu.h"

#include "audio/sfx.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "game/board.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/music_request.h"
#include "game/players.h"
#include "game/scores.h"
#include "game/sprite_make.h"

#include <array>

int32_t menu_first_sprite;
int32_t controls_first_sprite;
int32_t menu_x, menu_y;
int32_t sound_x, sound_y;

namespace {

constexpr int32_t BOARD_MIDDLE_X = 300, BOARD_MIDDLE_Y = 240;
constexpr int32_t SOUND_PANEL_Y = 440;
// The player-count marker stands left of the chosen count's key: menu_x + 25 n - 29.
constexpr int32_t COUNT_MARKER_PITCH = 25, COUNT_MARKER_LEFT = -29, COUNT_MARKER_TOP = 39;
constexpr int32_t MUSIC_MARKER_X = 7, EFFECTS_MARKER_X = 33, SOUND_MARKER_Y = 4;
constexpr int32_t CONTROLS_X = 560, CONTROLS_TOP = 140, CONTROLS_PITCH = 60;
constexpr int32_t CONTROLS_WIDTH = 40, CONTROLS_HEIGHT = 32;
constexpr std::array<const char*, PLAYER_SLOTS> CONTROLS_IMAGES = {"controls001.png", "controls002.png",
                                                                   "controls003.png", "controls004.png"};
constexpr std::array<const char*, PLAYER_SLOTS> COMPUTER_IMAGES = {"computer001.png", "computer002.png",
                                                                   "computer003.png", "computer004.png"};

Sprite* menu_sprite(int32_t piece) {
    return sprite_at(menu_first_sprite + piece);
}

void menu_sprite_show(int32_t piece, int32_t visible) {
    if (Sprite* s = menu_sprite(piece)) s->visible = visible;
}

const ImageRecord* image_named(const char* name) {
    return image_at(image_find(name));
}
int32_t full_width(const char* name) {
    return image_named(name) ? image_named(name)->width : 0;
}
int32_t full_height(const char* name) {
    return image_named(name) ? image_named(name)->height : 0;
}

void count_marker_place() {
    if (Sprite* s = menu_sprite(MENU_COUNT_MARKER))
        s->x = menu_x + COUNT_MARKER_PITCH * player_count + COUNT_MARKER_LEFT;
}

// Each active slot shows who steers it: its keys, or the computer.
void controls_refresh() {
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        Sprite* s = sprite_at(controls_first_sprite + slot);
        if (!s) continue;
        s->image = image_find(computer_steers(slot) ? COMPUTER_IMAGES[slot] : CONTROLS_IMAGES[slot]);
        s->visible = slot < player_count;
    }
}

MenuAction players_choose(int32_t n) {
    scores_set_player_count(n);
    level_load();
    count_marker_place();
    controls_refresh();
    return MenuAction::none;
}

MenuAction level_choose(int32_t level) {
    current_level = level;
    level_load();
    return MenuAction::level_chosen;
}

MenuAction level_previous(int32_t) {
    return level_choose(current_level == 0 ? LEVEL_COUNT - 1 : current_level - 1);
}
MenuAction level_next(int32_t) {
    return level_choose((current_level + 1) % LEVEL_COUNT);
}

MenuAction start(int32_t) {
    return MenuAction::start;
}

// Only a shown picture answers: the slots beyond the player count have none.
MenuAction steering_switch(int32_t slot) {
    if (slot >= player_count) return MenuAction::none;
    computer_switch(slot);
    controls_refresh();
    return MenuAction::none;
}

MenuAction effects_switch(int32_t) {
    sfx_enabled = sfx_enabled == 1 ? 0 : 1;
    menu_sprite_show(MENU_EFFECTS_MARKER, sfx_enabled);
    return MenuAction::none;
}

MenuAction music_switch(int32_t) {
    if (music_state != MUSIC_OFF) {
        music_request_stop();
        menu_sprite_show(MENU_MUSIC_MARKER, 0);
    } else {
        music_state = MUSIC_REQUESTED;
        music_request_start();
        menu_sprite_show(MENU_MUSIC_MARKER, 1);
    }
    return MenuAction::none;
}

enum class Origin { screen, menu, sound };

// A click area, its bounds inclusive and relative to its origin, and what it does with its
// argument.
struct HitArea {
    Origin origin;
    int32_t left, top, right, bottom;
    MenuAction (*action)(int32_t);
    int32_t argument;
};

constexpr HitArea controls_area(int32_t slot) {
    const int32_t top = CONTROLS_TOP + CONTROLS_PITCH * slot;
    return {Origin::screen,  CONTROLS_X, top, CONTROLS_X + CONTROLS_WIDTH - 1, top + CONTROLS_HEIGHT - 1,
            steering_switch, slot};
}

constexpr std::array<HitArea, 12> HIT_AREAS{{
    {Origin::screen, 268, 289, 330, 311, start, 0},
    {Origin::screen, 275, 259, 296, 273, level_previous, 0},
    {Origin::screen, 302, 259, 321, 273, level_next, 0},
    {Origin::menu, 22, 40, 44, 62, players_choose, 2},
    {Origin::menu, 47, 40, 69, 62, players_choose, 3},
    {Origin::menu, 72, 40, 94, 62, players_choose, 4},
    {Origin::sound, 34, 5, 56, 27, effects_switch, 0},
    {Origin::sound, 8, 5, 30, 27, music_switch, 0},
    controls_area(0),
    controls_area(1),
    controls_area(2),
    controls_area(3),
}};

// Compared as unsigned numbers, so a click left of or above the screen (a negative coordinate
// from the letterbox bars) is far outside every area.
bool within(int32_t value, int32_t low, int32_t high) {
    return static_cast<uint32_t>(value) >= static_cast<uint32_t>(low) &&
           static_cast<uint32_t>(value) <= static_cast<uint32_t>(high);
}

bool hit(const HitArea& area, int32_t x, int32_t y) {
    const int32_t ox = area.origin == Origin::menu ? menu_x : area.origin == Origin::sound ? sound_x : 0;
    const int32_t oy = area.origin == Origin::menu ? menu_y : area.origin == Origin::sound ? sound_y : 0;
    return within(x, ox + area.left, ox + area.right) && within(y, oy + area.top, oy + area.bottom);
}

} // namespace

void menu_open(bool already_open) {
    menu_first_sprite = sprite_count;
    if (already_open) return;
    menu_x = BOARD_MIDDLE_X - full_width("menubg.png") / 2;
    menu_y = BOARD_MIDDLE_Y - full_height("menubg.png") / 2;
    sound_x = BOARD_MIDDLE_X - full_width("soundmenu.png") / 2;
    sound_y = SOUND_PANEL_Y;
    sprite_make("menubg.png", menu_x, menu_y, 1.0f, 1);
    sprite_make("redbutton001.png", menu_x + COUNT_MARKER_PITCH * player_count + COUNT_MARKER_LEFT,
                menu_y + COUNT_MARKER_TOP, 1.0f, 1);
    sprite_make("menutext.png", BOARD_MIDDLE_X - full_width("menutext.png") / 2,
                BOARD_MIDDLE_Y - full_height("menutext.png") / 2, 1.0f, 1);
    sprite_make("soundmenu.png", sound_x, sound_y, 1.0f, 1);
    sprite_make("redbutton001.png", sound_x + MUSIC_MARKER_X, sound_y + SOUND_MARKER_Y, 1.0f,
                music_state != MUSIC_OFF);
    sprite_make("redbutton001.png", sound_x + EFFECTS_MARKER_X, sound_y + SOUND_MARKER_Y, 1.0f,
                sfx_enabled != 0);
    sprite_make("soundmenutext.png", sound_x, sound_y, 1.0f, 1);
    controls_first_sprite = sprite_count;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        sprite_make(CONTROLS_IMAGES[slot], CONTROLS_X, CONTROLS_TOP + CONTROLS_PITCH * slot, 1.0f, 0);
    scores_set_player_count(player_count);
    controls_refresh();
}

MenuAction menu_input(const InputEvent& e) {
    if (e.kind == EVENT_MOUSE_BUTTON) {
        // The areas do not overlap: at most one acts.
        for (const HitArea& area : HIT_AREAS)
            if (hit(area, e.x, e.y)) return area.action(area.argument);
    } else if (e.kind == EVENT_KEY) {
        return e.code == KEY_ESCAPE ? MenuAction::credits : MenuAction::start;
    }
    return MenuAction::none;
}

bool menu_sound_hit(int32_t x, int32_t y) {
    for (const HitArea& area : HIT_AREAS)
        if (area.origin == Origin::sound && hit(area, x, y)) return true;
    return false;
}

void menu_steering_set(int32_t slot, bool computer) {
    if (computer_steers(slot) != computer) computer_switch(slot);
    if (sprite_count > controls_first_sprite) controls_refresh(); // only while the menu is open
}
