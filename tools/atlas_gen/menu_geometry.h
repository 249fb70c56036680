// Where the menu's buttons lie inside their images. The game draws "menubg.png" and
// "menutext.png" at (245, 157) and "soundmenu.png" at (270, 440), and tests mouse clicks
// against fixed screen areas; every key below is those areas moved into image coordinates.
// A key is a face (the footprint of the 19 x 22 red marker where the game puts one) plus a
// raised side of depth_x by depth_y pixels, so face and side together cover the click area.
#pragma once
#include "game/menu.h"

struct MenuKey {
    int face_x0, face_y0, face_x1, face_y1; // inclusive pixel range of the face
    int depth_x, depth_y;
};

constexpr int MENU_X = 245, MENU_Y = 157; // screen position of the menu images
constexpr int SOUND_X = 270, SOUND_Y = 440;
constexpr int MENU_WIDTH = 111, MENU_HEIGHT = 167;
constexpr int SOUND_WIDTH = 60, SOUND_HEIGHT = 30;
constexpr int MARKER_WIDTH = 19, MARKER_HEIGHT = 22;

// Player-count areas x 267..289, 292..314, 317..339, y 197..219; markers at x 266/291/316, y 196.
constexpr MenuKey PLAYER_COUNT_KEYS[3] = {
    {21, 39, 39, 60, 5, 2}, {46, 39, 64, 60, 5, 2}, {71, 39, 89, 60, 5, 2}};
// Level areas x 275..296 and 302..321, y 259..273.
constexpr MenuKey LEVEL_PREVIOUS_KEY = {29, 101, 48, 114, 3, 2};
constexpr MenuKey LEVEL_NEXT_KEY = {56, 101, 73, 114, 3, 2};
// Start area x 268..330, y 289..311.
constexpr MenuKey START_KEY = {22, 131, 81, 151, 4, 3};
// Sound areas x 278..300 (music) and 304..326 (effects), y 445..467; markers at (277, 444), (303, 444).
constexpr MenuKey MUSIC_KEY = {7, 4, 25, 25, 5, 2};
constexpr MenuKey EFFECTS_KEY = {33, 4, 51, 25, 5, 2};
// The two key caps of a 40 x 32 controls picture; the game lays the chosen keys' labels, one
// face in size, on the faces.
constexpr MenuKey CONTROL_KEYS[2] = {{3, 6, 17, 23, 2, 3}, {21, 6, 35, 23, 2, 3}};
constexpr int CAP_FACE_WIDTH = 15, CAP_FACE_HEIGHT = 18;
static_assert(CONTROL_KEYS[0].face_x0 == CONTROLS_CAP_LEFT_X &&
              CONTROL_KEYS[1].face_x0 == CONTROLS_CAP_RIGHT_X && CONTROL_KEYS[0].face_y0 == CONTROLS_CAP_Y);
static_assert(CONTROL_KEYS[0].face_x1 - CONTROL_KEYS[0].face_x0 + 1 == CAP_FACE_WIDTH &&
              CONTROL_KEYS[0].face_y1 - CONTROL_KEYS[0].face_y0 + 1 == CAP_FACE_HEIGHT);
// The remapping's prompt over the board.
constexpr int REMAP_PROMPT_WIDTH = 150, REMAP_PROMPT_HEIGHT = 36;

constexpr double face_centre_x(const MenuKey& k) {
    return (k.face_x0 + k.face_x1 + 1) / 2.0;
}
constexpr double face_centre_y(const MenuKey& k) {
    return (k.face_y0 + k.face_y1 + 1) / 2.0;
}

// The click area a key answers to, in screen pixels (inclusive): everything inside its outline.
struct ScreenArea {
    int x0, y0, x1, y1;
};
constexpr ScreenArea key_area(const MenuKey& k, int image_x, int image_y) {
    return {image_x + k.face_x0 + 1, image_y + k.face_y0 + 1, image_x + k.face_x1 + k.depth_x,
            image_y + k.face_y1 + k.depth_y};
}
constexpr bool area_is(ScreenArea a, int x0, int y0, int x1, int y1) {
    return a.x0 == x0 && a.y0 == y0 && a.x1 == x1 && a.y1 == y1;
}
static_assert(area_is(key_area(PLAYER_COUNT_KEYS[0], MENU_X, MENU_Y), 267, 197, 289, 219));
static_assert(area_is(key_area(PLAYER_COUNT_KEYS[1], MENU_X, MENU_Y), 292, 197, 314, 219));
static_assert(area_is(key_area(PLAYER_COUNT_KEYS[2], MENU_X, MENU_Y), 317, 197, 339, 219));
static_assert(area_is(key_area(LEVEL_PREVIOUS_KEY, MENU_X, MENU_Y), 275, 259, 296, 273));
static_assert(area_is(key_area(LEVEL_NEXT_KEY, MENU_X, MENU_Y), 302, 259, 321, 273));
static_assert(area_is(key_area(START_KEY, MENU_X, MENU_Y), 268, 289, 330, 311));
static_assert(area_is(key_area(MUSIC_KEY, SOUND_X, SOUND_Y), 278, 445, 300, 467));
static_assert(area_is(key_area(EFFECTS_KEY, SOUND_X, SOUND_Y), 304, 445, 326, 467));
// The marker's top-left: the player-count marker sits at (245 + 25 n - 29, 196), the sound
// markers at the sound menu's (7, 4) and (33, 4); each covers its key's face exactly.
static_assert(PLAYER_COUNT_KEYS[0].face_x0 == 25 * 2 - 29 && PLAYER_COUNT_KEYS[2].face_x0 == 25 * 4 - 29);
static_assert(PLAYER_COUNT_KEYS[0].face_y0 == 39 && MUSIC_KEY.face_x0 == 7 && EFFECTS_KEY.face_x0 == 33);
static_assert(PLAYER_COUNT_KEYS[0].face_x1 - PLAYER_COUNT_KEYS[0].face_x0 + 1 == MARKER_WIDTH &&
              PLAYER_COUNT_KEYS[0].face_y1 - PLAYER_COUNT_KEYS[0].face_y0 + 1 == MARKER_HEIGHT);
static_assert(MUSIC_KEY.face_y1 - MUSIC_KEY.face_y0 + 1 == MARKER_HEIGHT);
