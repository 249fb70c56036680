// Game pads in a browser: the Gamepad API, read once per idle poll. Pads the browser maps to the
// standard layout are read by their positions; others by their first buttons in the order most
// pads report them, as the desktop reads a joystick it knows no mapping for. Pads come and go as
// the browser lists them; the slot number is the device.
#include "platform/pad_slots.h"
#include "web_page.h"

#include <emscripten/html5.h>

#include <array>
#include <cstring>

namespace {

constexpr int SLOT_CAPACITY = 8;

// The standard mapping's buttons 0 to 16.
constexpr std::array<uint32_t, 17> standard_buttons{
    PAD_SOUTH,
    PAD_EAST,
    PAD_WEST,
    PAD_NORTH,
    PAD_LEFT_SHOULDER,
    PAD_RIGHT_SHOULDER,
    0,
    0, // the triggers make nothing
    PAD_BACK,
    PAD_START,
    PAD_LEFT_STICK,
    PAD_RIGHT_STICK,
    PAD_DPAD_UP,
    PAD_DPAD_DOWN,
    PAD_DPAD_LEFT,
    PAD_DPAD_RIGHT,
    PAD_GUIDE,
};

constexpr std::array<uint32_t, 8> unmapped_buttons{
    PAD_SOUTH, PAD_EAST, PAD_WEST, PAD_NORTH, PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER, PAD_BACK, PAD_START,
};

std::array<bool, SLOT_CAPACITY> connected{};

uint32_t held_buttons(const EmscriptenGamepadEvent& pad) {
    const bool standard = std::strcmp(pad.mapping, "standard") == 0;
    uint32_t held = 0;
    for (int i = 0; i < pad.numButtons; ++i) {
        if (!pad.digitalButton[i]) continue;
        if (standard && i < static_cast<int>(standard_buttons.size())) held |= standard_buttons[i];
        if (!standard && i < static_cast<int>(unmapped_buttons.size())) held |= unmapped_buttons[i];
    }
    return held;
}

} // namespace

void web_pads_poll(const WindowHandlers* handlers) {
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
    const int count = emscripten_get_num_gamepads();
    for (int slot = 0; slot < SLOT_CAPACITY; ++slot) {
        EmscriptenGamepadEvent pad{};
        const bool present = slot < count &&
                             emscripten_get_gamepad_status(slot, &pad) == EMSCRIPTEN_RESULT_SUCCESS &&
                             pad.connected;
        if (present && !connected[slot]) connected[slot] = pad_connect(slot);
        if (!present && connected[slot]) {
            pad_disconnect(slot);
            connected[slot] = false;
        }
        if (connected[slot]) pad_buttons(slot, PAD_ALL_BUTTONS, held_buttons(pad), handlers);
    }
}
