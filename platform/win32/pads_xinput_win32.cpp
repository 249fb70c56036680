#include "pads_xinput_win32.h"

#include "platform/clock.h"
#include "platform/pad_slots.h"

#include <xinput.h>

#include <array>
#include <cstdio>

namespace {

constexpr std::array<const char*, 2> XINPUT_LIBRARIES{"xinput1_4.dll", "xinput9_1_0.dll"};
constexpr int64_t EMPTY_SLOT_PROBE_MS = 250; // so each of the four is asked once a second

using GetState = DWORD(WINAPI*)(DWORD slot, XINPUT_STATE* state);

struct ButtonBit {
    WORD xinput;
    uint32_t pad;
};
constexpr std::array<ButtonBit, 14> button_bits{{
    {XINPUT_GAMEPAD_A, PAD_SOUTH},
    {XINPUT_GAMEPAD_B, PAD_EAST},
    {XINPUT_GAMEPAD_X, PAD_WEST},
    {XINPUT_GAMEPAD_Y, PAD_NORTH},
    {XINPUT_GAMEPAD_LEFT_SHOULDER, PAD_LEFT_SHOULDER},
    {XINPUT_GAMEPAD_RIGHT_SHOULDER, PAD_RIGHT_SHOULDER},
    {XINPUT_GAMEPAD_DPAD_UP, PAD_DPAD_UP},
    {XINPUT_GAMEPAD_DPAD_DOWN, PAD_DPAD_DOWN},
    {XINPUT_GAMEPAD_DPAD_LEFT, PAD_DPAD_LEFT},
    {XINPUT_GAMEPAD_DPAD_RIGHT, PAD_DPAD_RIGHT},
    {XINPUT_GAMEPAD_START, PAD_START},
    {XINPUT_GAMEPAD_BACK, PAD_BACK},
    {XINPUT_GAMEPAD_LEFT_THUMB, PAD_LEFT_STICK},
    {XINPUT_GAMEPAD_RIGHT_THUMB, PAD_RIGHT_STICK},
}};

bool load_tried = false;
GetState get_state = nullptr;
std::array<bool, XUSER_MAX_COUNT> connected{};
DWORD next_probe_slot = 0;
int64_t next_probe_ms = 0;

// The system's own copy only, by full path: never a file of that name beside the exe.
GetState load_get_state() {
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    for (const char* name : XINPUT_LIBRARIES) {
        char path[MAX_PATH * 2];
        std::snprintf(path, sizeof path, "%s\\%s", directory, name);
        const HMODULE library = LoadLibraryA(path);
        if (!library) continue;
        if (const FARPROC found = GetProcAddress(library, "XInputGetState"))
            return reinterpret_cast<GetState>(reinterpret_cast<void*>(found));
        FreeLibrary(library);
    }
    return nullptr;
}

// Reads one slot and reports what changed: the pad coming or going, and its buttons.
void read_slot(DWORD slot, const WindowHandlers* handlers) {
    XINPUT_STATE state{};
    if (get_state(slot, &state) != ERROR_SUCCESS) {
        if (connected[slot]) pad_disconnect(static_cast<int32_t>(slot));
        connected[slot] = false;
        return;
    }
    if (!connected[slot]) pad_connect(static_cast<int32_t>(slot));
    connected[slot] = true;
    uint32_t held = 0;
    for (const ButtonBit& bit : button_bits)
        if (state.Gamepad.wButtons & bit.xinput) held |= bit.pad;
    pad_buttons(static_cast<int32_t>(slot), PAD_ALL_BUTTONS, held, handlers);
}

} // namespace

void pads_xinput_poll(HWND window, const WindowHandlers& handlers) {
    if (!load_tried) {
        load_tried = true;
        get_state = load_get_state();
    }
    if (!get_state) return;
    const WindowHandlers* to = window && GetForegroundWindow() == window ? &handlers : nullptr;
    for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot)
        if (connected[slot]) read_slot(slot, to);
    const int64_t now = platform_clock_ms();
    if (now < next_probe_ms) return;
    next_probe_ms = now + EMPTY_SLOT_PROBE_MS;
    for (DWORD i = 0; i < XUSER_MAX_COUNT; ++i) {
        const DWORD slot = (next_probe_slot + i) % XUSER_MAX_COUNT;
        if (!connected[slot]) {
            read_slot(slot, to);
            next_probe_slot = slot + 1;
            return;
        }
    }
}
