// Where a touch screen shows the players' turn buttons and the Escape button, and which of them a
// finger lands on. Plain arithmetic in page pixels (CSS pixels in a browser), shared by every
// backend that has touch screens and checked natively.
//
// Each person's pair (turn left, turn right) sits in a corner of the page, in the letterbox bar
// where the bar leaves room, else over the picture's edge. Up to two people take the bottom
// corners (one person alone gets a button at each bottom corner, for two thumbs); three or four
// take the corners clockwise from the bottom left, and the pairs at the top are turned upside
// down for the people across a tablet lying flat. The Escape button sits in the middle of the
// top edge, the one place no pair is.
//
// A phone used as a room's controller shows no picture: its one pair fills the page below a
// caption band, turn left on the left half and turn right on the right, upright or sideways
// alike (a thumb each side), and it has no Escape button.
#pragma once
#include <array>
#include <cstdint>

constexpr int32_t TOUCH_SLOTS = 4;
constexpr float TOUCH_BUTTON_MIN = 48; // a fingertip: about 9 mm
constexpr float TOUCH_BUTTON_MAX = 96;
constexpr float TOUCH_MARGIN = 8; // from the page's edge and between the two of a pair
constexpr float TOUCH_ESCAPE_SIZE = 48;
constexpr float TOUCH_CAPTION_HEIGHT = 56; // the controller's line above its buttons

struct TouchRect {
    float x, y, width, height;
};

struct TurnButton {
    int32_t slot;      // 0..3: the control set it presses
    int32_t direction; // -1 left, +1 right
    TouchRect rect;
    bool upside_down; // faces the far side of the page
    int32_t seat;     // 0..3: the player it shows (colour and number)
};

struct TouchLayout {
    std::array<TurnButton, 2 * TOUCH_SLOTS> buttons;
    int32_t count;
    TouchRect escape;
};

// The buttons of the people in `seats` (bit n: slot n) on a page of that size, around the
// picture (the letterboxed 640 x 480 screen) at `picture`.
TouchLayout touch_layout(float page_width, float page_height, TouchRect picture, uint32_t seats);

// The controller's pair for the player in `seat`, pressing the machine's first control set (the
// room sends that set's turns to the machine's seat).
TouchLayout touch_controller_layout(float page_width, float page_height, int32_t seat);

constexpr int32_t TOUCH_ESCAPE = -1, TOUCH_ELSEWHERE = -2;

// What a finger put down at (x, y) presses: a button's index in layout.buttons, TOUCH_ESCAPE,
// or TOUCH_ELSEWHERE (a tap on the picture: the click it stands for).
int32_t touch_target(const TouchLayout& layout, float x, float y);
