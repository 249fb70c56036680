// Stands in for the system's xinput1_4.dll in the Windows pad check: four slots whose pads the
// check plugs in, presses and pulls out itself, and a count of how often each slot was asked.
// Built as a DLL with the mingw-w64 compiler; lives only in the check's own wine prefix.
#include <windows.h>

namespace {

constexpr DWORD SLOTS = 4;

// The layout of XINPUT_STATE.
struct PadState {
    DWORD packet;
    WORD buttons;
    BYTE left_trigger, right_trigger;
    SHORT left_x, left_y, right_x, right_y;
};

PadState states[SLOTS];
BOOL present[SLOTS];
LONG asked[SLOTS];

} // namespace

extern "C" __declspec(dllexport) DWORD WINAPI XInputGetState(DWORD slot, PadState* state) {
    if (slot >= SLOTS || !state) return ERROR_BAD_ARGUMENTS;
    ++asked[slot];
    if (!present[slot]) return ERROR_DEVICE_NOT_CONNECTED;
    *state = states[slot];
    return ERROR_SUCCESS;
}

// Sticks and triggers all the way when `pushed`, at rest otherwise.
extern "C" __declspec(dllexport) void fake_xinput_set(DWORD slot, BOOL is_present, WORD buttons,
                                                      BOOL pushed) {
    if (slot >= SLOTS) return;
    present[slot] = is_present;
    const SHORT stick = pushed ? 32767 : 0;
    const BYTE trigger = pushed ? 255 : 0;
    states[slot] = {states[slot].packet + 1, buttons, trigger, trigger, stick, stick, stick, stick};
}

extern "C" __declspec(dllexport) LONG fake_xinput_asked(DWORD slot) {
    return slot < SLOTS ? asked[slot] : 0;
}
