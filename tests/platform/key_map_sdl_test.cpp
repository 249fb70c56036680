// SDL key presses as the game's virtual-key codes, on layouts other than the one the letters are
// named after: a Latin layout by what the key symbol says, any other by the physical letter key,
// and where the symbol says nothing the physical key.
#include "platform/sdl/key_map_sdl.h"

#include <gtest/gtest.h>

#include <array>

namespace {

struct Press {
    const char* what;
    SDL_Keycode symbol;
    SDL_Scancode key;
    bool latin_layout;
    int code;
};

constexpr bool LATIN = true, OTHER = false;
constexpr std::array<Press, 18> PRESSES{{
    {"Q on a US layout", SDLK_q, SDL_SCANCODE_Q, LATIN, 'Q'},
    {"Cyrillic short i on the Q key", 0x439, SDL_SCANCODE_Q, OTHER, 'Q'},
    {"Cyrillic tse on the W key", 0x446, SDL_SCANCODE_W, OTHER, 'W'},
    {"Greek final sigma on the W key", 0x3C2, SDL_SCANCODE_W, OTHER, 'W'},
    {"Greek semicolon on the Q key", SDLK_SEMICOLON, SDL_SCANCODE_Q, OTHER, 'Q'},
    {"Hebrew slash on the Q key", SDLK_SLASH, SDL_SCANCODE_Q, OTHER, 'Q'},
    {"Hebrew apostrophe on the W key", SDLK_QUOTE, SDL_SCANCODE_W, OTHER, 'W'},
    {"Hebrew vav on the U key", 0x5D5, SDL_SCANCODE_U, OTHER, 'U'},
    {"Hebrew final nun on the I key", 0x5DF, SDL_SCANCODE_I, OTHER, 'I'},
    {"a on the Q key of an AZERTY layout, as its label says", SDLK_a, SDL_SCANCODE_Q, LATIN, 'A'},
    {"apostrophe on the Q key of a Dvorak layout", SDLK_QUOTE, SDL_SCANCODE_Q, LATIN, 0xDE},
    {"e acute on the 2 key of an AZERTY layout", 0xE9, SDL_SCANCODE_2, LATIN, '2'},
    {"Left arrow", SDLK_LEFT, SDL_SCANCODE_LEFT, OTHER, 0x25},
    {"Super", SDLK_LGUI, SDL_SCANCODE_LGUI, LATIN, 0x5B},
    {"right Shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, LATIN, 0xA1},
    {"left Ctrl", SDLK_LCTRL, SDL_SCANCODE_LCTRL, OTHER, 0xA2},
    {"F13", SDLK_F13, SDL_SCANCODE_F13, LATIN, 0x7C},
    {"u umlaut on the [ key of a German layout", 0xFC, SDL_SCANCODE_LEFTBRACKET, LATIN, VK_UNMAPPED},
}};

TEST(SdlKeyMap, LayoutSymbolThenPhysicalLetterOrDigit) {
    for (const Press& p : PRESSES)
        EXPECT_EQ(sdl_key_to_virtual_key(p.symbol, p.key, p.latin_layout), p.code) << p.what;
}

// Dvorak has marks on some letter keys and is still Latin; Greek has Latin nowhere.
SDL_Keycode dvorak_key(SDL_Scancode key) {
    return key == SDL_SCANCODE_Q ? SDLK_QUOTE : SDLK_a + (key - SDL_SCANCODE_A);
}
SDL_Keycode greek_key(SDL_Scancode key) {
    return key == SDL_SCANCODE_Q ? SDLK_SEMICOLON : 0x3B1 + (key - SDL_SCANCODE_A);
}

TEST(SdlKeyMap, ALayoutIsLatinWhenItsLetterKeysGiveLatinLetters) {
    EXPECT_TRUE(layout_gives_latin_letters(dvorak_key));
    EXPECT_FALSE(layout_gives_latin_letters(greek_key));
}

// Keys with no code of their own still count where any press does, and never as a control.
TEST(SdlKeyMap, KeysWithoutACodeArePressesThatMatchNoControl) {
    EXPECT_EQ(sdl_key_to_virtual_key(SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1, true), VK_UNMAPPED);
    EXPECT_EQ(sdl_key_to_virtual_key(SDLK_MEDIASELECT, SDL_SCANCODE_MEDIASELECT, false), VK_UNMAPPED);
}

} // namespace
