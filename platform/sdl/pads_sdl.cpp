#include "pads_sdl.h"

#include "pad_test_feed_sdl.h"
#include "platform/pad_slots.h"

#include <array>

namespace {

// The game-controller layer's buttons, in its own order.
constexpr std::array<uint32_t, SDL_CONTROLLER_BUTTON_MAX> controller_buttons{
    PAD_SOUTH,          PAD_EAST,    PAD_WEST,       PAD_NORTH,       PAD_BACK,
    PAD_GUIDE,          PAD_START,   PAD_LEFT_STICK, PAD_RIGHT_STICK, PAD_LEFT_SHOULDER,
    PAD_RIGHT_SHOULDER, PAD_DPAD_UP, PAD_DPAD_DOWN,  PAD_DPAD_LEFT,   PAD_DPAD_RIGHT,
    // the extra buttons some pads have mean nothing here
};

// A joystick SDL knows no mapping for: its first buttons in the order most pads report them.
constexpr std::array<uint32_t, 8> joystick_buttons{
    PAD_SOUTH, PAD_EAST, PAD_WEST, PAD_NORTH, PAD_LEFT_SHOULDER, PAD_RIGHT_SHOULDER, PAD_BACK, PAD_START,
};

uint32_t hat_buttons(Uint8 hat) {
    return (hat & SDL_HAT_UP ? PAD_DPAD_UP : 0) | (hat & SDL_HAT_DOWN ? PAD_DPAD_DOWN : 0) |
           (hat & SDL_HAT_LEFT ? PAD_DPAD_LEFT : 0) | (hat & SDL_HAT_RIGHT ? PAD_DPAD_RIGHT : 0);
}

// Opens the device for its events, through the game-controller layer when SDL has a mapping.
void open_device(int device_index) {
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
    if (id < 0 || !pad_connect(id)) return;
    const bool opened = SDL_IsGameController(device_index) ? SDL_GameControllerOpen(device_index) != nullptr
                                                           : SDL_JoystickOpen(device_index) != nullptr;
    if (!opened) pad_disconnect(id);
}

void close_device(SDL_JoystickID id) {
    if (!pad_disconnect(id)) return; // not ours: never opened here
    if (SDL_GameController* controller = SDL_GameControllerFromInstanceID(id))
        SDL_GameControllerClose(controller);
    else if (SDL_Joystick* joystick = SDL_JoystickFromInstanceID(id))
        SDL_JoystickClose(joystick);
}

// Joystick events of a device read through the game-controller layer come twice; the
// layer's own are the ones that count.
bool is_plain_joystick(SDL_JoystickID id) {
    return SDL_GameControllerFromInstanceID(id) == nullptr;
}

} // namespace

void pads_sdl_start() {
    // Face buttons by where they sit (south, east, west), whatever is printed on them.
    SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;
    pad_test_feed_start();
}

void pads_sdl_event(const SDL_Event& e, const WindowHandlers& handlers) {
    switch (e.type) {
    case SDL_JOYDEVICEADDED:
        open_device(e.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED:
        close_device(e.jdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (e.cbutton.button < controller_buttons.size()) {
            const uint32_t button = controller_buttons[e.cbutton.button];
            pad_buttons(e.cbutton.which, button, e.cbutton.state == SDL_PRESSED ? button : 0, &handlers);
        }
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (e.jbutton.button < joystick_buttons.size() && is_plain_joystick(e.jbutton.which)) {
            const uint32_t button = joystick_buttons[e.jbutton.button];
            pad_buttons(e.jbutton.which, button, e.jbutton.state == SDL_PRESSED ? button : 0, &handlers);
        }
        break;
    case SDL_JOYHATMOTION:
        if (e.jhat.hat == 0 && is_plain_joystick(e.jhat.which))
            pad_buttons(e.jhat.which, PAD_DPAD, hat_buttons(e.jhat.value), &handlers);
        break;
    default:
        break; // sticks, triggers and the rest make nothing
    }
}

void pads_sdl_idle() {
    pad_test_feed_poll();
}
