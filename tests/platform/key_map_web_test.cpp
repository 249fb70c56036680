// Browser key presses as the game's virtual-key codes: the layout's key where it names one, the
// physical key for letters and digits where it does not, the keypad by its own keys.
#include "platform/web/key_map_web.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct Press {
    const char* what;
    const char* key;
    const char* code;
    int virtual_key;
};

constexpr std::array<Press, 17> PRESSES{{
    {"q on a US layout", "q", "KeyQ", 'Q'},
    {"Q with Shift", "Q", "KeyQ", 'Q'},
    {"Cyrillic short i on the Q key", "\xD0\xB9", "KeyQ", 'Q'},
    {"Greek final sigma on the W key", "\xCF\x82", "KeyW", 'W'},
    {"a on the Q key of an AZERTY layout, as its label says", "a", "KeyQ", 'A'},
    {"e acute on the 2 key of an AZERTY layout", "\xC3\xA9", "Digit2", '2'},
    {"Left arrow", "ArrowLeft", "ArrowLeft", 0x25},
    {"Escape", "Escape", "Escape", 0x1B},
    {"Space", " ", "Space", 0x20},
    {"Return", "Enter", "Enter", 0x0D},
    {"keypad 1 with Num Lock", "1", "Numpad1", 0x61},
    {"keypad 1 without Num Lock: End", "End", "Numpad1", 0x23},
    {"u umlaut on the [ key of a German layout", "\xC3\xBC", "BracketLeft", WEB_VK_UNMAPPED},
    {"a dead key", "Dead", "Quote", WEB_VK_UNMAPPED},
    {"keypad Enter", "Enter", "NumpadEnter", 0x0D},
    {"right Shift", "Shift", "ShiftRight", 0xA1},
    {"left Ctrl", "Control", "ControlLeft", 0xA2},
}};

TEST(WebKeyMap, LayoutKeyThenPhysicalLetterOrDigit) {
    for (const Press& p : PRESSES)
        EXPECT_EQ(web_key_to_virtual_key(p.key, p.code), p.virtual_key) << p.what;
    EXPECT_EQ(web_key_to_virtual_key(nullptr, nullptr), WEB_VK_UNMAPPED);
}

} // namespace
