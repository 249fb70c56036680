// Browser key presses as the game's virtual-key codes: on a Latin layout the layout's key where it
// names one, the physical key for letters and digits where it does not, the keypad by its own
// keys; on a layout of another script the letter keys by their place. And what a press shows of
// the layout.
#include "platform/web/key_map_web.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr bool LATIN = true, OTHER_SCRIPT = false;

struct Press {
    const char* what;
    const char* key;
    const char* code;
    bool latin_layout;
    int virtual_key;
};

constexpr std::array<Press, 22> PRESSES{{
    {"q on a US layout", "q", "KeyQ", LATIN, 'Q'},
    {"Q with Shift", "Q", "KeyQ", LATIN, 'Q'},
    {"Cyrillic short i on the Q key", "\xD0\xB9", "KeyQ", OTHER_SCRIPT, 'Q'},
    {"Greek final sigma on the W key", "\xCF\x82", "KeyW", OTHER_SCRIPT, 'W'},
    {"Greek semicolon on the Q key", ";", "KeyQ", OTHER_SCRIPT, 'Q'},
    {"Hebrew slash on the Q key", "/", "KeyQ", OTHER_SCRIPT, 'Q'},
    {"Hebrew apostrophe on the W key", "'", "KeyW", OTHER_SCRIPT, 'W'},
    {"a digit of a layout of another script", "1", "Digit1", OTHER_SCRIPT, '1'},
    {"a on the Q key of an AZERTY layout, as its label says", "a", "KeyQ", LATIN, 'A'},
    {"comma on the M key of an AZERTY layout", ",", "KeyM", LATIN, 0xBC},
    {"e acute on the 2 key of an AZERTY layout", "\xC3\xA9", "Digit2", LATIN, '2'},
    {"Left arrow", "ArrowLeft", "ArrowLeft", LATIN, 0x25},
    {"Escape", "Escape", "Escape", OTHER_SCRIPT, 0x1B},
    {"Space", " ", "Space", LATIN, 0x20},
    {"Return", "Enter", "Enter", LATIN, 0x0D},
    {"keypad 1 with Num Lock", "1", "Numpad1", LATIN, 0x61},
    {"keypad 1 without Num Lock: End", "End", "Numpad1", LATIN, 0x23},
    {"u umlaut on the [ key of a German layout", "\xC3\xBC", "BracketLeft", LATIN, WEB_VK_UNMAPPED},
    {"a dead key", "Dead", "Quote", LATIN, WEB_VK_UNMAPPED},
    {"keypad Enter", "Enter", "NumpadEnter", LATIN, 0x0D},
    {"right Shift", "Shift", "ShiftRight", LATIN, 0xA1},
    {"left Ctrl", "Control", "ControlLeft", OTHER_SCRIPT, 0xA2},
}};

TEST(WebKeyMap, LayoutKeyThenPhysicalLetterOrDigitAndLettersByPlaceOnOtherScripts) {
    for (const Press& p : PRESSES)
        EXPECT_EQ(web_key_to_virtual_key(p.key, p.code, p.latin_layout), p.virtual_key) << p.what;
    EXPECT_EQ(web_key_to_virtual_key(nullptr, nullptr, LATIN), WEB_VK_UNMAPPED);
}

struct Sign {
    const char* what;
    const char* key;
    const char* code;
    bool before, after;
};

constexpr std::array<Sign, 5> SIGNS{{
    {"a Latin letter on a letter key", "q", "KeyQ", OTHER_SCRIPT, LATIN},
    {"a Cyrillic letter on a letter key", "\xD0\xB9", "KeyQ", LATIN, OTHER_SCRIPT},
    {"punctuation on a letter key shows nothing", ";", "KeyQ", OTHER_SCRIPT, OTHER_SCRIPT},
    {"a letter beyond ASCII off the letter keys", "\xC3\xBC", "BracketLeft", LATIN, LATIN},
    {"a dead key on a letter key", "Dead", "KeyE", LATIN, LATIN},
}};

TEST(WebKeyMap, WhatAPressShowsOfTheLayout) {
    for (const Sign& s : SIGNS)
        EXPECT_EQ(web_layout_seen(s.key, s.code, s.before), s.after) << s.what;
    EXPECT_EQ(web_layout_seen(nullptr, nullptr, OTHER_SCRIPT), OTHER_SCRIPT);
}

} // namespace
