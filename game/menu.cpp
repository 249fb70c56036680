#include "game/menu.h"

#include "audio/sfx.h"
#include "engine/image_table.h"
#include "engine/input_events.h"
#include "game/board.h"
#include "game/computer_players.h"
#include "game/key_codes.h"
#include "game/key_names.h"
#include "game/music_request.h"
#include "game/players.h"
#include "game/scores.h"
#include "game/sprite_make.h"
#include "game/turn_keys.h"
#include "game/tweens.h"

#include <array>

int32_t menu_first_sprite;
int32_t controls_first_sprite;
int32_t menu_x, menu_y;
int32_t sound_x, sound_y;
MenuRemap menu_remap{-1, 0, {}};

namespace {

constexpr int32_t BOARD_MIDDLE_X = 300, BOARD_MIDDLE_Y = 240;
constexpr int32_t SOUND_PANEL_Y = 440;
// The player-count marker stands left of the chosen count's key: menu_x + 25 n - 29.
constexpr int32_t COUNT_MARKER_PITCH = 25, COUNT_MARKER_LEFT = -29, COUNT_MARKER_TOP = 39;
constexpr int32_t MUSIC_MARKER_X = 7, EFFECTS_MARKER_X = 33, SOUND_MARKER_Y = 4;
constexpr int32_t CONTROLS_WIDTH = 40, CONTROLS_HEIGHT = 32;
constexpr std::array<const char*, PLAYER_SLOTS> CONTROLS_IMAGES = {"controls001.png", "controls002.png",
                                                                   "controls003.png", "controls004.png"};
// By strength (easy, normal, hard) and slot: one, two or three lit eyes.
constexpr std::array<std::array<const char*, PLAYER_SLOTS>, COMPUTER_STRENGTHS> COMPUTER_IMAGES = {{
    {"computereasy001.png", "computereasy002.png", "computereasy003.png", "computereasy004.png"},
    {"computer001.png", "computer002.png", "computer003.png", "computer004.png"},
    {"computerhard001.png", "computerhard002.png", "computerhard003.png", "computerhard004.png"},
}};
// The remapping's prompt stands over the board's upper middle, clear of the menu panel.
constexpr int32_t REMAP_PROMPT_X = 225, REMAP_PROMPT_Y = 112;
constexpr int32_t KEY_ASK_MARGIN = 2; // the ring's edge outside the cap's face
constexpr int32_t REFUSED_TICKS = 40;

// The control set whose keys each slot's caps show, or -1 for blank caps.
std::array<int32_t, PLAYER_SLOTS> caps_from = {0, 1, 2, 3};

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

int32_t cap_x(int32_t side) {
    return CONTROLS_X + (side == 0 ? CONTROLS_CAP_LEFT_X : CONTROLS_CAP_RIGHT_X);
}
int32_t cap_y(int32_t slot) {
    return CONTROLS_TOP + CONTROLS_PITCH * slot + CONTROLS_CAP_Y;
}

int32_t key_label_image(const PlayerControl& control) {
    const KeyName* key = key_name_find(control.kind, control.code);
    return key ? image_find(key_image_name(*key).data()) : -1;
}

// Each active slot shows who steers it: the computer at its strength, or blank caps with the
// labels of the slot's keys laid on them.
void controls_refresh() {
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot) {
        const bool shown = slot < player_count;
        const bool computer = computer_steers(slot);
        if (Sprite* s = menu_sprite(MENU_CONTROLS + slot)) {
            s->image = image_find(computer ? COMPUTER_IMAGES[computer_slots[slot] - COMPUTER_EASY][slot]
                                           : CONTROLS_IMAGES[slot]);
            s->visible = shown;
        }
        for (int32_t side = 0; side < 2; ++side) {
            if (Sprite* label = menu_sprite(MENU_KEY_LABELS + 2 * slot + side)) {
                const int32_t set = caps_from[slot];
                label->image = set >= 0 ? key_label_image(player_controls[2 * set + side]) : -1;
                label->visible = shown && !computer;
            }
        }
    }
}

// The prompt and the ring show which key of which player is asked for.
void remap_show() {
    const bool asking = menu_remap.slot >= 0;
    const int32_t side = menu_remap.left_given ? 1 : 0;
    if (Sprite* prompt = menu_sprite(MENU_REMAP_PROMPT)) {
        prompt->image = image_find(side == 0 ? "remapleft.png" : "remapright.png");
        prompt->visible = asking;
    }
    if (Sprite* ring = menu_sprite(MENU_KEY_ASK)) {
        ring->visible = asking;
        ring->x = cap_x(side) - KEY_ASK_MARGIN;
        ring->y = cap_y(asking ? menu_remap.slot : 0) - KEY_ASK_MARGIN;
    }
    if (!asking) menu_sprite_show(MENU_KEY_REFUSED, 0);
}

void remap_begin(int32_t slot) {
    menu_remap = {slot, 0, {}};
    remap_show();
}

void remap_end() {
    menu_remap.slot = -1;
    remap_show();
}

// The refusal sign stands on the asked cap for a moment.
void remap_refuse() {
    Sprite* sign = menu_sprite(MENU_KEY_REFUSED);
    if (!sign) return;
    sign->visible = 1;
    sign->x = cap_x(menu_remap.left_given ? 1 : 0);
    sign->y = cap_y(menu_remap.slot);
    Tween* t = tween_add(sign);
    t->frames_left = REFUSED_TICKS;
    t->hide_at_end = 1;
}

// A press while a slot's keys are asked for: Escape keeps the old keys, a free key is taken,
// anything else is refused with the sign.
MenuAction remap_input(const InputEvent& e) {
    if (e.kind == EVENT_KEY && e.code == KEY_ESCAPE) {
        remap_end();
        return MenuAction::none;
    }
    if (e.kind != EVENT_KEY && e.kind != EVENT_MOUSE_BUTTON) return MenuAction::none;
    const TurnKey key{e.kind, e.code};
    const bool same_as_left =
        menu_remap.left_given && menu_remap.left.kind == key.kind && menu_remap.left.code == key.code;
    if (same_as_left || turn_key_refusal(menu_remap.slot, key.kind, key.code) != TURN_KEY_FREE) {
        remap_refuse();
        return MenuAction::none;
    }
    menu_sprite_show(MENU_KEY_REFUSED, 0);
    if (!menu_remap.left_given) {
        menu_remap.left_given = 1;
        menu_remap.left = key;
        remap_show();
        return MenuAction::none;
    }
    turn_keys_set(menu_remap.slot, menu_remap.left, key);
    remap_end();
    controls_refresh();
    return MenuAction::none;
}

MenuAction players_choose(int32_t n, int32_t) {
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

MenuAction level_previous(int32_t, int32_t) {
    return level_choose(current_level == 0 ? LEVEL_COUNT - 1 : current_level - 1);
}
MenuAction level_next(int32_t, int32_t) {
    return level_choose((current_level + 1) % LEVEL_COUNT);
}

MenuAction start(int32_t, int32_t) {
    return MenuAction::start;
}

// Only a shown picture answers: the slots beyond the player count have none. A left click steps
// who steers the slot; a right click on a person's keys asks for new ones.
MenuAction controls_click(int32_t slot, int32_t button) {
    if (slot >= player_count) return MenuAction::none;
    if (button == MOUSE_RIGHT && !computer_steers(slot)) {
        remap_begin(slot);
        return MenuAction::none;
    }
    computer_switch(slot);
    controls_refresh();
    return MenuAction::none;
}

MenuAction effects_switch(int32_t, int32_t) {
    sfx_enabled = sfx_enabled == 1 ? 0 : 1;
    menu_sprite_show(MENU_EFFECTS_MARKER, sfx_enabled);
    return MenuAction::none;
}

MenuAction music_switch(int32_t, int32_t) {
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
// argument and the button.
struct HitArea {
    Origin origin;
    int32_t left, top, right, bottom;
    MenuAction (*action)(int32_t argument, int32_t button);
    int32_t argument;
};

constexpr HitArea controls_area(int32_t slot) {
    const int32_t top = CONTROLS_TOP + CONTROLS_PITCH * slot;
    return {Origin::screen, CONTROLS_X, top, CONTROLS_X + CONTROLS_WIDTH - 1, top + CONTROLS_HEIGHT - 1,
            controls_click, slot};
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
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        for (int32_t side = 0; side < 2; ++side)
            sprite_make(nullptr, cap_x(side), cap_y(slot), 1.0f, 0);
    sprite_make("remapleft.png", REMAP_PROMPT_X, REMAP_PROMPT_Y, 1.0f, 0);
    sprite_make("keyask.png", 0, 0, 1.0f, 0);
    sprite_make("keyrefused.png", 0, 0, 1.0f, 0);
    menu_remap = {-1, 0, {}}; // whole, so every machine of a room starts its menu alike
    scores_set_player_count(player_count);
    controls_refresh();
}

bool menu_remapping() {
    return menu_remap.slot >= 0;
}

MenuAction menu_input(const InputEvent& e) {
    if (menu_remap.slot >= 0) return remap_input(e);
    if (e.kind == EVENT_MOUSE_BUTTON) {
        // The areas do not overlap: at most one acts.
        for (const HitArea& area : HIT_AREAS)
            if (hit(area, e.x, e.y)) return area.action(area.argument, e.code);
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

bool menu_keys_hit(int32_t x, int32_t y) {
    for (const HitArea& area : HIT_AREAS)
        if (area.action == controls_click && hit(area, x, y)) return true;
    return false;
}

void menu_caps_for_room(bool in_room, uint32_t seat_mask) {
    int32_t next_set = 0;
    for (int32_t slot = 0; slot < PLAYER_SLOTS; ++slot)
        caps_from[slot] = !in_room ? slot : (seat_mask >> slot & 1u) ? next_set++ : -1;
}

void menu_steering_set(int32_t slot, bool computer) {
    if (slot < 0 || slot >= PLAYER_SLOTS) return; // a seat the server named, checked here too
    // A step of the menu's own switch would give an easy computer, and a person back only after the
    // hard one; a seat left to the computer plays as the game's usual one.
    if (computer_steers(slot) != computer) computer_slots[slot] = computer ? COMPUTER_NORMAL : COMPUTER_NONE;
    if (sprite_count > controls_first_sprite) controls_refresh(); // only while the menu is open
}
