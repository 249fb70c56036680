// SDL keys as the Windows virtual-key codes the game reads.
#pragma once
#include <SDL.h>

// The code a key without one of its own reports, as on Windows: a press that matches no control.
constexpr int VK_UNMAPPED = 0xFF;

// The layout's key symbol where it has a code; letters and digits of other scripts (Cyrillic,
// Greek, Hebrew, accented) by the physical key, as Windows gives them; VK_UNMAPPED otherwise.
int sdl_key_to_virtual_key(SDL_Keycode key, SDL_Scancode scancode);
