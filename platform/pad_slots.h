// Game pads, shared by every backend: up to four pads, numbered 1 to 4 in the order they were
// connected; pad n steers player n. A pad press becomes exactly the press its player makes on
// the keyboard or mouse, through the same window handlers, so nothing above the platform knows
// pads exist:
//   turn left  (left shoulder, d-pad left, west face button):  Q, Left arrow, left button, U
//   turn right (right shoulder, d-pad right, east face button): W, Right arrow, right button, I
// or the keys the game has since given that player (pad_turns_set).
//   south face button and Start: Return;  Back: Escape.
// Pad 3 clicks at a point far outside any window, so the click lands outside the virtual
// screen and no menu area takes it. Releases, other buttons, sticks and triggers make nothing.
// A pad that leaves frees its number at once; a pad beyond the fourth waits, and the first of
// the waiting pads takes the next number that is freed.
// Backends only report devices coming and going and the buttons they hold. Main thread only.
#pragma once
#include "platform/window.h"

#include <cstdint>

constexpr int PAD_NUMBER_COUNT = 4;
constexpr int PAD_DEVICE_CAPACITY = 8; // connected devices followed, numbered or waiting

// Buttons as bits of a held mask, named by position so every pad layout maps onto them.
constexpr uint32_t PAD_SOUTH = 1u << 0;
constexpr uint32_t PAD_EAST = 1u << 1;
constexpr uint32_t PAD_WEST = 1u << 2;
constexpr uint32_t PAD_NORTH = 1u << 3;
constexpr uint32_t PAD_LEFT_SHOULDER = 1u << 4;
constexpr uint32_t PAD_RIGHT_SHOULDER = 1u << 5;
constexpr uint32_t PAD_DPAD_UP = 1u << 6;
constexpr uint32_t PAD_DPAD_DOWN = 1u << 7;
constexpr uint32_t PAD_DPAD_LEFT = 1u << 8;
constexpr uint32_t PAD_DPAD_RIGHT = 1u << 9;
constexpr uint32_t PAD_START = 1u << 10;
constexpr uint32_t PAD_BACK = 1u << 11;
constexpr uint32_t PAD_GUIDE = 1u << 12;
constexpr uint32_t PAD_LEFT_STICK = 1u << 13;
constexpr uint32_t PAD_RIGHT_STICK = 1u << 14;
constexpr uint32_t PAD_DPAD = PAD_DPAD_UP | PAD_DPAD_DOWN | PAD_DPAD_LEFT | PAD_DPAD_RIGHT;
constexpr uint32_t PAD_ALL_BUTTONS = (1u << 15) - 1;

// Pad 3's click position in client pixels: beyond the right and bottom of any real window.
constexpr uint16_t PAD_CLICK_OUTSIDE = 0xFFFF;

// A turn press of a pad: a key code, or a mouse button.
struct PadTurn {
    bool mouse;
    int code;
};
// Called by the game when player `number` (1..4) is given other turn keys: its pad presses
// those from now on.
void pad_turns_set(int number, PadTurn left, PadTurn right);

// Called by virtual_platform_reset: no devices, and every player's own turn keys.
void pads_reset();

// Called when a device appears (also for devices present at start-up). False when it is not
// newly followed: already known, or all PAD_DEVICE_CAPACITY entries taken (the backend then
// leaves it alone).
bool pad_connect(int32_t device);

// Called when a device goes away; its number passes to the first waiting device, if any.
// False when the device was not followed.
bool pad_disconnect(int32_t device);

// The device's buttons in `changed` are now as in `held`. Each newly held button that means
// something to its player calls the handlers once. With null handlers (the window is in the
// background) the buttons are only recorded, so a button held while away presses nothing later.
void pad_buttons(int32_t device, uint32_t changed, uint32_t held, const WindowHandlers* handlers);

// 1..4, or 0 for a device that waits for a number or is not followed.
int pad_number(int32_t device);
