// SDL keys as the Windows virtual-key codes the game reads.
#pragma once
#include <SDL.h>

// The code a key without one of its own reports, as on Windows: a press that matches no control.
constexpr int VK_UNMAPPED = 0xFF;

// True when the layout puts Latin letters on its letter keys (as QWERTY, AZERTY, QWERTZ and
// Dvorak do); key_of gives the layout's symbol of a physical key.
bool layout_gives_latin_letters(SDL_Keycode (*key_of)(SDL_Scancode));

// As Windows gives them: on a Latin layout the key's symbol where it has a code, so its letters
// stay its own; on any other layout (Cyrillic, Greek, Hebrew, ...) the 26 letter keys by their
// position, whatever letter or mark they give. Digits of other scripts and accented letters by
// the physical key; VK_UNMAPPED otherwise.
int sdl_key_to_virtual_key(SDL_Keycode key, SDL_Scancode scancode, bool latin_layout);
