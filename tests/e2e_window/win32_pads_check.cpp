// Checks of the Windows pad reading: the window backend polls XInput from the system directory,
// where the test has put a stand-in (fake_xinput.cpp) whose pads this program plugs in, presses
// and pulls out. Built with the mingw-w64 compiler and run under wine on Xvfb; exit status 0
// when every check holds.
#include "platform/pad_slots.h"
#include "platform/window.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

int failures = 0;

void check(bool holds, const char* what) {
    std::printf("%s: %s\n", holds ? "ok  " : "FAIL", what);
    if (!holds) ++failures;
}

constexpr DWORD WAIT_MS = 10'000;
constexpr DWORD COST_WINDOW_MS = 1'000;
constexpr LONG MOST_EMPTY_SLOT_ASKS = 8; // one ask every 250 ms, with room for a late pass
constexpr WORD A = 0x1000, B = 0x2000, X = 0x4000;

std::vector<int> presses; // key codes, and 1000 + button for clicks
bool clicks_outside = true;

void on_key(int vk) {
    presses.push_back(vk);
}
void on_button(int button, uint16_t px, uint16_t py) {
    presses.push_back(1000 + button);
    clicks_outside = clicks_outside && px == PAD_CLICK_OUTSIDE && py == PAD_CLICK_OUTSIDE;
}

using Set = void (*)(DWORD slot, BOOL present, WORD buttons, BOOL pushed);
using Asked = LONG (*)(DWORD slot);
Set set_pad = nullptr;
Asked asked = nullptr;

// One pass of a main loop: a message, or the pad poll of an idle pass.
void pass() {
    int code = 0;
    if (platform_message_poll(&code) == MessagePoll::none) Sleep(1);
}

template <typename F>
bool passes_until(F done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > WAIT_MS) return false;
        pass();
    }
    return true;
}

LONG empty_slot_asks() {
    LONG total = 0;
    for (DWORD slot = 0; slot < 4; ++slot)
        total += asked(slot);
    return total;
}

bool stub_loaded() {
    const HMODULE stub = GetModuleHandleA("xinput1_4.dll");
    if (!stub) return false;
    set_pad = reinterpret_cast<Set>(reinterpret_cast<void*>(GetProcAddress(stub, "fake_xinput_set")));
    asked = reinterpret_cast<Asked>(reinterpret_cast<void*>(GetProcAddress(stub, "fake_xinput_asked")));
    return set_pad && asked;
}

// Presses `buttons` on a slot and waits until `count` presses in all have arrived.
bool press(DWORD slot, WORD buttons, size_t count, BOOL pushed = FALSE) {
    set_pad(slot, TRUE, buttons, pushed);
    return passes_until([&] { return presses.size() >= count; });
}

} // namespace

int main() {
    check(platform_window_class_register({nullptr, nullptr, on_key, on_button, nullptr, nullptr}),
          "the class registers");
    platform_window_create("pads", false, 640, 480, SW_SHOWNORMAL);
    const HWND window = FindWindowA("zubclass", nullptr);
    SetForegroundWindow(window);
    check(passes_until([&] { return GetForegroundWindow() == window; }), "the window is in front");
    if (!passes_until(stub_loaded)) {
        check(false, "the stand-in xinput1_4.dll of the system directory is loaded by the idle passes");
        return 1;
    }

    const LONG before = empty_slot_asks();
    const DWORD start = GetTickCount();
    int passes = 0;
    for (; GetTickCount() - start < COST_WINDOW_MS; ++passes)
        pass();
    const LONG asks = empty_slot_asks() - before;
    std::printf("%d passes in %lu ms asked empty slots %ld times\n", passes, COST_WINDOW_MS, asks);
    check(asks >= 2 && asks <= MOST_EMPTY_SLOT_ASKS,
          "with no pad, empty slots are asked only a few times a second");

    set_pad(2, TRUE, 0, FALSE);
    check(passes_until([] { return pad_number(2) == 1; }), "a pad plugged into slot 3 becomes pad 1");
    set_pad(0, TRUE, 0, FALSE);
    check(passes_until([] { return pad_number(0) == 2; }), "one plugged into slot 1 after it becomes pad 2");

    set_pad(3, TRUE, 0, FALSE);
    check(passes_until([] { return pad_number(3) == 3; }), "and one in slot 4 after those pad 3");

    check(press(2, B, 1) && presses.back() == 'W', "pad 1: B is W");
    check(press(2, B | A, 2) && presses.back() == 13, "pad 1: A while B is held is Return");
    check(press(0, X, 3, TRUE) && presses.back() == 0x25,
          "pad 2: X is Left arrow, the sticks and triggers nothing");
    check(press(3, B, 4) && presses.back() == 1001 && clicks_outside,
          "pad 3: B is the right mouse button, outside the window");
    set_pad(0, TRUE, 0, FALSE);
    set_pad(2, TRUE, 0, TRUE);
    for (int i = 0; i < 100; ++i)
        pass();
    check(presses.size() == 4, "releases, sticks and triggers press nothing");

    set_pad(2, FALSE, 0, FALSE);
    check(passes_until([] { return pad_number(2) == 0; }), "pulling pad 1 out frees its number at once");
    set_pad(1, TRUE, 0, FALSE);
    check(passes_until([] { return pad_number(1) == 1; }) && pad_number(0) == 2 && pad_number(3) == 3,
          "the next pad takes number 1; pads 2 and 3 keep theirs");

    platform_teardown();
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
