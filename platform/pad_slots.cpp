#include "platform/pad_slots.h"

#include <array>

namespace {

// A followed device; the table keeps them in the order they were connected.
struct PadDevice {
    int32_t device;
    int32_t number; // 1..4, or 0 while it waits for one
    uint32_t held;
};

std::array<PadDevice, PAD_DEVICE_CAPACITY> pad_devices;
int pad_device_count = 0;

constexpr int KEY_RETURN = 0x0D, KEY_ESCAPE = 0x1B, KEY_LEFT = 0x25, KEY_RIGHT = 0x27;

// What each player turns with: key codes, or mouse buttons.
struct PlayerTurns {
    PadTurn left, right;
};
constexpr std::array<PlayerTurns, PAD_NUMBER_COUNT> OWN_TURNS{{
    {{false, 'Q'}, {false, 'W'}},
    {{false, KEY_LEFT}, {false, KEY_RIGHT}},
    {{true, 0}, {true, 1}},
    {{false, 'U'}, {false, 'I'}},
}};
std::array<PlayerTurns, PAD_NUMBER_COUNT> player_turns = OWN_TURNS;

constexpr uint32_t TURN_LEFT = PAD_LEFT_SHOULDER | PAD_DPAD_LEFT | PAD_WEST;
constexpr uint32_t TURN_RIGHT = PAD_RIGHT_SHOULDER | PAD_DPAD_RIGHT | PAD_EAST;
constexpr uint32_t CONFIRM = PAD_SOUTH | PAD_START;
constexpr uint32_t LEAVE = PAD_BACK;

PadDevice* find(int32_t device) {
    for (int i = 0; i < pad_device_count; ++i)
        if (pad_devices[i].device == device) return &pad_devices[i];
    return nullptr;
}

int lowest_free_number() {
    for (int n = 1; n <= PAD_NUMBER_COUNT; ++n) {
        bool taken = false;
        for (int i = 0; i < pad_device_count; ++i)
            taken = taken || pad_devices[i].number == n;
        if (!taken) return n;
    }
    return 0;
}

void key(const WindowHandlers& h, int code) {
    if (h.key_down) h.key_down(code);
}

// One press of one button by pad `number`.
void press(int number, uint32_t button, const WindowHandlers& h) {
    const PlayerTurns& player = player_turns[number - 1];
    if (button & CONFIRM) {
        key(h, KEY_RETURN);
    } else if (button & LEAVE) {
        key(h, KEY_ESCAPE);
    } else if (button & (TURN_LEFT | TURN_RIGHT)) {
        const PadTurn turn = button & TURN_RIGHT ? player.right : player.left;
        if (!turn.mouse)
            key(h, turn.code);
        else if (h.button_down)
            h.button_down(turn.code, PAD_CLICK_OUTSIDE, PAD_CLICK_OUTSIDE);
    }
}

} // namespace

void pad_turns_set(int number, PadTurn left, PadTurn right) {
    if (number >= 1 && number <= PAD_NUMBER_COUNT) player_turns[number - 1] = {left, right};
}

void pads_reset() {
    pad_device_count = 0;
    player_turns = OWN_TURNS;
}

bool pad_connect(int32_t device) {
    if (find(device) || pad_device_count == PAD_DEVICE_CAPACITY) return false;
    const int32_t number = lowest_free_number();
    pad_devices[pad_device_count++] = {device, number, 0};
    return true;
}

bool pad_disconnect(int32_t device) {
    PadDevice* gone = find(device);
    if (!gone) return false;
    const int32_t freed = gone->number;
    for (auto i = gone - pad_devices.data(); i + 1 < pad_device_count; ++i)
        pad_devices[i] = pad_devices[i + 1];
    --pad_device_count;
    for (int i = 0; i < pad_device_count && freed != 0; ++i) {
        if (pad_devices[i].number == 0) {
            pad_devices[i].number = freed;
            break;
        }
    }
    return true;
}

void pad_buttons(int32_t device, uint32_t changed, uint32_t held, const WindowHandlers* handlers) {
    PadDevice* pad = find(device);
    if (!pad) return;
    const uint32_t pressed = changed & held & ~pad->held;
    pad->held = (pad->held & ~changed) | (held & changed);
    if (!handlers || pad->number == 0) return;
    for (uint32_t button = 1; button & PAD_ALL_BUTTONS; button <<= 1)
        if (pressed & button) press(pad->number, button, *handlers);
}

int pad_number(int32_t device) {
    const PadDevice* pad = find(device);
    return pad ? pad->number : 0;
}
