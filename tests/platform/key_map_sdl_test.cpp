// SDL key presses as the game's virtual-key codes, on layouts other than the one the letters are
// named after: what the key symbol says, and where it says nothing the physical key.
#include "platform/sdl/key_map_sdl.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct Press {
    const char* what;
    SDL_Keycode symbol;
    SDL_Scancode key;
    int code;
};

constexpr std::array<Press, 12> PRESSES{{
    {"Q on a US layout", SDLK_q, SDL_SCANCODE_Q, 'Q'},
    {"Cyrillic short i on the Q key", 0x439, SDL_SCANCODE_Q, 'Q'},
    {"Cyrillic tse on the W key", 0x446, SDL_SCANCODE_W, 'W'},
    {"Greek final sigma on the W key", 0x3C2, SDL_SCANCODE_W, 'W'},
    {"Hebrew vav on the U key", 0x5D5, SDL_SCANCODE_U, 'U'},
    {"Hebrew final nun on the I key", 0x5DF, SDL_SCANCODE_I, 'I'},
    {"a on the Q key of an AZERTY layout, as its label says", SDLK_a, SDL_SCANCODE_Q, 'A'},
    {"e acute on the 2 key of an AZERTY layout", 0xE9, SDL_SCANCODE_2, '2'},
    {"Left arrow", SDLK_LEFT, SDL_SCANCODE_LEFT, 0x25},
    {"Super", SDLK_LGUI, SDL_SCANCODE_LGUI, 0x5B},
    {"F13", SDLK_F13, SDL_SCANCODE_F13, 0x7C},
    {"u umlaut on the [ key of a German layout", 0xFC, SDL_SCANCODE_LEFTBRACKET, VK_UNMAPPED},
}};

TEST(SdlKeyMap, LayoutSymbolThenPhysicalLetterOrDigit) {
    for (const Press& p : PRESSES)
        EXPECT_EQ(sdl_key_to_virtual_key(p.symbol, p.key), p.code) << p.what;
}

// Keys with no code of their own still count where any press does, and never as a control.
TEST(SdlKeyMap, KeysWithoutACodeArePressesThatMatchNoControl) {
    EXPECT_EQ(sdl_key_to_virtual_key(SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1), VK_UNMAPPED);
    EXPECT_EQ(sdl_key_to_virtual_key(SDLK_MEDIASELECT, SDL_SCANCODE_MEDIASELECT), VK_UNMAPPED);
    constexpr std::array<int, 8> CONTROLS{'Q', 'W', 'U', 'I', 0x25, 0x27, 0x1B, 0x20};
    for (const int control : CONTROLS)
        EXPECT_NE(VK_UNMAPPED, control);
}

} // namespace
